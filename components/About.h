// The About Quillo dialog: the program's logo, version and home page. Its background picture
// is the skin of every secondary window: start-up gives the others a copy.
#pragma once

#include "components/AboutDialog.h"

class TAboutForm : public TAboutDialog {
public:
  explicit TAboutForm(TComponent* Owner);
  ~TAboutForm() override;

  TLabel *Label1, *Label2, *Label3, *Label4, *Label5, *Label6, *Label8, *Label9;
};

extern TAboutForm* AboutForm;
