// A copy's file on POSIX systems (the native vivcopy): created new, written, flushed and moved in
// place with the system's own calls, its failures in the system's words; Ctrl+C as SIGINT.
#include "vvppweb/CopySystem.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <system_error>

namespace CopySystem {
namespace {

bool Failed(std::string& Reason) {
  Reason = LastFailure();
  return false;
}

void (*InterruptHandler)() = nullptr;

void Interrupted(int) {
  int Saved = errno;
  InterruptHandler();
  errno = Saved;
}

// The rename on the disk too: the folder's own entry flushed.
void FlushFolderOf(const std::string& Name) {
  size_t Slash = Name.rfind('/');
  std::string Folder = Slash == std::string::npos ? "." : Slash == 0 ? "/" : Name.substr(0, Slash);
  int Handle = open(Folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (Handle < 0) return;
  fsync(Handle);
  close(Handle);
}

// Moves From to To unless a file has that name.
bool RenameNew(const std::string& From, const std::string& To) {
  if (renameat2(AT_FDCWD, From.c_str(), AT_FDCWD, To.c_str(), RENAME_NOREPLACE) == 0) return true;
  // A file system that cannot: a second link, which never replaces, then the first one gone.
  if ((errno != EINVAL && errno != ENOSYS) || link(From.c_str(), To.c_str()) != 0) return false;
  unlink(From.c_str());
  return true;
}

}  // namespace

std::string LastFailure() { return std::system_category().message(errno); }

TCreated CreateNew(const std::string& Name, TFile& File, std::string& Reason) {
  int Made = open(Name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (Made >= 0) {
    File = Made;
    return TCreated::Made;
  }
  if (errno == EEXIST) return TCreated::Taken;
  Reason = LastFailure();
  return TCreated::Failed;
}

bool Write(TFile File, const uint8_t* Data, size_t Size, std::string& Reason) {
  while (Size > 0) {
    ssize_t Done = write(static_cast<int>(File), Data, Size);
    if (Done < 0 && errno == EINTR) continue;
    if (Done <= 0) {
      if (Done == 0) errno = EIO;
      return Failed(Reason);
    }
    Data += Done;
    Size -= static_cast<size_t>(Done);
  }
  return true;
}

bool Seek(TFile File, uint64_t Position, std::string& Reason) {
  return lseek(static_cast<int>(File), static_cast<off_t>(Position), SEEK_SET) >= 0 || Failed(Reason);
}

bool FlushAndClose(TFile File, std::string& Reason) {
  bool Flushed = fsync(static_cast<int>(File)) == 0;
  int Error = errno;
  // Closing may report a write the system held back (on a network share, say).
  bool Closed = close(static_cast<int>(File)) == 0;
  if (!Flushed) errno = Error;
  return (Flushed && Closed) || Failed(Reason);
}

void Close(TFile File) { close(static_cast<int>(File)); }


bool Rename(const std::string& From, const std::string& To, bool Replace, bool& Taken, std::string& Reason) {
  Taken = false;
  bool Moved = Replace ? rename(From.c_str(), To.c_str()) == 0 : RenameNew(From, To);
  if (!Moved) {
    Taken = !Replace && errno == EEXIST;
    return Failed(Reason);
  }
  FlushFolderOf(To);
  return true;
}

void Remove(const std::string& Name) { unlink(Name.c_str()); }

TKind KindOf(const std::string& Name) {
  struct stat Status {};
  if (stat(Name.c_str(), &Status) != 0) return TKind::None;
  return S_ISDIR(Status.st_mode) ? TKind::Folder : TKind::File;
}

bool ListFolder(const std::string& Folder, std::vector<std::string>& Files, std::vector<std::string>& Folders,
                std::string& Reason) {
  DIR* Listing = opendir(Folder.c_str());
  if (!Listing) return Failed(Reason);
  errno = 0;
  while (dirent* Entry = readdir(Listing)) {
    std::string Name = Entry->d_name;
    if (Name == "." || Name == "..") continue;
    (KindOf(Folder + "/" + Name) == TKind::Folder ? Folders : Files).push_back(Name);
    errno = 0;
  }
  int Error = errno;
  closedir(Listing);
  errno = Error;
  if (Error != 0) return Failed(Reason);
  std::sort(Files.begin(), Files.end());
  std::sort(Folders.begin(), Folders.end());
  return true;
}

bool ReadAll(const std::string& Name, std::string& Bytes, std::string& Reason) {
  int File = open(Name.c_str(), O_RDONLY | O_CLOEXEC);
  if (File < 0) return Failed(Reason);
  Bytes.clear();
  char Buffer[1 << 16];
  ssize_t Got;
  while ((Got = read(File, Buffer, sizeof Buffer)) != 0) {
    if (Got < 0 && errno == EINTR) continue;
    if (Got < 0) break;
    Bytes.append(Buffer, static_cast<size_t>(Got));
  }
  int Error = errno;
  close(File);
  errno = Error;
  return Got == 0 || Failed(Reason);
}

std::string FullName(const std::string& Name) {
  char* Full = realpath(Name.c_str(), nullptr);
  if (!Full) return Name;
  std::string Result = Full;
  std::free(Full);
  return Result;
}

bool MakeFolders(const std::string& Name, std::string& Reason) {
  if (KindOf(Name) == TKind::Folder) return true;
  size_t Slash = Name.find_last_of('/');
  if (Slash != std::string::npos && Slash > 0 && !MakeFolders(Name.substr(0, Slash), Reason)) return false;
  return mkdir(Name.c_str(), 0777) == 0 || errno == EEXIST || Failed(Reason);
}

void OnInterrupt(void (*Handler)()) {
  InterruptHandler = Handler;
  struct sigaction Action {};
  Action.sa_handler = Interrupted;
  Action.sa_flags = SA_RESTART;
  sigemptyset(&Action.sa_mask);
  sigaction(SIGINT, &Action, nullptr);
}

}  // namespace CopySystem
