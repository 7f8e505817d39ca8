// One running player: the first instance owns a named block of shared memory and a hidden
// window; a later instance writes its command line into the block, posts the hidden window a
// message and ends, and the first instance plays what it names.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

// The hand-over block is 1028 bytes: the first instance's hidden window (32 bits) and the
// command line of the latest later instance, NUL-terminated, at most 1022 characters. The first
// instance clears the line's first byte once it has copied the line.
struct InstanceBlock {
  uint32_t Window;
  char CommandLine[1024];
};
static_assert(sizeof(InstanceBlock) == 1028, "the hand-over block's layout is shared by every version");

inline constexpr const char* InstanceBlockName = "Quillo";
inline constexpr UINT HandOverMessage = WM_USER + 10000;

// Runs before anything else of the program. True when this process is the first instance; false
// when it has handed its command line to the running one and is to end with exit code 0. Raises
// "OneInstance failed to ..., Error #N" when the block or the window cannot be made.
bool AcquireInstance();

// Gives up the window, its class, the view and the mapping, each only when held.
void ReleaseInstance();

// Until this is called, hand-overs are kept, in the order they came, without touching the player
// (a start-up message box handles messages before the playlist editor exists); then they are
// played in that order from the message loop, and later ones at once. Called by start-up once
// its windows exist and its own command line is open.
void AcceptHandOvers();

// What a later instance does to the running player's window: lets the player's process take
// the foreground (only the foreground process may give it away), then posts the hand-over.
// Tests put recorders in their place.
struct THandOverCalls {
  BOOL(WINAPI* AllowForeground)(DWORD ProcessId) = AllowSetForegroundWindow;
  BOOL(WINAPI* Post)(HWND Window, UINT Message, WPARAM W, LPARAM L) = PostMessageA;
};
extern THandOverCalls HandOverCalls;

// The arguments of CommandLine (token 0 is the later instance's path) become the playlist and
// are played; in every case the player comes to the front, restored if it was minimised.
void ProcessCommandLine(const std::string& CommandLine);
