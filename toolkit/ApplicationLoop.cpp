// The application's message loop: the filter, menu shortcuts, key preview, then dispatch.
#include "toolkit/Errors.h"
#include "toolkit/Forms.h"
#include "toolkit/Menus.h"

namespace {
// The form that holds Window, or nullptr when it is not one of ours.
TForm* FormOf(HWND Window) {
  HWND Top = Window ? GetAncestor(Window, GA_ROOT) : nullptr;
  return dynamic_cast<TForm*>(TWinControl::FromHandle(Top));
}

bool IsModifierKey(WPARAM Key) {
  return Key == VK_SHIFT || Key == VK_CONTROL || Key == VK_MENU || Key == VK_LSHIFT ||
         Key == VK_RSHIFT || Key == VK_LCONTROL || Key == VK_RCONTROL || Key == VK_LMENU ||
         Key == VK_RMENU;
}
}  // namespace

void TApplication::Run() {
  if (!Main) return;
  Main->Show();
  while (!Ending) HandleMessage();
}

void TApplication::HandleMessage() {
  MSG Msg;
  if (!ProcessMessage(Msg) && !Ending) WaitMessage();
}

void TApplication::ProcessMessages() {
  MSG Msg;
  while (ProcessMessage(Msg)) {
  }
}

void TApplication::Terminate() {
  Ending = true;
  // Wakes a loop that waits for messages.
  PostMessageA(Handle(), WM_NULL, 0, 0);
}

bool TApplication::ProcessMessage(MSG& Msg) {
  if (!PeekMessageA(&Msg, nullptr, 0, 0, PM_REMOVE)) return false;
  if (Msg.message == WM_QUIT) {
    Ending = true;
    return true;
  }
  ReportErrors([&] {
    bool Handled = false;
    if (OnMessage) {
      // A copy: the filter may remove or replace itself.
      TMessageEvent Filter = OnMessage;
      Filter(Msg, Handled);
    }
    if (!Handled && !IsShortCut(Msg) && !IsKeyPreview(Msg)) {
      TranslateMessage(&Msg);
      DispatchMessageA(&Msg);
    }
  });
  return true;
}

bool TApplication::IsShortCut(const MSG& Msg) {
  if (Msg.message != WM_KEYDOWN && Msg.message != WM_SYSKEYDOWN) return false;
  if (IsModifierKey(Msg.wParam)) return false;
  TForm* Form = FormOf(Msg.hwnd);
  if (!Form || !Form->PopupMenu()) return false;
  return Form->PopupMenu()->IsShortCut(ShortCut(static_cast<uint16_t>(Msg.wParam), KeyboardShift()));
}

bool TApplication::IsKeyPreview(MSG& Msg) {
  // Keys for the form's own window reach its handlers through its window procedure; keys for
  // its child windows are shown to the form here first.
  TForm* Form = FormOf(Msg.hwnd);
  if (!Form || Msg.hwnd == Form->Handle()) return false;
  TWinControl* Window = Form;
  switch (Msg.message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
      if (!Form->KeyPreview()) return false;
      uint16_t Key = static_cast<uint16_t>(Msg.wParam);
      Window->KeyDown(Key, KeyboardShift());
      if (Key == 0) return true;
      Msg.wParam = Key;
      return false;
    }
    case WM_CHAR: {
      if (!Form->KeyPreview()) return false;
      char Key = static_cast<char>(Msg.wParam);
      Window->KeyPress(Key);
      if (Key == 0) return true;
      Msg.wParam = static_cast<unsigned char>(Key);
      return false;
    }
    case WM_SYSCHAR:
      return Window->OfferDialogChar(static_cast<char>(Msg.wParam), KeyboardShift());
    default:
      return false;
  }
}
