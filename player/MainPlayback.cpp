// The player window's media commands: opening, playing, fast forward, the control's events and
// closing with the switch-off animation.
#include <vector>

#include "control/VVPPWEBLib_TLB.h"
#include "player/DDraw.h"
#include "player/Main.h"
#include "player/ViewGeometry.h"
#include "playlist/Playlist.h"

void TMainForm::PlayFile(const std::string& FileName) {
  FastForwarding = false;
  vivo->SetVideocontrols("FALSE");
  vivo->Load(FileName);
  vivo->Play();
}

void TMainForm::PlayEntries(const TStrings& Entries, bool CloseClip) {
  TVivoListBox& List = PlayListForm->VivoList;
  // The editor hands over its own list, which is the playlist already.
  if (&Entries != &List.Strings) {
    List.Clear();
    for (const std::string& Entry : Entries) List.Add(Entry);
  }
  if (CloseClip) vivo->Load("");
  const std::string TempPlaylist = PlayListForm->TempPlaylist();
  PlayListForm->WritePlaylist(TempPlaylist, true);
  PlayFile(TempPlaylist);
}

void TMainForm::OpenFiles() {
  if (OpenDialog1->Execute()) PlayEntries(OpenDialog1->Files, true);
}

void TMainForm::OpenURL() {
  std::string URL = LastURL;
  if (!InputQuery("Open URL", "Enter the URL:", URL)) return;
  LastURL = URL;
  PlayFile(LastURL);
}

void TMainForm::WMDropFiles(HDROP Drop) {
  UINT Count = DragQueryFileA(Drop, 0xFFFFFFFF, nullptr, 0);
  TStrings Dropped;
  for (UINT Index = 0; Index < Count; ++Index) {
    // Asked for its length first, so a name of any length arrives whole.
    std::vector<char> Name(DragQueryFileA(Drop, Index, nullptr, 0) + 1);
    UINT Length = DragQueryFileA(Drop, Index, Name.data(), static_cast<UINT>(Name.size()));
    Dropped.Add(std::string(Name.data(), Length));
  }
  DragFinish(Drop);
  PlayEntries(Dropped, false);
}

void TMainForm::OpenFile1Click(TObject*) { OpenFiles(); }

void TMainForm::OpenURL1Click(TObject*) { OpenURL(); }

void TMainForm::Playlist1Click(TObject*) {
  // The editor borrows the open dialog and the playback while it is up.
  PlayListForm->Player = {OpenDialog1,
                          [this](const TStrings& Entries) { PlayEntries(Entries, true); }};
  PlayListForm->ShowModal();
  UpdateTrayIcon();
}

void TMainForm::PlayPause1Click(TObject*) {
  if (PlayState == psPlaying && !FastForwarding) {
    vivo->Pause();
    PlayState = psPaused;
  } else {
    vivo->Play();
    PlayState = psPlaying;
  }
  FastForwarding = false;
}

void TMainForm::Fastforward1Click(TObject*) { FastForward(); }

