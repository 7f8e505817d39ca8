// File helpers for the tests that run under Wine.
#pragma once

#include <string>
#include <vector>

// A fresh folder under the system's temporary folder, removed with its files at destruction.
class TScratchDir {
public:
  TScratchDir();
  ~TScratchDir();
  const std::string& Path() const { return Dir; }  // ends with a backslash
  std::string operator/(const std::string& Name) const { return Dir + Name; }
  // The names of the files in it, sorted.
  std::vector<std::string> Files() const;

private:
  std::string Dir;
};

std::string ReadBytes(const std::string& FileName);
void WriteBytes(const std::string& FileName, const std::string& Bytes);
bool FileExists(const std::string& FileName);
