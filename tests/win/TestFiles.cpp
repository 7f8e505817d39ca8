// File helpers for the tests that run under Wine.
#include "tests/win/TestFiles.h"

#include <windows.h>

#include <algorithm>
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
  for (const std::string& Name : Files()) {
    SetFileAttributesA((Dir + Name).c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA((Dir + Name).c_str());
  }
  RemoveDirectoryA(Dir.c_str());
}

std::vector<std::string> TScratchDir::Files() const {
  std::vector<std::string> Names;
  WIN32_FIND_DATAA Found;
  HANDLE Find = FindFirstFileA((Dir + "*").c_str(), &Found);
  if (Find != INVALID_HANDLE_VALUE) {
    do {
      if (!(Found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) Names.push_back(Found.cFileName);
    } while (FindNextFileA(Find, &Found));
    FindClose(Find);
  }
  std::sort(Names.begin(), Names.end());
  return Names;
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
