// The About [Ostra] dialog: the group that made the program, its home page and chat channels.
#pragma once

#include "components/AboutDialog.h"

class TAboutOstraForm : public TAboutDialog {
public:
  explicit TAboutOstraForm(TComponent* Owner);
  ~TAboutOstraForm() override;

  TLabel *Label1, *Label2, *Label3, *Label4, *Label5, *Label6, *Label8, *Label9, *Label10,
      *Label11;
};

extern TAboutOstraForm* AboutOstraForm;
