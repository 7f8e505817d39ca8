// The system's dialog service: real message boxes, file dialogs and the input box.
#include "toolkit/SystemDialogs.h"

#include <cderr.h>
#include <commdlg.h>

#include <algorithm>

#include "toolkit/Errors.h"
#include "toolkit/FileDialogText.h"

namespace {

// The common dialogs library costs a noticeable part of start-up (it brings the common
// controls with it), so it is loaded when a file dialog is first shown.
struct TCommonDialogs {
  decltype(&GetOpenFileNameA) Open = nullptr;
  decltype(&GetSaveFileNameA) Save = nullptr;
  decltype(&CommDlgExtendedError) ExtendedError = nullptr;
};

const TCommonDialogs& CommonDialogs() {
  static TCommonDialogs Entries = [] {
    TCommonDialogs Found;
    if (HMODULE Library = LoadLibraryA("comdlg32.dll")) {
      Found.Open = reinterpret_cast<decltype(Found.Open)>(
          reinterpret_cast<void*>(GetProcAddress(Library, "GetOpenFileNameA")));
      Found.Save = reinterpret_cast<decltype(Found.Save)>(
          reinterpret_cast<void*>(GetProcAddress(Library, "GetSaveFileNameA")));
      Found.ExtendedError = reinterpret_cast<decltype(Found.ExtendedError)>(
          reinterpret_cast<void*>(GetProcAddress(Library, "CommDlgExtendedError")));
    }
    return Found;
  }();
  if (!Entries.Open || !Entries.Save || !Entries.ExtendedError)
    throw Exception("The file dialog is not available: comdlg32.dll could not be loaded");
  return Entries;
}

// Room for the names of a multiple selection; a larger one is refused with a message.
constexpr size_t SelectionRoom = 256 * 1024;

class TSystemDialogs : public TDialogService {
public:
  int MessageBox(HWND Owner, const std::string& Text, const std::string& Caption,
                 UINT Flags) override {
    HWND Previous = GetActiveWindow();
    int Answer;
    {
      TTaskWindowsDisabler Disabler(nullptr);
      Answer = ::MessageBoxA(Owner, Text.c_str(), Caption.c_str(), Flags);
    }
    if (Previous && IsWindow(Previous)) SetActiveWindow(Previous);
    return Answer;
  }

  bool InputQuery(const std::string& Caption, const std::string& Prompt,
                  std::string& Value) override {
    return ShowInputBox(Caption, Prompt, Value);
  }

  bool FileDialog(const TFileDialogRequest& Request, std::vector<std::string>& Files) override {
    const bool Multi = (Request.Options & ofAllowMultiSelect) != 0;
    std::string Filter = FilterToSystem(Request.Filter);
    std::vector<char> Buffer(std::max(Multi ? SelectionRoom : size_t(32768),
                                      Request.FileName.size() + 1));
    std::copy(Request.FileName.begin(), Request.FileName.end(), Buffer.begin());

    OPENFILENAMEA Dialog{};
    Dialog.lStructSize = sizeof(Dialog);
    Dialog.hwndOwner = Request.Owner;
    Dialog.lpstrFilter = Filter.empty() ? nullptr : Filter.c_str();
    Dialog.nFilterIndex = static_cast<DWORD>(Request.FilterIndex);
    Dialog.lpstrFile = Buffer.data();
    Dialog.nMaxFile = static_cast<DWORD>(Buffer.size());
    Dialog.lpstrInitialDir = Request.InitialDir.empty() ? nullptr : Request.InitialDir.c_str();
    Dialog.lpstrTitle = Request.Title.empty() ? nullptr : Request.Title.c_str();
    Dialog.lpstrDefExt = Request.DefaultExt.empty() ? nullptr : Request.DefaultExt.c_str();
    // No OFN_NOCHANGEDIR: the folder the user went to becomes the current one.
    Dialog.Flags = OFN_EXPLORER | OFN_ENABLESIZING;
    if (Multi) Dialog.Flags |= OFN_ALLOWMULTISELECT;
    if (Request.Options & ofPathMustExist) Dialog.Flags |= OFN_PATHMUSTEXIST;
    if (Request.Options & ofFileMustExist) Dialog.Flags |= OFN_FILEMUSTEXIST;
    if (Request.Options & ofHideReadOnly) Dialog.Flags |= OFN_HIDEREADONLY;
    if (Request.Options & ofOverwritePrompt) Dialog.Flags |= OFN_OVERWRITEPROMPT;
    if (Request.Options & ofNoReadOnlyReturn) Dialog.Flags |= OFN_NOREADONLYRETURN;

    const TCommonDialogs& Common = CommonDialogs();
    auto Show = Request.Save ? Common.Save : Common.Open;
    BOOL Ok;
    {
      TTaskWindowsDisabler Disabler(nullptr);
      Ok = Show(&Dialog);
      if (!Ok && Common.ExtendedError() == FNERR_INVALIDFILENAME) {
        // The name offered was not acceptable: ask again without it.
        Buffer.assign(Buffer.size(), '\0');
        Ok = Show(&Dialog);
      }
    }
    if (!Ok) {
      DWORD Error = Common.ExtendedError();
      if (Error == FNERR_BUFFERTOOSMALL)
        throw Exception("Too many files were selected at once. Please choose fewer files.");
      if (Error != 0)
        throw Exception("The file dialog could not be shown (error " + std::to_string(Error) + ")");
      return false;
    }
    Buffer.back() = '\0';
    if (Multi) {
      size_t End = 0;
      while (End + 1 < Buffer.size() && !(Buffer[End] == '\0' && Buffer[End + 1] == '\0')) ++End;
      Files = SplitSelection(std::string(Buffer.data(), End + 1));
    } else {
      Files = {std::string(Buffer.data())};
    }
    return !Files.empty();
  }
};
}  // namespace

TDialogService& SystemDialogService() {
  static TSystemDialogs Service;
  return Service;
}
