// The log of the host's member calls, kept in memory and optionally appended to a file.
#include "vvppweb/CallLog.h"

#include <windows.h>

std::string CallLogLine(const std::string& Line) {
  std::string Result = Line;
  for (char& C : Result)
    if (static_cast<unsigned char>(C) < 0x20) C = '?';
  return Result;
}

void AppendCallLogFile(const std::string& Line) {
  char Name[MAX_PATH];
  DWORD Length = GetEnvironmentVariableA("VVPPWEB_LOG", Name, sizeof Name);
  if (Length == 0 || Length >= sizeof Name) return;
  // Opened for each line: several processes may append, and the reader may remove the file.
  HANDLE File = CreateFileA(Name, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (File == INVALID_HANDLE_VALUE) return;
  std::string Text = Line + "\r\n";
  DWORD Written = 0;
  WriteFile(File, Text.data(), static_cast<DWORD>(Text.size()), &Written, nullptr);
  CloseHandle(File);
}
