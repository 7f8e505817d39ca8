// The About [Ostra] dialog. Its background picture comes from the About Quillo dialog at
// start-up.
#include "components/AboutOstra.h"

#include "components/SkinDialog.h"
#include "res/Resources.h"

TAboutOstraForm* AboutOstraForm = nullptr;

TAboutOstraForm::TAboutOstraForm(TComponent* Owner)
    : TAboutDialog(Owner, "TAboutOstraForm", "http://ostra.example.net/") {
  Image1->SetBounds(80, 5, 130, 55);
  Image1->Picture.LoadFromResource(nullptr, IDB_OSTRALOGO);

  Label1 = NewSkinLabel(*this, "Label1", "President:", 32, 64);
  Label2 = NewSkinLabel(*this, "Label2", "Vice President:", 32, 88);
  Label2->SetAutoSize(false);
  Label2->SetWordWrap(true);
  Label2->SetBounds(32, 88, 87, 40);
  Label3 = NewSkinLabel(*this, "Label3", "URL:", 32, 136);
  Label4 = NewSkinLabel(*this, "Label4", "IRC:", 32, 168);
  Label5 = NewSkinLabel(*this, "Label5", "Pearl Diver", 136, 64);
  Label6 = NewSkinLabel(*this, "Label6", "Shell Seeker", 136, 96);
  Label7->SetBounds(136, 136, 140, 20);
  Label7->SetCaption("Our home page");
  Label8 = NewSkinLabel(*this, "Label8", "#ostra", 136, 168);
  Label9 = NewSkinLabel(*this, "Label9", "example.net", 168, 184);
  Label10 = NewSkinLabel(*this, "Label10", "#quillo", 136, 208);
  Label11 = NewSkinLabel(*this, "Label11", "example.net", 160, 224);
  DoCreate();
}

TAboutOstraForm::~TAboutOstraForm() {
  if (AboutOstraForm == this) AboutOstraForm = nullptr;
}
