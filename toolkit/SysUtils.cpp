// Small system helpers.
#include "toolkit/SysUtils.h"

#include <windows.h>

#include <climits>
#include <cstdio>
#include <stdexcept>

std::string SysErrorMessage(uint32_t ErrorCode) {
  char* Buffer = nullptr;
  DWORD Length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, ErrorCode, 0, reinterpret_cast<char*>(&Buffer), 0, nullptr);
  char Code[16];
  std::snprintf(Code, sizeof Code, ErrorCode > 0xFFFF ? "0x%08X" : "%u",
                static_cast<unsigned>(ErrorCode));
  std::string Text = Length ? std::string(Buffer, Length) : std::string("System error ") + Code;
  if (Buffer) LocalFree(Buffer);
  while (!Text.empty() && (Text.back() == '\r' || Text.back() == '\n' || Text.back() == ' ' ||
                           Text.back() == '.'))
    Text.pop_back();
  return Text;
}

std::string ProgramFileName() {
  std::string Name(MAX_PATH, '\0');
  for (;;) {
    DWORD Length = GetModuleFileNameA(nullptr, Name.data(), static_cast<DWORD>(Name.size()));
    if (Length < Name.size()) {
      Name.resize(Length);
      return Name;
    }
    Name.resize(Name.size() * 2);
  }
}

void* ProgramIcon() {
  HINSTANCE Instance = GetModuleHandleA(nullptr);
  HICON Icon = LoadIconA(Instance, "MAINICON");
  if (!Icon) Icon = LoadIconA(Instance, MAKEINTRESOURCEA(1));
  if (!Icon) Icon = LoadIconA(nullptr, IDI_APPLICATION);
  return Icon;
}

namespace {
// The conversion functions take int lengths; a longer text is refused rather than cut.
int CheckedLength(size_t Length) {
  if (Length > static_cast<size_t>(INT_MAX)) throw std::length_error("The text is too long to convert.");
  return static_cast<int>(Length);
}
}  // namespace

std::wstring AnsiToWide(std::string_view Text) {
  if (Text.empty()) return {};
  const int Length = CheckedLength(Text.size());
  const int Size = MultiByteToWideChar(CP_ACP, 0, Text.data(), Length, nullptr, 0);
  std::wstring Wide(static_cast<size_t>(Size), L'\0');
  MultiByteToWideChar(CP_ACP, 0, Text.data(), Length, Wide.data(), Size);
  return Wide;
}

std::string WideToAnsi(std::wstring_view Text) {
  if (Text.empty()) return {};
  const int Length = CheckedLength(Text.size());
  const int Size = WideCharToMultiByte(CP_ACP, 0, Text.data(), Length, nullptr, 0, nullptr, nullptr);
  std::string Ansi(static_cast<size_t>(Size), '\0');
  WideCharToMultiByte(CP_ACP, 0, Text.data(), Length, Ansi.data(), Size, nullptr, nullptr);
  return Ansi;
}
