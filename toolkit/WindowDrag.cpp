// Dragging a window by its picture.
#include "toolkit/WindowDrag.h"

void TWindowDrag::FormMouseDown(TObject*, TMouseButton, TShiftState, int X, int Y) {
  Holding = true;
  HoldX = X;
  HoldY = Y;
}

void TWindowDrag::FormMouseMove(TObject*, TShiftState Shift, int X, int Y) {
  if (!Holding) return;
  if (!Shift.Contains(ssLeft) && !Shift.Contains(ssRight) && !Shift.Contains(ssMiddle)) {
    Holding = false;
    return;
  }
  DraggedWindow.SetLeft(DraggedWindow.Left() + X - HoldX);
  DraggedWindow.SetTop(DraggedWindow.Top() + Y - HoldY);
}

void TWindowDrag::FormMouseUp(TObject*, TMouseButton, TShiftState, int, int) { Holding = false; }

void TWindowDrag::FormCaptureLost(TObject*) { Holding = false; }

void TWindowDrag::DragBy(std::initializer_list<TControl*> Controls) {
  for (TControl* Control : Controls) {
    Control->OnMouseDown = [this](TObject* S, TMouseButton B, TShiftState Sh, int X, int Y) {
      FormMouseDown(S, B, Sh, X, Y);
    };
    Control->OnMouseMove = [this](TObject* S, TShiftState Sh, int X, int Y) {
      FormMouseMove(S, Sh, X, Y);
    };
    Control->OnMouseUp = [this](TObject* S, TMouseButton B, TShiftState Sh, int X, int Y) {
      FormMouseUp(S, B, Sh, X, Y);
    };
    Control->OnCaptureLost = [this](TObject* S) { FormCaptureLost(S); };
  }
}
