// Menu shortcuts as text.
#include "toolkit/ShortCuts.h"

namespace {
// Names of the keys that are not letters, digits or function keys, by virtual-key code.
struct TKeyName {
  uint8_t Key;
  const char* Name;
};
constexpr TKeyName KeyNames[] = {
    {0x08, "BkSp"}, {0x09, "Tab"},   {0x0D, "Enter"}, {0x1B, "Esc"},    {0x20, "Space"},
    {0x21, "PgUp"}, {0x22, "PgDn"},  {0x23, "End"},   {0x24, "Home"},   {0x25, "Left"},
    {0x26, "Up"},   {0x27, "Right"}, {0x28, "Down"},  {0x2D, "Ins"},    {0x2E, "Del"},
    {0x6A, "Num *"}, {0x6B, "Num +"}, {0x6D, "Num -"}, {0x6E, "Num ."}, {0x6F, "Num /"},
};

std::string KeyName(uint8_t Key) {
  if ((Key >= '0' && Key <= '9') || (Key >= 'A' && Key <= 'Z')) return std::string(1, char(Key));
  std::string Name;
  if (Key >= 0x60 && Key <= 0x69) return Name.append("Num ").append(std::to_string(Key - 0x60));
  if (Key >= 0x70 && Key <= 0x87) return Name.append("F").append(std::to_string(Key - 0x70 + 1));
  for (const TKeyName& Entry : KeyNames)
    if (Entry.Key == Key) return Entry.Name;
  return {};
}
}  // namespace

uint16_t ShortCutKey(TShortCut Key) { return Key & 0xFF; }

TShiftState ShortCutShift(TShortCut Key) {
  TShiftState Shift;
  if (Key & scShift) Shift |= ssShift;
  if (Key & scCtrl) Shift |= ssCtrl;
  if (Key & scAlt) Shift |= ssAlt;
  return Shift;
}

std::string ShortCutToText(TShortCut Key) {
  std::string Name = KeyName(static_cast<uint8_t>(ShortCutKey(Key)));
  if (Name.empty()) return {};
  std::string Text;
  if (Key & scCtrl) Text += "Ctrl+";
  if (Key & scShift) Text += "Shift+";
  if (Key & scAlt) Text += "Alt+";
  return Text + Name;
}
