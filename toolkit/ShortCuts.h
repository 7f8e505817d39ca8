// Menu shortcuts as text ("Ctrl+Shift+S", "F10") and split into key and modifiers.
#pragma once

#include <cstdint>
#include <string>

#include "toolkit/Classes.h"

// The text a menu shows after a tab for Key: modifiers in the order Ctrl, Shift, Alt, then the
// key's name. Empty for no shortcut and for keys without a name.
std::string ShortCutToText(TShortCut Key);

// The virtual-key code and the modifiers of a shortcut.
uint16_t ShortCutKey(TShortCut Key);
TShiftState ShortCutShift(TShortCut Key);
