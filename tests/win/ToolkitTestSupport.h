// Helpers for the toolkit's tests under Wine: a fresh application per test, message pumping,
// real input, and windowless controls that record what reaches them.
#pragma once

#include <doctest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "toolkit/Controls.h"
#include "toolkit/Forms.h"

namespace doctest {
template <>
struct StringMaker<std::vector<std::string>> {
  static String convert(const std::vector<std::string>& Lines) {
    std::string Text = "{";
    for (const std::string& Line : Lines) Text += (Text.size() > 1 ? ", \"" : "\"") + Line + "\"";
    return (Text + "}").c_str();
  }
};
}  // namespace doctest

// A form that answers the messages WM_APP.. WM_APP + 99 with a handler of the test's choosing
// and notes each one it got.
class TScriptedForm : public TForm {
public:
  using TForm::TForm;
  std::function<void(UINT)> OnApp;
  std::vector<UINT> Seen;

protected:
  LRESULT WndProc(UINT Msg, WPARAM W, LPARAM L) override {
    if (Msg >= WM_APP && Msg < WM_APP + 100) {
      Seen.push_back(Msg);
      if (OnApp) OnApp(Msg);
      return 0;
    }
    return TForm::WndProc(Msg, W, L);
  }
};

// Puts a new application in place of the global one for the test's duration.
class TFreshApplication {
public:
  TFreshApplication() : Saved(Application) { Application = &App; }
  ~TFreshApplication() {
    App.DestroyForms();
    Application = Saved;
  }
  TApplication App;

private:
  TApplication* Saved;
};

// Handles messages for about Milliseconds, through the application's processing.
inline void PumpFor(DWORD Milliseconds) {
  DWORD Start = GetTickCount();
  do {
    Application->ProcessMessages();
    Sleep(5);
  } while (GetTickCount() - Start < Milliseconds);
}

// A real key press and release through the system's input queue.
inline void PressKey(WORD Key, std::vector<WORD> Modifiers = {}) {
  std::vector<INPUT> Events;
  auto Add = [&](WORD K, bool Up) {
    INPUT In{};
    In.type = INPUT_KEYBOARD;
    In.ki.wVk = K;
    In.ki.dwFlags = Up ? KEYEVENTF_KEYUP : 0;
    Events.push_back(In);
  };
  for (WORD M : Modifiers) Add(M, false);
  Add(Key, false);
  Add(Key, true);
  for (auto It = Modifiers.rbegin(); It != Modifiers.rend(); ++It) Add(*It, true);
  SendInput(static_cast<UINT>(Events.size()), Events.data(), sizeof(INPUT));
}

// Posts a mouse message at a client point of Form, as the system would deliver it.
inline void PostMouse(TWinControl* Form, UINT Msg, int X, int Y, WPARAM Buttons) {
  PostMessageA(Form->Handle(), Msg, Buttons, MAKELPARAM(X, Y));
}

// A windowless control that fills itself with a colour (or only its left half) and writes
// down every mouse notice it gets.
class TProbe : public TGraphicControl {
public:
  TProbe(TWinControl* Parent, const std::string& Name, COLORREF Fill, RECT Bounds)
      : TGraphicControl(Parent), Fill(Fill) {
    this->Name = Name;
    SetBounds(Bounds.left, Bounds.top, Bounds.right - Bounds.left, Bounds.bottom - Bounds.top);
    SetParent(Parent);
  }
  std::vector<std::string>* Log = nullptr;
  COLORREF Fill;
  bool LeftHalfOnly = false;
  char Mnemonic = 0;
  using TControl::DoubleClicks;

protected:
  void Paint(HDC DC) override {
    RECT R{0, 0, LeftHalfOnly ? Width() / 2 : Width(), Height()};
    HBRUSH Brush = CreateSolidBrush(Fill);
    FillRect(DC, &R, Brush);
    DeleteObject(Brush);
  }
  void Note(const std::string& What) {
    if (Log) Log->push_back(Name + "." + What);
  }
  void MouseDown(TMouseButton B, TShiftState S, int X, int Y) override {
    Note("down" + std::string(S.Contains(ssDouble) ? "2" : "") + "(" + std::to_string(X) + "," +
         std::to_string(Y) + ")");
    TGraphicControl::MouseDown(B, S, X, Y);
  }
  void MouseMove(TShiftState S, int X, int Y) override {
    Note("move(" + std::to_string(X) + "," + std::to_string(Y) + ")");
    TGraphicControl::MouseMove(S, X, Y);
  }
  void MouseUp(TMouseButton B, TShiftState S, int X, int Y) override {
    Note("up(" + std::to_string(X) + "," + std::to_string(Y) + ")");
    TGraphicControl::MouseUp(B, S, X, Y);
  }
  void Click() override { Note("click"); TGraphicControl::Click(); }
  void DblClick() override { Note("dblclick"); TGraphicControl::DblClick(); }
  void MouseEnter() override { Note("enter"); }
  void MouseLeave() override { Note("leave"); }
  bool DialogChar(char Key, TShiftState) override {
    if (!Mnemonic || (Key | 0x20) != (Mnemonic | 0x20) || !Enabled()) return false;
    Note("mnemonic");
    Click();
    return true;
  }
};
