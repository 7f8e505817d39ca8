// Moving a window without caption bar by dragging its picture: a press on one of the controls it
// is dragged by takes hold, each move while held shifts the window by the pointer's travel, so
// the point under the pointer stays where it is, and the release lets go. So does a move with no
// button down or the mouse taken by another window, whose release would never come.
#pragma once

#include <cstdint>
#include <initializer_list>

#include "toolkit/Controls.h"

// The mouse handlers of a form that is dragged so; the form derives from it.
class TWindowDrag {
public:
  // Drags Window. The drag's state lives in the owner's own variables, which other code reads:
  // whether a drag is under way, and where the pointer took hold, in the pressed control's
  // coordinates.
  TWindowDrag(TControl& Window, bool& Dragging, int32_t& X, int32_t& Y)
      : DraggedWindow(Window), Holding(Dragging), HoldX(X), HoldY(Y) {}
  TWindowDrag(const TWindowDrag&) = delete;
  TWindowDrag& operator=(const TWindowDrag&) = delete;

  void FormMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void FormMouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
  void FormMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void FormCaptureLost(TObject* Sender);

  // The window is dragged by each of Controls: their mouse down, move, up and lost capture go to
  // the handlers.
  void DragBy(std::initializer_list<TControl*> Controls);

private:
  TControl& DraggedWindow;
  bool& Holding;
  int32_t& HoldX;
  int32_t& HoldY;
};
