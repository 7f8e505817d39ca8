// A text file written line by line, each write checked: the first failure raises EInOutError
// and what was written before it stays in the file.
#pragma once

#include <string>

class TTextFileWriter {
public:
  // Creates FileName, or truncates it when it exists.
  explicit TTextFileWriter(const std::string& FileName);
  ~TTextFileWriter();
  TTextFileWriter(const TTextFileWriter&) = delete;
  TTextFileWriter& operator=(const TTextFileWriter&) = delete;

  // Writes Line followed by CR LF.
  void WriteLine(const std::string& Line);
  void Close();

private:
  [[noreturn]] void Fail(const char* What, unsigned long ErrorCode);
  std::string FileName;
  void* Handle;
};
