// A text file written line by line, each write checked.
#include "toolkit/TextFile.h"

#include <windows.h>

#include "toolkit/Errors.h"
#include "toolkit/SysUtils.h"

TTextFileWriter::TTextFileWriter(const std::string& FileName) : FileName(FileName) {
  Handle = CreateFileA(FileName.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
  if (Handle == INVALID_HANDLE_VALUE) {
    Handle = nullptr;
    Fail("Cannot create", GetLastError());
  }
}

TTextFileWriter::~TTextFileWriter() {
  if (Handle) CloseHandle(Handle);
}

void TTextFileWriter::WriteLine(const std::string& Line) {
  std::string Bytes = Line + "\r\n";
  const char* Next = Bytes.data();
  size_t Left = Bytes.size();
  while (Left > 0) {
    DWORD Chunk = Left > 0x10000000 ? 0x10000000 : static_cast<DWORD>(Left);
    DWORD Written = 0;
    if (!WriteFile(Handle, Next, Chunk, &Written, nullptr))
      Fail("Cannot write to", GetLastError());
    if (Written == 0) Fail("Cannot write to", ERROR_HANDLE_DISK_FULL);
    Next += Written;
    Left -= Written;
  }
}

void TTextFileWriter::Close() {
  HANDLE H = Handle;
  Handle = nullptr;
  if (H && !CloseHandle(H)) Fail("Cannot close", GetLastError());
}

void TTextFileWriter::Fail(const char* What, unsigned long ErrorCode) {
  throw EInOutError(std::string(What) + " \"" + FileName + "\": " + SysErrorMessage(ErrorCode),
                    ErrorCode);
}
