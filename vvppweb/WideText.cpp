// Converting between the host's wide strings and ANSI text.
#include "vvppweb/WideText.h"

#include <climits>

std::string WideToAnsi(std::wstring_view Text) {
  if (Text.empty() || Text.size() > INT_MAX) return {};
  int Length = static_cast<int>(Text.size());
  int Size = WideCharToMultiByte(CP_ACP, 0, Text.data(), Length, nullptr, 0, nullptr, nullptr);
  std::string Result(static_cast<size_t>(Size), '\0');
  WideCharToMultiByte(CP_ACP, 0, Text.data(), Length, Result.data(), Size, nullptr, nullptr);
  return Result;
}

BSTR AnsiToBstr(std::string_view Text) {
  if (Text.size() > INT_MAX) return nullptr;
  int Length = static_cast<int>(Text.size());
  int Size = MultiByteToWideChar(CP_ACP, 0, Text.data(), Length, nullptr, 0);
  BSTR Result = SysAllocStringLen(nullptr, static_cast<UINT>(Size));
  if (Result) MultiByteToWideChar(CP_ACP, 0, Text.data(), Length, Result, Size);
  return Result;
}
