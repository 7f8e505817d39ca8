// The control's own dialogs: Save As (a copy of the clip now shown, as it is or in a form other
// players open) and About this Movie.
#include "vvppweb/VivoControl.h"

#include <commdlg.h>

#include <cstdio>

#include "vvppweb/ClipExport.h"
#include "vvppweb/ClipNames.h"
#include "vvppweb/SaveCopy.h"

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

// The dialog's list of types: each description and its pattern, each ended by a zero (the
// string's own ends the list).
std::string TypeFilter() {
  std::string Filter;
  for (const TCopyType& Type : CopyTypes) {
    Filter += Type.Description;
    Filter += '\0';
    Filter += std::string("*.") + Type.Extension;
    Filter += '\0';
  }
  return Filter;
}

// The clip's name without its extension: the type chosen in the dialog gives the copy its own.
std::string SuggestedName(const std::string& Url) {
  std::string Name = ClipFileName(Url);
  size_t Dot = Name.rfind('.');
  if (Dot != std::string::npos && Dot > 0) Name.erase(Dot);
  return Name;
}

// A reason as a sentence of its own.
std::string Sentence(std::string Text) {
  if (!Text.empty() && Text[0] >= 'a' && Text[0] <= 'z') Text[0] = static_cast<char>(Text[0] - 'a' + 'A');
  return Text + ".";
}

std::string Clock(uint32_t Ms) {
  char Text[32];
  std::snprintf(Text, sizeof Text, "%u:%02u.%u", Ms / 60000, Ms / 1000 % 60, Ms / 100 % 10);
  return Text;
}

}  // namespace

HWND TVivoControl::DialogOwner() const { return View ? GetAncestor(View, GA_ROOT) : nullptr; }

void TVivoControl::ShowSaveAs() {
  // The clip's bytes, held by a reference of our own rather than copied: the clip may change under
  // the modal dialog, whose loop runs our timers, and the copy is written from them on another
  // thread.
  std::shared_ptr<const std::string> Clip = Playback.ClipBytes();
  const TClipInfo* Info = Playback.Clip();
  if (!Clip || !Info) {
    MessageBoxA(DialogOwner(), "There is no clip to save.", "Save As", MB_OK | MB_ICONINFORMATION);
    return;
  }
  // The modal loops run the host's messages, which may let go of the control meanwhile.
  TKeepAlive Keep(*static_cast<IDispatch*>(this));
  HWND Owner = DialogOwner();
  const TClipInfo Header = *Info;
  char Name[MAX_PATH] = "";
  std::string Suggested = SuggestedName(Playback.EntryUrl());
  if (Suggested.size() < sizeof Name) lstrcpynA(Name, Suggested.c_str(), sizeof Name);
  const std::string Filter = TypeFilter();
  OPENFILENAMEA Dialog{};
  Dialog.lStructSize = sizeof Dialog;
  Dialog.hwndOwner = Owner;
  Dialog.lpstrFilter = Filter.c_str();
  Dialog.nFilterIndex = 1;
  Dialog.lpstrFile = Name;
  Dialog.nMaxFile = sizeof Name;
  Dialog.lpstrTitle = "Save a Copy of the Clip";
  // With a default extension, a name typed without one takes the chosen type's.
  Dialog.lpstrDefExt = CopyTypes[0].Extension;
  Dialog.Flags = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_EXPLORER;
  auto GetSaveFileName = SaveFileDialog();
  if (!GetSaveFileName) {
    MessageBoxA(Owner, "The save dialog is not available: comdlg32.dll could not be loaded.", "Save As",
                MB_OK | MB_ICONERROR);
    return;
  }
  if (!GetSaveFileName(&Dialog)) return;
  TCopyFormat Format = CopyFormatOf(Name, Dialog.nFilterIndex > 0 ? Dialog.nFilterIndex - 1 : 0);
  TCopyResult Result = SaveCopy(Owner, std::move(Clip), Header, Format, Name);
  if (Result.Outcome == TCopyResult::Failed) {
    std::string Text = "The clip could not be saved as " + std::string(Name) + ":\r\n" + Sentence(Result.Reason);
    MessageBoxA(Owner, Text.c_str(), "Save As", MB_OK | MB_ICONERROR);
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
