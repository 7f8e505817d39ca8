// File helpers for the tests that run under Wine.
#include "tests/win/TestFiles.h"

#include <windows.h>

#include <fstream>
#include <iterator>
#include <stdexcept>

TScratchDir::TScratchDir() {
  char Temp[MAX_PATH];
  GetTempPathA(MAX_PATH, Temp);
  // Wine reuses process ids, and a run killed half-way leaves its folders behind: a name
  // already taken is skipped, not an error.
  static unsigned Serial = 0;
  for (int Attempt = 0; Attempt < 1000; ++Attempt) {
    Dir = std::string(Temp) + "quillo-test-" + std::to_string(GetCurrentProcessId()) + "-" +
          std::to_string(GetTickCount()) + "-" + std::to_string(++Serial) + "\\";
    if (CreateDirectoryA(Dir.c_str(), nullptr)) return;
    if (GetLastError() != ERROR_ALREADY_EXISTS) break;
  }
  throw std::runtime_error("cannot create " + Dir);
}

TScratchDir::~TScratchDir() {
  WIN32_FIND_DATAA Found;
  HANDLE Find = FindFirstFileA((Dir + "*").c_str(), &Found);
  if (Find != INVALID_HANDLE_VALUE) {
    do {
      std::string Name = Dir + Found.cFileName;
      if (!(Found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        SetFileAttributesA(Name.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(Name.c_str());
      }
    } while (FindNextFileA(Find, &Found));
    FindClose(Find);
  }
  RemoveDirectoryA(Dir.c_str());
}

std::string ReadBytes(const std::string& FileName) {
  std::ifstream In(FileName, std::ios::binary);
  if (!In) throw std::runtime_error("cannot read " + FileName);
  return std::string(std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::string& FileName, const std::string& Bytes) {
  std::ofstream Out(FileName, std::ios::binary | std::ios::trunc);
  Out << Bytes;
  if (!Out) throw std::runtime_error("cannot write " + FileName);
}

bool FileExists(const std::string& FileName) {
  return GetFileAttributesA(FileName.c_str()) != INVALID_FILE_ATTRIBUTES;
}
