// A copy's file on Win32: created new, written, flushed and moved in place with the system's own
// calls, its failures in the system's words; Ctrl+C through the console's handler.
#include "vvppweb/CopySystem.h"

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

namespace CopySystem {
namespace {

HANDLE Handle(TFile File) { return reinterpret_cast<HANDLE>(File); }

bool Failed(std::string& Reason) {
  Reason = LastFailure();
  return false;
}

void (*InterruptHandler)() = nullptr;

BOOL WINAPI ConsoleControl(DWORD Event) {
  if (Event != CTRL_C_EVENT && Event != CTRL_BREAK_EVENT) return FALSE;
  InterruptHandler();
  return TRUE;
}

}  // namespace

std::string LastFailure() {
  DWORD Error = GetLastError();
  char Text[512] = "";
  FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, Error, 0, Text, sizeof Text,
                 nullptr);
  std::string Result = Text;
  while (!Result.empty() && std::string("\r\n .").find(Result.back()) != std::string::npos) Result.pop_back();
  return Result.empty() ? "System error " + std::to_string(Error) : Result;
}

TCreated CreateNew(const std::string& Name, TFile& File, std::string& Reason) {
  HANDLE Made = CreateFileA(Name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (Made != INVALID_HANDLE_VALUE) {
    File = reinterpret_cast<TFile>(Made);
    return TCreated::Made;
  }
  // Taken by a file, or by a folder, refused as access denied like a folder we may not write in
  // (where no other name would do).
  DWORD Error = GetLastError();
  bool Taken = Error == ERROR_FILE_EXISTS || Error == ERROR_ALREADY_EXISTS ||
               (Error == ERROR_ACCESS_DENIED && GetFileAttributesA(Name.c_str()) != INVALID_FILE_ATTRIBUTES);
  SetLastError(Error);
  if (Taken) return TCreated::Taken;
  Reason = LastFailure();
  return TCreated::Failed;
}

bool Write(TFile File, const uint8_t* Data, size_t Size, std::string& Reason) {
  while (Size > 0) {
    DWORD Done = 0;
    if (!WriteFile(Handle(File), Data, static_cast<DWORD>(std::min<size_t>(Size, 1u << 30)), &Done, nullptr))
      return Failed(Reason);
    if (Done == 0) {
      SetLastError(ERROR_WRITE_FAULT);
      return Failed(Reason);
    }
    Data += Done;
    Size -= Done;
  }
  return true;
}

bool Seek(TFile File, uint64_t Position, std::string& Reason) {
  LARGE_INTEGER To;
  To.QuadPart = static_cast<LONGLONG>(Position);
  return SetFilePointerEx(Handle(File), To, nullptr, FILE_BEGIN) || Failed(Reason);
}

bool FlushAndClose(TFile File, std::string& Reason) {
  bool Flushed = FlushFileBuffers(Handle(File));
  DWORD Error = GetLastError();
  // Closing writes what the system still held: a full disk may show only now.
  bool Closed = CloseHandle(Handle(File));
  if (!Flushed) SetLastError(Error);
  return (Flushed && Closed) || Failed(Reason);
}

void Close(TFile File) { CloseHandle(Handle(File)); }

bool Rename(const std::string& From, const std::string& To, bool Replace, bool& Taken, std::string& Reason) {
  Taken = false;
  if (MoveFileExA(From.c_str(), To.c_str(), MOVEFILE_WRITE_THROUGH | (Replace ? MOVEFILE_REPLACE_EXISTING : 0)))
    return true;
  DWORD Error = GetLastError();
  Taken = !Replace && (Error == ERROR_ALREADY_EXISTS || Error == ERROR_FILE_EXISTS);
  SetLastError(Error);
  return Failed(Reason);
}

void Remove(const std::string& Name) { DeleteFileA(Name.c_str()); }

TKind KindOf(const std::string& Name) {
  DWORD Attributes = GetFileAttributesA(Name.c_str());
  if (Attributes == INVALID_FILE_ATTRIBUTES) return TKind::None;
  return Attributes & FILE_ATTRIBUTE_DIRECTORY ? TKind::Folder : TKind::File;
}

bool ListFolder(const std::string& Folder, std::vector<std::string>& Files, std::vector<std::string>& Folders,
                std::string& Reason) {
  WIN32_FIND_DATAA Found;
  HANDLE Search = FindFirstFileA((Folder + "\\*").c_str(), &Found);
  if (Search == INVALID_HANDLE_VALUE) return Failed(Reason);
  do {
    std::string Name = Found.cFileName;
    if (Name == "." || Name == "..") continue;
    (Found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY ? Folders : Files).push_back(Name);
  } while (FindNextFileA(Search, &Found));
  DWORD Error = GetLastError();
  FindClose(Search);
  SetLastError(Error);
  if (Error != ERROR_NO_MORE_FILES) return Failed(Reason);
  std::sort(Files.begin(), Files.end());
  std::sort(Folders.begin(), Folders.end());
  return true;
}

bool ReadAll(const std::string& Name, std::string& Bytes, std::string& Reason) {
  HANDLE File = CreateFileA(Name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (File == INVALID_HANDLE_VALUE) return Failed(Reason);
  LARGE_INTEGER Size{};
  bool Read = GetFileSizeEx(File, &Size) && Size.QuadPart < (1ll << 31);
  if (Read) {
    Bytes.resize(static_cast<size_t>(Size.QuadPart));
    DWORD Done = 0;
    Read = ReadFile(File, Bytes.data(), static_cast<DWORD>(Bytes.size()), &Done, nullptr) && Done == Bytes.size();
  }
  DWORD Error = GetLastError();
  CloseHandle(File);
  SetLastError(Error);
  return Read || Failed(Reason);
}

std::string FullName(const std::string& Name) {
  char Full[MAX_PATH * 4];
  DWORD Length = GetFullPathNameA(Name.c_str(), sizeof Full, Full, nullptr);
  if (Length == 0 || Length >= sizeof Full) return Name;
  std::string Result(Full, Length);
  CharLowerBuffA(Result.data(), static_cast<DWORD>(Result.size()));
  return Result;
}

bool MakeFolders(const std::string& Name, std::string& Reason) {
  if (KindOf(Name) == TKind::Folder) return true;
  size_t Slash = Name.find_last_of("\\/");
  if (Slash != std::string::npos && Slash > 0 && Name[Slash - 1] != ':' &&
      !MakeFolders(Name.substr(0, Slash), Reason))
    return false;
  return CreateDirectoryA(Name.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS || Failed(Reason);
}

void OnInterrupt(void (*Handler)()) {
  InterruptHandler = Handler;
  SetConsoleCtrlHandler(ConsoleControl, TRUE);
}

}  // namespace CopySystem
