// Reading the text header of a Vivo file and the entries of a Vivo command file.
#include "vvppweb/VivoFile.h"

#include <cctype>
#include <cstdlib>

namespace {

// Blanks, tabs and carriage returns go from both ends; a line of nothing else is empty.
std::string Trim(const std::string& S) {
  const char* const Blanks = " \t\r";
  size_t First = S.find_first_not_of(Blanks);
  if (First == std::string::npos) return {};
  size_t Last = S.find_last_not_of(Blanks);
  return S.substr(First, Last - First + 1);
}

bool SameText(const std::string& A, const char* B) {
  size_t I = 0;
  for (; I < A.size() && B[I]; ++I)
    if (std::tolower(static_cast<unsigned char>(A[I])) != std::tolower(static_cast<unsigned char>(B[I])))
      return false;
  return I == A.size() && !B[I];
}

bool StartsWithText(const std::string& A, const char* Prefix) {
  std::string Head = A.substr(0, std::char_traits<char>::length(Prefix));
  return SameText(Head, Prefix);
}

// Lines ended by CR LF, LF or a lone CR: no line holds a line break.
std::vector<std::string> Lines(const std::string& Text) {
  std::vector<std::string> Result;
  size_t Start = 0;
  while (Start <= Text.size()) {
    size_t End = Text.find_first_of("\r\n", Start);
    if (End == std::string::npos) End = Text.size();
    Result.push_back(Text.substr(Start, End - Start));
    Start = End + (Text.compare(End, 2, "\r\n") == 0 ? 2 : 1);
  }
  return Result;
}

bool SplitKeyValue(const std::string& Line, std::string& Key, std::string& Value) {
  size_t Colon = Line.find(':');
  if (Colon == std::string::npos) return false;
  Key = Trim(Line.substr(0, Colon));
  Value = Trim(Line.substr(Colon + 1));
  return true;
}

// A whole decimal number within [Low, High]; anything else (signs, junk, overflow) fails.
bool ParseWhole(const std::string& Text, long long Low, long long High, long long& Value) {
  if (Text.empty() || Text.size() > 12) return false;
  Value = 0;
  for (char C : Text) {
    if (!std::isdigit(static_cast<unsigned char>(C))) return false;
    Value = Value * 10 + (C - '0');
  }
  return Value >= Low && Value <= High;
}

bool ParseRate(const std::string& Text, double& Value) {
  if (Text.empty() || Text.size() > 16) return false;
  size_t Dots = 0;
  for (char C : Text) {
    if (C == '.') ++Dots;
    else if (!std::isdigit(static_cast<unsigned char>(C))) return false;
  }
  if (Dots > 1) return false;
  Value = std::strtod(Text.c_str(), nullptr);
  return Value >= MinFps && Value <= MaxFps;
}

// Keys that describe the coding rather than the clip; AboutMovie shows the others.
bool IsTechnicalKey(const std::string& Key) {
  for (const char* Technical : {"Version", "Width", "Height", "Duration", "FPS", "SamplingFrequency",
                                "TimeUnitNumerator", "TimeUnitDenominator", "NominalBitrate", "Length",
                                "Type", "Begin"})
    if (SameText(Key, Technical)) return true;
  return false;
}

constexpr size_t MaxFields = 32;

int32_t ApplyHeaderLine(const std::string& Key, const std::string& Value, TClipInfo& Info) {
  long long Number = 0;
  if (SameText(Key, "Width") || SameText(Key, "Height")) {
    if (!ParseWhole(Value, 1, MaxPictureSide, Number)) return VivoBadHeader;
    (SameText(Key, "Width") ? Info.Width : Info.Height) = static_cast<int16_t>(Number);
  } else if (SameText(Key, "Duration")) {
    if (!ParseWhole(Value, 0, MaxDurationMs, Number)) return VivoBadHeader;
    Info.DurationMs = static_cast<uint32_t>(Number);
  } else if (SameText(Key, "FPS")) {
    if (!ParseRate(Value, Info.Fps)) return VivoBadHeader;
    Info.HasFps = true;
  } else if (SameText(Key, "SamplingFrequency")) {
    if (!ParseWhole(Value, MinSampleRate, MaxSampleRate, Number)) return VivoBadHeader;
    Info.SampleRate = static_cast<uint32_t>(Number);
  } else if (!IsTechnicalKey(Key) && !Value.empty() && Info.Fields.size() < MaxFields) {
    Info.Fields.emplace_back(Key, Value);
  }
  return 0;
}

}  // namespace

