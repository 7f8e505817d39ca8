// The input box: a small modal form made at run time with a prompt, an edit line, OK and Cancel.
#include "toolkit/SystemDialogs.h"

#include <string>

#include "toolkit/Forms.h"

namespace {
constexpr int BoxWidth = 360;
constexpr int BoxHeight = 112;

class TInputBox : public TForm {
public:
  TInputBox(const std::string& Title, const std::string& Prompt, const std::string& Value)
      : TForm(nullptr, "TInputBox") {
    SetBorderStyle(bsDialog);
    SetBorderIcons(biSystemMenu);
    SetPosition(poScreenCenter);
    SetCaption(Title);
    SetClientSize(BoxWidth, BoxHeight);
    SetKeyPreview(true);
    HFONT Font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    Label = Child("STATIC", Prompt, SS_LEFT | SS_NOPREFIX, 12, 12, BoxWidth - 24, 18, 0, Font);
    Edit = Child("EDIT", Value, ES_AUTOHSCROLL | WS_TABSTOP, 12, 34, BoxWidth - 24, 24,
                 WS_EX_CLIENTEDGE, Font);
    Ok = Child("BUTTON", "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, BoxWidth - 174, BoxHeight - 38, 75,
               26, 0, Font, IDOK);
    Cancel = Child("BUTTON", "Cancel", BS_PUSHBUTTON | WS_TABSTOP, BoxWidth - 87, BoxHeight - 38,
                   75, 26, 0, Font, IDCANCEL);
    // No length limit beyond the system's: a long URL must fit whole.
    SendMessageA(Edit, EM_SETLIMITTEXT, 0, 0);
    SendMessageA(Edit, EM_SETSEL, 0, -1);
    OnKeyDown = [this](TObject*, uint16_t& Key, TShiftState Shift) { Keys(Key, Shift); };
  }

  std::string Text() const {
    int Length = GetWindowTextLengthA(Edit);
    std::string Result(static_cast<size_t>(Length) + 1, '\0');
    Result.resize(static_cast<size_t>(GetWindowTextA(Edit, Result.data(), Length + 1)));
    return Result;
  }

protected:
  LRESULT WndProc(UINT Msg, WPARAM W, LPARAM L) override {
    if (Msg == WM_COMMAND && HIWORD(W) == BN_CLICKED &&
        (LOWORD(W) == IDOK || LOWORD(W) == IDCANCEL)) {
      SetModalResult(LOWORD(W) == IDOK ? mrOk : mrCancel);
      return 0;
    }
    return TForm::WndProc(Msg, W, L);
  }

private:
  HWND Child(const char* Class, const std::string& Text, DWORD Style, int X, int Y, int W, int H,
             DWORD ExStyle, HFONT Font, int Id = 0) {
    HWND Made = CreateWindowExA(ExStyle, Class, Text.c_str(), WS_CHILD | WS_VISIBLE | Style, X, Y,
                                W, H, Handle(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(Id)),
                                GetModuleHandleA(nullptr), nullptr);
    SendMessageA(Made, WM_SETFONT, reinterpret_cast<WPARAM>(Font), FALSE);
    return Made;
  }

  // Enter is OK and Escape Cancel wherever the focus is; Tab walks the three controls.
  void Keys(uint16_t& Key, TShiftState Shift) {
    if (Key == VK_RETURN) {
      SetModalResult(GetFocus() == Cancel ? mrCancel : mrOk);
    } else if (Key == VK_ESCAPE) {
      SetModalResult(mrCancel);
    } else if (Key == VK_TAB) {
      HWND Next = GetNextDlgTabItem(Handle(), GetFocus(), Shift.Contains(ssShift));
      if (Next) ::SetFocus(Next);
      if (Next == Edit) SendMessageA(Edit, EM_SETSEL, 0, -1);
    } else {
      return;
    }
    Key = 0;
  }

  HWND Label, Edit, Ok, Cancel;
};
}  // namespace

bool ShowInputBox(const std::string& Caption, const std::string& Prompt, std::string& Value) {
  TInputBox Box(Caption, Prompt, Value);
  if (Box.ShowModal() != mrOk) return false;
  Value = Box.Text();
  return true;
}
