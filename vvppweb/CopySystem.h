// The few calls of the system that writing a copy into its own file needs, with the system's
// words for a failure: Win32 (CopySystemWin32.cpp) for the control and vivcopy.exe, POSIX
// (CopySystemPosix.cpp) for the native vivcopy. Everything above them is shared (CopyFile.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace CopySystem {

// An open file of ours; NoFile for none.
using TFile = intptr_t;
inline constexpr TFile NoFile = -1;

enum class TCreated { Made, Taken, Failed };

// Creates Name as a new file, for writing; Taken when a file or a folder already has the name,
// Failed (with Reason) when the folder takes no new file.
TCreated CreateNew(const std::string& Name, TFile& File, std::string& Reason);
bool Write(TFile File, const uint8_t* Data, size_t Size, std::string& Reason);
bool Seek(TFile File, uint64_t Position, std::string& Reason);
// Flushes the file to the disk and closes it; it is closed even when that fails.
bool FlushAndClose(TFile File, std::string& Reason);
void Close(TFile File);
// Renames From to To on the same volume, the move itself on the disk once it returns. Replace
// says whether a file To may be replaced; when it may not, Taken tells that it was there.
bool Rename(const std::string& From, const std::string& To, bool Replace, bool& Taken, std::string& Reason);
void Remove(const std::string& Name);

#ifdef _WIN32
inline constexpr char Separator = '\\';
#else
inline constexpr char Separator = '/';
#endif

enum class TKind { None, File, Folder };
TKind KindOf(const std::string& Name);
// The names of Folder's files and of its folders, each list sorted.
bool ListFolder(const std::string& Folder, std::vector<std::string>& Files, std::vector<std::string>& Folders,
                std::string& Reason);
bool ReadAll(const std::string& Name, std::string& Bytes, std::string& Reason);
// Name made absolute and plain (no "." or ".." steps; one letter case where the system has only
// one), so that two names of the same file compare equal; Name itself when that cannot be done.
std::string FullName(const std::string& Name);
// Makes the folder Name, and the folders above it that are missing.
bool MakeFolders(const std::string& Name, std::string& Reason);

// The system's words for why its last call on this thread failed, without a closing full stop.
std::string LastFailure();

// Handler is called each time the user presses Ctrl+C (or Break) in the console, and the process
// goes on. It runs at any moment (a signal handler, or a thread of the system's): it may only set
// lock-free atomics.
void OnInterrupt(void (*Handler)());

}  // namespace CopySystem