bool LooksLikeVivoFile(const std::string& Bytes) {
  return !Bytes.empty() && Bytes[0] == '\0';
}

int32_t ParseVivoFile(const std::string& Bytes, TClipInfo& Parsed) {
  if (!LooksLikeVivoFile(Bytes)) return VivoNotAClip;
  TClipInfo Info;
  size_t Pos = 0;
  bool First = true;
  while (Pos < Bytes.size() && Bytes[Pos] == '\0') {
    if (++Pos >= Bytes.size()) return VivoTruncated;
    auto Byte = static_cast<unsigned char>(Bytes[Pos++]);
    size_t Length = Byte & 0x7F;
    if (Byte & 0x80) {
      if (Pos >= Bytes.size()) return VivoTruncated;
      auto Low = static_cast<unsigned char>(Bytes[Pos++]);
      if (Low & 0x80) return VivoBadHeader;  // a third length byte: no header is that long
      Length = (Length << 7) | Low;
    }
    if (Length > Bytes.size() - Pos) return VivoTruncated;
    std::vector<std::string> Text = Lines(Bytes.substr(Pos, Length));
    Pos += Length;

    size_t Line = 0;
    if (First) {
      // CR LF, then the version line; without it this is not one of our clips.
      if (Text.size() < 2 || !Text[0].empty()) return VivoNotAClip;
      std::string Key, Value;
      if (!SplitKeyValue(Text[1], Key, Value) || !SameText(Key, "Version") ||
          !StartsWithText(Value, "Vivo/") || Value.size() == 5)
        return VivoNotAClip;
      Info.Version = Value;
      Info.Major = Value.size() > 5 && Value[5] >= '2' && Value[5] <= '9' ? 2 : 1;
      Line = 2;
      First = false;
    }
    for (; Line < Text.size(); ++Line) {
      std::string Key, Value;
      if (!SplitKeyValue(Text[Line], Key, Value)) continue;
      if (int32_t Error = ApplyHeaderLine(Key, Value, Info)) return Error;
    }
  }
  Info.MediaOffset = Pos;
  Info.MediaEnd = Bytes.size();
  Parsed = Info;
  return 0;
}

bool IsCommandFile(const std::string& Bytes) {
  if (LooksLikeVivoFile(Bytes)) return false;
  int Seen = 0;
  for (const std::string& Line : Lines(Bytes)) {
    if (Trim(Line).empty()) continue;
    std::string Key, Value;
    if (!SplitKeyValue(Line, Key, Value)) return false;
    if (Seen == 0) {
      if (!SameText(Key, "Version") || !StartsWithText(Value, "Vivo/")) return false;
      Seen = 1;
    } else {
      return SameText(Key, "Begin") && SameText(Value, "commands");
    }
  }
  return false;
}

std::vector<std::string> CommandFileEntries(const std::string& Bytes) {
  std::vector<std::string> Entries;
  for (const std::string& Raw : Lines(Bytes)) {
    std::string Line = Trim(Raw);
    if (Line.size() < 5 || !StartsWithText(Line, "next") || (Line[4] != ' ' && Line[4] != '\t'))
      continue;
    std::string Name = Trim(Line.substr(5));
    if (Name.empty()) continue;
    std::string Unescaped;
    for (size_t I = 0; I < Name.size(); ++I) {
      if (Name.compare(I, 3, "%20") == 0) {
        Unescaped += ' ';
        I += 2;
      } else {
        Unescaped += Name[I];
      }
    }
    Entries.push_back(Unescaped);
  }
  return Entries;
}
