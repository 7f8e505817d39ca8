// Fetching a clip's bytes on a worker thread: http:// and https:// through WinINet, file: URLs
// and plain paths from disk, then reading them as the engine wants them (its header, the pass
// over its packets, its first picture decoded). The GUI thread never waits for it: the worker posts Message to
// Notify with the job's Id when it is done, and the control gives up on a job that takes too long.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "vvppweb/Playback.h"

// More than any Vivo clip needs; a larger answer is refused rather than held in memory.
inline constexpr uint64_t MaxClipBytes = 64ull << 20;

struct TFetchJob {
  uint32_t Id = 0;
  std::string Url;
  DWORD TimeoutMs = 30000;
  HWND Notify = nullptr;
  UINT Message = 0;
  // Written by the worker before it posts; read by the GUI thread once Done is set. The worker
  // prepares what it fetched (PrepareFetched), so that loading a large clip never holds up the
  // GUI thread.
  std::atomic<bool> Done{false};
  TFetchedClip Result;
};

// Starts the worker; false when no thread could be started.
bool StartFetch(const std::shared_ptr<TFetchJob>& Job);
