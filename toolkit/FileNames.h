// File-name parts, on 8-bit names with backslash folders and drive colons.
#pragma once

#include <string>

// The folder part of FileName without a trailing backslash ("C:\Apps\q.exe" gives "C:\Apps",
// "C:\q.exe" gives "C:"); empty when there is no folder part.
inline std::string ExtractFileDir(const std::string& FileName) {
  size_t Separator = FileName.find_last_of("\\:");
  if (Separator == std::string::npos) return "";
  if (FileName[Separator] == ':') return FileName.substr(0, Separator + 1);
  return FileName.substr(0, Separator);
}

// The part after the last backslash or colon.
inline std::string ExtractFileName(const std::string& FileName) {
  size_t Separator = FileName.find_last_of("\\:");
  return Separator == std::string::npos ? FileName : FileName.substr(Separator + 1);
}
