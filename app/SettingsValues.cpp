// Reading the settings file's values.
#include "app/SettingsValues.h"

#include <optional>

namespace {

int DigitValue(char C, int Base) {
  int Value = C >= '0' && C <= '9'   ? C - '0'
              : C >= 'a' && C <= 'f' ? C - 'a' + 10
              : C >= 'A' && C <= 'F' ? C - 'A' + 10
                                     : 99;
  return Value < Base ? Value : -1;
}

// The digits' value, or nothing when there are none, one is not a digit, or it passes Limit.
std::optional<uint64_t> Digits(std::string_view Text, int Base, uint64_t Limit) {
  if (Text.empty()) return std::nullopt;
  uint64_t Value = 0;
  for (char C : Text) {
    int Digit = DigitValue(C, Base);
    if (Digit < 0) return std::nullopt;
    Value = Value * static_cast<uint64_t>(Base) + static_cast<uint64_t>(Digit);
    if (Value > Limit) return std::nullopt;
  }
  return Value;
}

}  // namespace

int32_t DecodeInteger(std::string_view Value, int32_t Default) {
  if (Value.size() > 2 && Value[0] == '0' && (Value[1] == 'x' || Value[1] == 'X')) {
    auto Hex = Digits(Value.substr(2), 16, 0xFFFFFFFFu);
    return Hex ? static_cast<int32_t>(static_cast<uint32_t>(*Hex)) : Default;
  }
  bool Negative = !Value.empty() && Value[0] == '-';
  if (!Value.empty() && (Value[0] == '-' || Value[0] == '+')) Value.remove_prefix(1);
  auto Decimal = Digits(Value, 10, Negative ? 2147483648u : 2147483647u);
  if (!Decimal) return Default;
  return Negative ? static_cast<int32_t>(-static_cast<int64_t>(*Decimal))
                  : static_cast<int32_t>(*Decimal);
}

bool DecodeBoolean(std::string_view Value, bool Default) {
  constexpr int32_t NoNumber = 0;
  // Two different defaults tell a number from no number without a second parser.
  int32_t AsZero = DecodeInteger(Value, NoNumber);
  int32_t AsOne = DecodeInteger(Value, 1);
  if (AsZero != AsOne) return Default;
  return AsZero != 0;
}

TStoredSettings DecodeSettings(
    const std::function<std::string(const char* Section, const char* Key)>& Read) {
  TStoredSettings Stored;
  int32_t Size = DecodeInteger(Read("View", "Size"), 1);
  Stored.Size = Size >= 0 && Size <= 5 ? Size : 1;
  int32_t Mode = DecodeInteger(Read("View", "Mode"), 0);
  Stored.Mode = Mode >= 1 && Mode <= 3 ? Mode : 0;
  Stored.AlwaysOnTop = DecodeBoolean(Read("View", "AlwaysOnTop"), false);
  Stored.DisableScreenSaver = DecodeBoolean(Read("Misc", "DisableScreenSaver"), false);
  Stored.SystemTray = DecodeBoolean(Read("Misc", "SystemTray"), false);
  Stored.LastDir = Read("Misc", "LastDir");
  return Stored;
}
