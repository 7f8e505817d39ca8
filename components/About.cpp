// The About Quillo dialog.
#include "components/About.h"

#include "components/SkinDialog.h"
#include "res/Resources.h"

TAboutForm* AboutForm = nullptr;

TAboutForm::TAboutForm(TComponent* Owner)
    : TAboutDialog(Owner, "TAboutForm", "http://quillo.example.org/") {
  BackGround->Picture.LoadFromResource(nullptr, IDB_ABOUTBACK);
  Image1->SetBounds(48, 16, 200, 50);
  Image1->Picture.LoadFromResource(nullptr, IDB_QUILLOLOGO);

  Label1 = NewSkinLabel(*this, "Label1", "Version:", 32, 80);
  Label2 = NewSkinLabel(*this, "Label2", QUILLO_VERSION_TEXT, 112, 80);
  Label3 = NewSkinLabel(*this, "Label3", "Team:", 32, 104);
  Label4 = NewSkinLabel(*this, "Label4", "[Ostra]", 112, 104);
  Label5 = NewSkinLabel(*this, "Label5", "URL:", 32, 128);
  Label7->SetBounds(112, 128, 161, 20);
  Label7->SetCaption("Quillo home page");
  Label6 = NewSkinLabel(*this, "Label6", "A player for Vivo clips", 32, 164);
  Label8 = NewSkinLabel(*this, "Label8", "in a television set.", 32, 184);
  Label9 = NewSkinLabel(*this, "Label9", "Free to use and to share.", 32, 212);
  DoCreate();
}

TAboutForm::~TAboutForm() {
  if (AboutForm == this) AboutForm = nullptr;
}
