// The settings file's values on any text: the integer decoding agrees with a second reading
// built on the standard library's parser, and every decoded setting is within its range.
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "app/SettingsValues.h"

namespace {

void Require(bool Holds) {
  if (!Holds) std::abort();
}

// "0x" and hexadecimal digits for more than two characters; otherwise an optional sign and
// decimal digits; the whole text, within 32 bits.
std::optional<int32_t> Expected(std::string_view Text) {
  if (Text.size() > 2 && Text[0] == '0' && (Text[1] == 'x' || Text[1] == 'X')) {
    uint64_t Value = 0;
    std::string_view Digits = Text.substr(2);
    auto [End, Error] = std::from_chars(Digits.data(), Digits.data() + Digits.size(), Value, 16);
    if (Error != std::errc() || End != Digits.data() + Digits.size() || Value > 0xFFFFFFFFu)
      return std::nullopt;
    return static_cast<int32_t>(static_cast<uint32_t>(Value));
  }
  if (Text.size() > 1 && Text[0] == '+' && Text[1] >= '0' && Text[1] <= '9') Text.remove_prefix(1);
  int64_t Value = 0;
  auto [End, Error] = std::from_chars(Text.data(), Text.data() + Text.size(), Value, 10);
  if (Text.empty() || Error != std::errc() || End != Text.data() + Text.size() ||
      Value < INT32_MIN || Value > INT32_MAX)
    return std::nullopt;
  return static_cast<int32_t>(Value);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  std::string Text(reinterpret_cast<const char*>(Data), Size);
  std::optional<int32_t> Want = Expected(Text);
  Require(DecodeInteger(Text, 7) == Want.value_or(7));
  Require(DecodeInteger(Text, -7) == Want.value_or(-7));
  Require(DecodeBoolean(Text, true) == (Want ? *Want != 0 : true));

  // The same text for every key, and pieces of it for each key in turn.
  size_t Key = 0;
  TStoredSettings Stored = DecodeSettings([&](const char*, const char*) {
    size_t Cut = Text.size() ? (Key++ * 7919) % (Text.size() + 1) : 0;
    return Text.substr(Cut);
  });
  Require(Stored.Size >= 0 && Stored.Size <= 5 && Stored.Mode >= 0 && Stored.Mode <= 3);
  return 0;
}
