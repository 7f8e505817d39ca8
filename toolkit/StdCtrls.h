// Labels and list boxes.
#pragma once

#include <string>

#include "toolkit/Controls.h"
#include "toolkit/Strings.h"

enum class TAlignment : uint8_t { taLeftJustify, taRightJustify, taCenter };
using enum TAlignment;

// A windowless caption in the control's font; "&" underlines the mnemonic letter.
class TLabel : public TGraphicControl {
public:
  explicit TLabel(TComponent* Owner);

  // Transparent: the background is left alone; otherwise filled with Color.
  bool Transparent() const { return SeeThrough; }
  void SetTransparent(bool Value);
  TColor Color() const { return Background; }
  void SetColor(TColor Value);
  bool WordWrap() const { return Wrap; }
  void SetWordWrap(bool Value);
  TAlignment Alignment() const { return TextAlignment; }
  void SetAlignment(TAlignment Value);
  // AutoSize: the bounds follow the caption in the label's font (the width stays with
  // WordWrap, which breaks the lines within it).
  bool AutoSize() const { return FitText; }
  void SetAutoSize(bool Value);
  // With AutoSize the size asked for gives way to the text's.
  void SetBounds(int NewLeft, int NewTop, int NewWidth, int NewHeight) override;

protected:
  void Paint(HDC DC) override;
  void CaptionChanged() override;
  void FontChanged() override;

private:
  void AdjustBounds();
  bool FitText = false;
  bool SeeThrough = false;
  TColor Background = clBtnFace;
  bool Wrap = false;
  TAlignment TextAlignment = taLeftJustify;
};

// A list box window showing a list of texts that it follows: every change of the list shows
// at once, and the selection of the entries a change leaves in place stays. The list must
// outlive the box, or be replaced with SetItems(nullptr) before. A horizontal scroll bar shows
// when the horizontal extent (LB_SETHORIZONTALEXTENT) is wider than the box.
class TListBox : public TWinControl {
public:
  // Makes the box on Parent; MultiSelect lets the user select several entries.
  TListBox(TComponent* Owner, TWinControl* Parent, bool MultiSelect = false);
  ~TListBox() override;

  TStrings* Items() const { return List; }
  void SetItems(TStrings* Value);
  int Count() const;
  // The focused entry, -1 for none.
  int ItemIndex() const;
  void SetItemIndex(int Index);
  bool MultiSelect() const { return Multi; }
  bool Selected(int Index) const;
  void SetSelected(int Index, bool Value);
  int SelCount() const;
  // The background behind the entries; the text takes the font's colour.
  TColor Color() const { return Background; }
  void SetColor(TColor Value);
  // The height of every entry in pixels; 0 leaves it to the font.
  int ItemHeight() const;
  void SetItemHeight(int Value);

  // The user changed the selection / double-clicked an entry.
  TNotifyEvent OnSelChange;

protected:
  void Notified(UINT Code) override;
  HBRUSH ControlColor(HDC DC) override;
  void FontChanged() override;

private:
  void Follow(const TStringsChange& Change);
  void Reload();
  TStrings* List = nullptr;
  bool Multi;
  TColor Background = clWindow;
  TBrush BackgroundBrush;
  int FixedItemHeight = 0;
};