void TMainForm::FastForward() {
  if (FastForwarding) return;
  FastForwarding = true;
  // Skips the application's own message handling: the control gets every buffer-done notice
  // six times, so the clip runs six times as fast. With the queue empty it waits for the next
  // message rather than asking again at once, which would take a whole core.
  MSG Msg;
  while (FastForwarding) {
    if (!PeekMessageA(&Msg, nullptr, 0, 0, PM_REMOVE)) {
      MsgWaitForMultipleObjectsEx(0, nullptr, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
      continue;
    }
    if (Msg.message == WM_QUIT) {
      // Not ours to swallow: the application's loop must still see it.
      FastForwarding = false;
      PostQuitMessage(static_cast<int>(Msg.wParam));
      break;
    }
    TranslateMessage(&Msg);
    if (Msg.message == WaveOutDone) {
      for (int Time = 0; Time < 6; ++Time) {
        Msg.time = 0;
        DispatchMessageA(&Msg);
      }
    } else {
      DispatchMessageA(&Msg);
    }
  }
}

void TMainForm::Stop1Click(TObject*) {
  vivo->SetAutostart("FALSE");
  try {
    vivo->Rewind();
  } catch (...) {
    // The control must not be left without autostart for every later clip.
    vivo->SetAutostart("TRUE");
    throw;
  }
  FastForwarding = false;
  for (int Pass = 0; Pass < 3; ++Pass) Application->ProcessMessages();
  PlayState = psStopped;
  vivo->SetAutostart("TRUE");
}

void TMainForm::Restart1Click(TObject*) {
  PlayState = psStopped;
  vivo->Rewind();
}

void TMainForm::Close1Click(TObject*) {
  if (MessageDlg("Are you sure you want to close the vivo?", mtConfirmation, mbYes | mbNo) !=
      mrYes)
    return;
  vivo->Load("");
  PlayState = psStopped;
  FastForwarding = false;
  Application->ProcessMessages();
}

void TMainForm::SaveAs1Click(TObject*) {
  vivo->Pause();
  PlayState = psPaused;
  vivo->SaveAs();
}

void TMainForm::AboutthisMovie1Click(TObject*) { vivo->AboutMovie(); }

void TMainForm::Options1Click(TObject*) {}

void TMainForm::Exit1Click(TObject*) {
  if (MessageDlg("Are you sure you want to quit Quillo?", mtConfirmation, mbYes | mbNo) == mrYes)
    Close();
}

void TMainForm::vivoAtStart(TObject*, const std::string&) {
  if (vivo->VideoWidth() < 0 || vivo->VideoHeight() < 0) return;
  if (DisableScreenSaver1->Checked) InstallScreenSaverFilter(true);
  if (vivo->Autostart() == "TRUE") PlayState = psPlaying;
  ApplyView(nullptr);
}

void TMainForm::vivoAtEnd(TObject*, const std::string&) {
  PlayState = psStopped;
  FastForwarding = false;
  InstallScreenSaverFilter(false);
  Application->ProcessMessages();
}

void TMainForm::vivoFetchError(TObject*, int32_t) {
  std::string URL = vivo->URL();
  MessageDlg("Error loading file/URL \"" + URL + "\"", mtInformation, mbOK);
  PlayState = psStopped;
}

void TMainForm::vivoTime(TObject*, int32_t, const std::string&) {}

void TMainForm::FormClose(TObject*, TCloseAction&) {
  SwitchOff();
  std::string TempPlaylist = PlayListForm->TempPlaylist();
  if (GetFileAttributesA(TempPlaylist.c_str()) != INVALID_FILE_ATTRIBUTES)
    DeleteFileA(TempPlaylist.c_str());
  if (DirectDrawUsed && DDraw::DirectDrawCreate) {
    // Closed in DirectX mode, the object of that mode is still held: let it go first rather
    // than lose it under the new one.
    if (DirectDrawObject) {
      DirectDrawObject->Release();
      DirectDrawObject = nullptr;
    }
    DDraw::DirectDrawCreate(nullptr, &DirectDrawObject, nullptr);
  }
}

void TMainForm::SwitchOff() {
  if (Closing) return;
  Closing = true;
  FastForwarding = false;
  Application->ProcessMessages();
  vivo->Load("");
  // Set for good, not held by a guard: the window's own resize handling stays off while it
  // shrinks, whatever runs in the animation's message passes.
  Resizing = true;
  Button1->Hide();
  TVImage->Hide();

  TSwitchOffSteps Steps = SwitchOffSteps(Width(), Height(), Screen->Width());
  for (int Step = 0; Step < Steps.Collapse; ++Step) {
    SetTop(Top() + 6);
    SetHeight(Height() - 12);
    Application->ProcessMessages();
  }
  SetHeight(6);
  for (int Step = 0; Step < Steps.Shrink; ++Step) {
    SetLeft(Left() + 4);
    SetWidth(Width() - 8);
    Application->ProcessMessages();
  }
  for (int Step = 0; Step < Steps.Stretch; ++Step) {
    SetLeft(Left() - 4);
    SetWidth(Width() + 8);
    Application->ProcessMessages();
  }
  Application->Terminate();
}
