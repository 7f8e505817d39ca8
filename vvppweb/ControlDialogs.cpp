// The control's own dialogs: Save As (a copy of the clip now shown) and About this Movie.
#include "vvppweb/VivoControl.h"

#include <commdlg.h>

#include <cstdio>

#include "vvppweb/ClipNames.h"

namespace {

// Loaded when Save As is first used: the common dialogs would otherwise be loaded with the
// control, a noticeable part of its host's start-up.
decltype(&GetSaveFileNameA) SaveFileDialog() {
  static decltype(&GetSaveFileNameA) Entry = [] {
    HMODULE Library = LoadLibraryA("comdlg32.dll");
    return Library ? reinterpret_cast<decltype(&GetSaveFileNameA)>(
                         reinterpret_cast<void*>(GetProcAddress(Library, "GetSaveFileNameA")))
                   : nullptr;
  }();
  return Entry;
}

std::string SystemText(DWORD Error) {
  char Text[512] = "";
  FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, Error, 0, Text,
                 sizeof Text, nullptr);
  std::string Result = Text;
  while (!Result.empty() && (Result.back() == '\n' || Result.back() == '\r' || Result.back() == ' '))
    Result.pop_back();
  return Result.empty() ? "System error " + std::to_string(Error) : Result;
}

// Writes Bytes beside Target first and puts them in its place only when all went well, so a
// failed save never leaves half a file under the chosen name.
DWORD WriteWhole(const std::string& Target, const std::string& Bytes) {
  std::string Temporary = Target + ".part";
  HANDLE File = CreateFileA(Temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (File == INVALID_HANDLE_VALUE) return GetLastError();
  DWORD Error = ERROR_SUCCESS;
  size_t Total = 0;
  while (Error == ERROR_SUCCESS && Total < Bytes.size()) {
    DWORD Written = 0;
    if (!WriteFile(File, Bytes.data() + Total, static_cast<DWORD>(Bytes.size() - Total), &Written, nullptr))
      Error = GetLastError();
    Total += Written;
  }
  if (!CloseHandle(File) && Error == ERROR_SUCCESS) Error = GetLastError();
  if (Error == ERROR_SUCCESS && !MoveFileExA(Temporary.c_str(), Target.c_str(), MOVEFILE_REPLACE_EXISTING))
    Error = GetLastError();
  if (Error != ERROR_SUCCESS) DeleteFileA(Temporary.c_str());
  return Error;
}

std::string Clock(uint32_t Ms) {
  char Text[32];
  std::snprintf(Text, sizeof Text, "%u:%02u.%u", Ms / 60000, Ms / 1000 % 60, Ms / 100 % 10);
  return Text;
}

}  // namespace

HWND TVivoControl::DialogOwner() const { return View ? GetAncestor(View, GA_ROOT) : nullptr; }

void TVivoControl::ShowSaveAs() {
  const std::string* Bytes = Playback.ClipBytes();
  if (!Bytes) {
    MessageBoxA(DialogOwner(), "There is no clip to save.", "Save As", MB_OK | MB_ICONINFORMATION);
    return;
  }
  // A copy: the clip may change under the modal dialog, whose loop runs our timers.
  std::string Copy = *Bytes;
  char Name[MAX_PATH] = "";
  std::string Suggested = ClipFileName(Playback.EntryUrl());
  if (Suggested.size() < sizeof Name) lstrcpynA(Name, Suggested.c_str(), sizeof Name);
  OPENFILENAMEA Dialog{};
  Dialog.lStructSize = sizeof Dialog;
  Dialog.hwndOwner = DialogOwner();
  Dialog.lpstrFilter = "Vivo files (*.viv)\0*.viv\0All files (*.*)\0*.*\0";
  Dialog.lpstrFile = Name;
  Dialog.nMaxFile = sizeof Name;
  Dialog.lpstrTitle = "Save a Copy of the Clip";
  Dialog.lpstrDefExt = "viv";
  Dialog.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_EXPLORER;
  auto GetSaveFileName = SaveFileDialog();
  if (!GetSaveFileName) {
    MessageBoxA(DialogOwner(), "The save dialog is not available: comdlg32.dll could not be loaded.",
                "Save As", MB_OK | MB_ICONERROR);
    return;
  }
  if (!GetSaveFileName(&Dialog)) return;
  if (DWORD Error = WriteWhole(Name, Copy)) {
    std::string Text = "The clip could not be saved as " + std::string(Name) + ":\r\n" + SystemText(Error) + ".";
    MessageBoxA(DialogOwner(), Text.c_str(), "Save As", MB_OK | MB_ICONERROR);
  }
}

void TVivoControl::ShowAboutMovie() {
  const TClipInfo* Clip = Playback.Clip();
  std::string Text;
  if (!Clip) {
    Text = "No clip is loaded.";
  } else {
    Text = Playback.EntryUrl() + "\r\n";
    // The header's own words first: title, author, copyright and whatever else it describes.
    if (!Clip->Fields.empty()) Text += "\r\n";
    for (const auto& [Key, Value] : Clip->Fields) Text += Key + ": " + Value + "\r\n";
    char Rate[32];
    std::snprintf(Rate, sizeof Rate, "%g", Clip->Fps);
    int Width = Playback.VideoWidth() >= 0 ? Playback.VideoWidth() : Clip->Width;
    int Height = Playback.VideoHeight() >= 0 ? Playback.VideoHeight() : Clip->Height;
    std::string Codecs = "none, the clip has a header only (a generated picture is shown)";
    if (const TClipMedia* Media = Playback.ClipMedia()) {
      Codecs = Media->HasPictures() ? "H.263 pictures" : "no pictures that decode";
      Codecs += Media->HasSound() ? std::string(", ") + Media->SoundCodec() + " sound at " +
                                        std::to_string(Media->SampleRate()) + " Hz"
                                  : ", no sound";
    }
    Text += "\r\nFormat: " + Clip->Version + "\r\nPicture: " + std::to_string(Width) + " x " +
            std::to_string(Height) + "\r\nLength: " + Clock(Playback.LengthMs()) +
            "\r\nPosition: " + Clock(Playback.Position()) + "\r\nFrames per second: " + Rate +
            "\r\nCodecs: " + Codecs;
    if (Playback.IsCommandList())
      Text += "\r\nEntry " + std::to_string(Playback.EntryIndex() + 1) + " of " +
              std::to_string(Playback.EntryCount()) + " in " + Playback.LoadedName();
  }
  MessageBoxA(DialogOwner(), Text.c_str(), "About this Movie", MB_OK | MB_ICONINFORMATION);
}
