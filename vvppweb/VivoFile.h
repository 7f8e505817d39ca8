// Reading clips: the text header of a Vivo file and the entries of a Vivo command file.
//
// A Vivo file opens with one or more text-header packets: a byte 0x00, a length in one or two
// bytes (7 bits each, the first byte the more significant; its high bit set means one more byte
// follows), then that many bytes of Key:Value lines separated by CR LF. The first packet starts
// with CR LF "Version:Vivo/1.00" (or 0.90, 2.00). Media packets follow (ClipMedia.h).
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// Why a clip could not be used; reported to the host through OnFetchError. The values are
// HRESULTs in the interface facility, so they cannot be taken for system error codes.
inline constexpr int32_t VivoNotAClip = int32_t(0x80040201);      // neither Vivo file nor command file
inline constexpr int32_t VivoTruncated = int32_t(0x80040202);     // a header packet runs past the end
inline constexpr int32_t VivoBadHeader = int32_t(0x80040203);     // absurd length, size, duration or rate
inline constexpr int32_t VivoNestedList = int32_t(0x80040204);    // a command file names a command file
inline constexpr int32_t VivoTooLarge = int32_t(0x80040205);      // larger than we are willing to hold
inline constexpr int32_t VivoUnplayable = int32_t(0x80040206);    // media packets, but nothing decodes
inline constexpr int32_t VivoUnknownScheme = int32_t(0x800C000D); // INET_E_UNKNOWN_PROTOCOL
inline constexpr int32_t VivoOutOfMemory = int32_t(0x8007000E);   // E_OUTOFMEMORY

// What a clip's header says, with our defaults for what it leaves out.
struct TClipInfo {
  int16_t Width = 176;         // the H.263 QCIF picture most Vivo clips were made with
  int16_t Height = 144;
  uint32_t DurationMs = 10000; // a header without a length plays for ten seconds
  double Fps = 15.0;
  bool HasFps = false;         // the header gave FPS
  uint32_t SampleRate = 8000;  // SamplingFrequency
  std::string Version;         // "Vivo/1.00"
  int Major = 1;               // 1 for 0.90 and 1.x (G.723.1 sound), 2 for 2.x (Siren)
  // The header's descriptive lines (Title, Author, Copyright and the like), in their order.
  std::vector<std::pair<std::string, std::string>> Fields;
  size_t MediaOffset = 0;      // where the packets after the header begin
  size_t MediaEnd = 0;         // the size of the file
  // Nothing follows the header: the control shows its generated picture.
  bool HeaderOnly() const { return MediaEnd <= MediaOffset; }
};

inline constexpr int16_t MaxPictureSide = 4096;
inline constexpr uint32_t MaxDurationMs = 24u * 60 * 60 * 1000;
// A picture a second at the slowest: at less, a clip's picture times would outrun any clock.
inline constexpr double MinFps = 1.0;
inline constexpr double MaxFps = 120.0;
inline constexpr uint32_t MinSampleRate = 4000;
inline constexpr uint32_t MaxSampleRate = 48000;

// True when Bytes begin like a Vivo file (a header packet), whatever follows.
bool LooksLikeVivoFile(const std::string& Bytes);

// Reads the header packets of a Vivo file into Info; returns 0 or one of the Vivo* codes.
int32_t ParseVivoFile(const std::string& Bytes, TClipInfo& Info);

// True when Bytes are a Vivo command file: a "Version: Vivo/..." line, then "Begin: commands".
bool IsCommandFile(const std::string& Bytes);

// The names of the command file's "next" lines, in order, with "%20" read back as a space.
std::vector<std::string> CommandFileEntries(const std::string& Bytes);
