// The player window's view sizes: the skin scaled around the video, compact and screen-style
// presentations, the fit tests, the user's own resizing and the mode switches.
#include "control/VVPPWEBLib_TLB.h"
#include "player/Main.h"
#include "toolkit/Guards.h"

// Every layout holds Resizing with a TFlagGuard: a control call that fails half-way must not
// leave it set, or the window would never follow the user's resizing again.

void TMainForm::ScaleSkin(int32_t W, int32_t BaseW, int32_t H, int32_t BaseH) {
  TFlagGuard Layout(Resizing);
  TSkinLayout L = ScaleSkinLayout(W, BaseW, H, BaseH);
  vivo->SetBounds(L.Video.Left, L.Video.Top, L.Video.Width, L.Video.Height);
  Button1->SetBounds(L.Button.Left, L.Button.Top, L.Button.Width, L.Button.Height);
  SetClientSize(L.ClientWidth, L.ClientHeight);
}

void TMainForm::AttachVideoDrag(bool Attach) {
  if (Attach)
    vivo->OnMouseMove = [this](TObject* S, TShiftState Sh, int X, int Y) {
      FormMouseMove(S, Sh, X, Y);
    };
  else
    vivo->OnMouseMove = nullptr;
  vivo->SetCursorNone(!Attach);
}

void TMainForm::CheckSize(TMenuItem* Item) {
  for (TMenuItem* TMainForm::*Size : ViewSizes) (this->*Size)->Checked = this->*Size == Item;
}

void TMainForm::BeginScreenStyle() {
  AttachVideoDrag(false);
  Button1->Hide();
  TVImage->Hide();
  if (DirectXMode1->Checked)
    EnterDirectDraw(DirectXWidth, DirectXHeight);
  else
    LeaveDirectDraw();
}

void TMainForm::PlaceAtScreenCorner() {
  TPoint Origin = ScreenStyleOrigin(Width(), Height(), ClientWidth(), ClientHeight());
  SetLeft(Origin.X);
  SetTop(Origin.Y);
}

void TMainForm::FixedSize(TMenuItem* Item, TViewFactor Factor) {
  if (!Item->Enabled) return;
  CheckSize(Item);
  if (vivo->URL().empty()) return;
  TSize Video = FixedVideoSize(Factor, vivo->VideoWidth(), vivo->VideoHeight());

  if (DirectXMode1->Checked || PresentationMode1->Checked) {
    BeginScreenStyle();
    TFlagGuard Layout(Resizing);
    PlaceAtScreenCorner();
    SetClientSize(Screen->Width(), Screen->Height());
    TRect V = CentredVideo(ClientWidth(), ClientHeight(), Video.Width, Video.Height);
    vivo->SetBounds(V.Left, V.Top, V.Width, V.Height);
    return;
  }

  LeaveDirectDraw();
  AttachVideoDrag(true);
  if (CompactMode1->Checked) {
    Button1->Hide();
    TVImage->Hide();
    TFlagGuard Layout(Resizing);
    vivo->SetBounds(0, 0, Video.Width, Video.Height);
    SetClientSize(Video.Width, Video.Height);
  } else {
    ScaleSkin(Video.Width, SkinVideo.Width, Video.Height, SkinVideo.Height);
    Button1->Show();
    TVImage->Show();
  }
}

void TMainForm::HalfSize1Click(TObject*) { FixedSize(HalfSize1, TViewFactor::Half); }
void TMainForm::OriginalSize1Click(TObject*) { FixedSize(OriginalSize1, TViewFactor::Original); }
void TMainForm::DoubleSize1Click(TObject*) { FixedSize(DoubleSize1, TViewFactor::Double); }
void TMainForm::TripleSize1Click(TObject*) { FixedSize(TripleSize1, TViewFactor::Triple); }

void TMainForm::ApplyView(TObject* Sender) {
  int NativeWidth = vivo->VideoWidth(), NativeHeight = vivo->VideoHeight();
  TPresentation Presentation = DirectXMode1->Checked        ? TPresentation::DirectX
                               : PresentationMode1->Checked ? TPresentation::Presentation
                               : CompactMode1->Checked      ? TPresentation::Compact
                                                            : TPresentation::TVSkin;
  auto Fits = [&](int K) {
    return ViewFits(Presentation, K, NativeWidth, NativeHeight, Screen->Width(), Screen->Height(),
                    DirectXWidth, DirectXHeight);
  };
  DoubleSize1->Enabled = Fits(2);
  TripleSize1->Enabled = Fits(3);

  for (TMenuItem* TMainForm::*Size : ViewSizes) {
    if ((this->*Size)->Checked && (this->*Size)->Enabled) {
      RunCommand(Size, Sender);
      return;
    }
  }
  OriginalSize1Click(Sender);
}

void TMainForm::PresentationMode1Click(TObject* Sender) {
  PresentationMode1->Checked = !PresentationMode1->Checked;
  DirectXMode1->Checked = false;
  CompactMode1->Checked = false;
  ApplyView(Sender);
}

void TMainForm::CompactMode1Click(TObject* Sender) {
  CompactMode1->Checked = !CompactMode1->Checked;
  DirectXMode1->Checked = false;
  PresentationMode1->Checked = false;
  ApplyView(Sender);
}

void TMainForm::FormResize(TObject*) {
  if (Resizing) return;
  if (CompactMode1->Checked) {
    Button1->Hide();
    TVImage->Hide();
    TFlagGuard Layout(Resizing);
    vivo->SetBounds(0, 0, ClientWidth(), ClientHeight());
  } else {
    ScaleSkin(ClientWidth(), SkinWidth, ClientHeight(), SkinHeight);
  }
}
