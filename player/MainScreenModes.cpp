// Full Screen, Scaled Full Screen and DirectX mode: the display switched through DirectDraw and
// given back before the window is laid out again.
#include <string>

#include "components/Trayicon.h"
#include "control/VVPPWEBLib_TLB.h"
#include "player/DDraw.h"
#include "player/Main.h"
#include "toolkit/Guards.h"

bool TMainForm::BeginFullScreen(TMenuItem* Item) {
  CheckSize(Item);
  if (vivo->URL().empty()) return false;
  BeginScreenStyle();
  return true;
}

void TMainForm::FullScreen1Click(TObject*) {
  if (!BeginFullScreen(FullScreen1)) return;
  TFlagGuard Layout(Resizing);
  PlaceAtScreenCorner();
  SetClientSize(Screen->Width(), Screen->Height());
  vivo->SetBounds(0, 0, ClientWidth(), ClientHeight());
}

void TMainForm::ScaledFullScreen1Click(TObject*) {
  if (!BeginFullScreen(ScaledFullScreen1)) return;
  TFlagGuard Layout(Resizing);
  PlaceAtScreenCorner();
  SetClientSize(Screen->Width(), Screen->Height());
  TRect V = ScaledFullScreenVideo(vivo->VideoWidth(), vivo->VideoHeight(), ClientWidth(),
                                  ClientHeight());
  vivo->SetBounds(V.Left, V.Top, V.Width, V.Height);
}

void TMainForm::DirectXMode1Click(TObject* Sender) {
  DirectXMode1->Checked = !DirectXMode1->Checked;
  PresentationMode1->Checked = false;
  CompactMode1->Checked = false;
  ApplyView(Sender);
}

void TMainForm::EnterDirectDraw(int32_t Width, int32_t Height) {
  TFlagGuard Layout(Resizing);
  Button1->Hide();
  TVImage->Hide();
  vivo->OnMouseMove = nullptr;
  if (!DirectDrawActive) {
    DirectDrawActive = true;
    DirectDrawUsed = true;
    vivo->Pause();
    HRESULT Created = DDraw::DirectDrawCreate
                          ? DDraw::DirectDrawCreate(nullptr, &DirectDrawObject, nullptr)
                          : DDERR_NODIRECTDRAWSUPPORT;
    if (Created != DD_OK) {
      DirectDrawObject = nullptr;
      MessageDlg("Error initializing DirectDraw!", mtError, mbOK);
    } else {
      if (DirectDrawObject->SetCooperativeLevel(Handle(), DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN) != DD_OK)
        MessageDlg("Error initializing DirectDraw!", mtError, mbOK);
      if (DirectDrawObject->SetDisplayMode(Width, Height, 16) != DD_OK)
        MessageDlg(std::to_string(Width) + "x" + std::to_string(Height) + " mode not supported!",
                   mtError, mbOK);
    }
    if (PlayState == psPlaying) vivo->Play();
  }
}

void TMainForm::LeaveDirectDraw() {
  DirectXMode1->Checked = false;
  if (DirectDrawActive) {
    if (DirectDrawObject) {
      DirectDrawObject->Release();
      DirectDrawObject = nullptr;
    }
    DirectDrawActive = false;
  }
  ApplyZOrder();
  UpdateTrayIcon();
}

void TMainForm::ChangeDirectXresolution1Click(TObject*) {
  if (DirectXWidth == 640) {
    DirectXWidth = 320;
    DirectXHeight = 240;
    MessageDlg("DirectX mode changed to 320x240", mtInformation, mbOK);
  } else {
    DirectXWidth = 640;
    DirectXHeight = 480;
    MessageDlg("DirectX mode changed to 640x480", mtInformation, mbOK);
  }
  UpdateTrayIcon();
}
