// The toolkit's basic types: objects, shift states, mouse buttons, shortcuts and event signatures.
#pragma once

#include <cstdint>
#include <functional>

// Base of every component, so handlers can be given a sender (or none: nullptr).
class TObject {
public:
  virtual ~TObject() = default;
};

// Keys and mouse buttons held during an input event.
enum TShiftFlag : uint8_t {
  ssShift = 0x01,
  ssAlt = 0x02,
  ssCtrl = 0x04,
  ssLeft = 0x08,
  ssRight = 0x10,
  ssMiddle = 0x20,
  ssDouble = 0x40,
};

class TShiftState {
public:
  constexpr TShiftState() = default;
  constexpr TShiftState(TShiftFlag Flag) : Bits(Flag) {}
  constexpr static TShiftState FromBits(uint8_t Bits) { TShiftState S; S.Bits = Bits; return S; }
  constexpr bool Contains(TShiftFlag Flag) const { return (Bits & Flag) != 0; }
  constexpr bool Empty() const { return Bits == 0; }
  constexpr uint8_t Value() const { return Bits; }
  // Only the keyboard part: Shift, Alt, Ctrl.
  constexpr TShiftState Keys() const { return FromBits(Bits & (ssShift | ssAlt | ssCtrl)); }
  constexpr TShiftState operator|(TShiftState O) const { return FromBits(Bits | O.Bits); }
  constexpr TShiftState operator&(TShiftState O) const { return FromBits(Bits & O.Bits); }
  constexpr TShiftState& operator|=(TShiftState O) { Bits |= O.Bits; return *this; }
  constexpr bool operator==(const TShiftState&) const = default;

private:
  uint8_t Bits = 0;
};

constexpr TShiftState operator|(TShiftFlag A, TShiftFlag B) {
  return TShiftState(A) | TShiftState(B);
}

enum class TMouseButton : uint8_t { mbLeft, mbRight, mbMiddle };
using enum TMouseButton;

// A menu shortcut: a virtual-key code in the low byte, modifier flags above it.
using TShortCut = uint16_t;
inline constexpr TShortCut scShift = 0x2000;
inline constexpr TShortCut scCtrl = 0x4000;
inline constexpr TShortCut scAlt = 0x8000;

constexpr TShortCut ShortCut(uint16_t Key, TShiftState Shift) {
  TShortCut Result = Key & 0xFF;
  if (Shift.Contains(ssShift)) Result |= scShift;
  if (Shift.Contains(ssCtrl)) Result |= scCtrl;
  if (Shift.Contains(ssAlt)) Result |= scAlt;
  return Result;
}

using TNotifyEvent = std::function<void(TObject* Sender)>;
using TMouseEvent =
    std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
// Key is a virtual-key code; a handler that sets it to 0 has consumed the key.
using TKeyEvent = std::function<void(TObject* Sender, uint16_t& Key, TShiftState Shift)>;
