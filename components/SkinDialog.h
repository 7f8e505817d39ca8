// What the three skinned 300 x 300 dialogs (the two About boxes and the playlist editor) share:
// the window without caption bar, the background picture, the push buttons and the labels.
#pragma once

#include <string>

#include "components/TransBtn.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/Forms.h"
#include "toolkit/StdCtrls.h"

// The dialogs' client size before scaling.
inline constexpr int SkinDialogSize = 300;

// A dialog's frame and face: dialog border without system-menu buttons, Caption, blue, the
// 13-pixel "MS Sans Serif", a 300 x 300 client area, centred on the screen when first shown.
void SetUpSkinDialog(TForm& Form, const std::string& Caption);

// Takes the caption bar off (WS_CAPTION cleared with SetWindowLongA) and the dialog frame with
// it, keeping the client size: the window is exactly its client area, the picture reaching to
// its edges.
void RemoveCaptionBar(TForm& Form);

// The picture behind everything else: fills the client area, stretched.
TImage* NewBackGround(TForm& Form);

// A text-only skin button: frame fsDark, bold white 13-pixel "MS Sans Serif", hand pointer.
TTransparentButton* NewSkinButton(TForm& Form, const char* Name, const std::string& Caption,
                                  int Left, int Top, int Width, int Height);

// A transparent, bold, white label in the "MS Sans Serif" of Height pixels, sized to its text.
TLabel* NewSkinLabel(TForm& Form, const char* Name, const std::string& Caption, int Left,
                     int Top, int Height = 17);
