// vivcopy's work: copies of every clip a command line names (clips, the .viv files of folders,
// the entries of Vivo command files), each written as Save As writes it (ClipCopier.h), one line
// for each, and a summary at the end.
#pragma once

#include <atomic>
#include <cstdio>
#include <string>
#include <vector>

#include "vvppweb/ClipCopier.h"

struct TBatchOptions {
  TCopyFormat Format = TCopyFormat::WebM;
  std::string OutFolder;  // empty: each copy beside its clip
  bool Force = false;     // replace files of the copies' names
  bool Recursive = false; // a folder's sub-folders too
  std::vector<std::string> Names;
};

inline constexpr char BatchUsage[] =
    "usage: vivcopy [--to webm|mp4|mkv|viv] [--out FOLDER] [--force] [--recursive] CLIP|FOLDER|COMMANDFILE ...";

// Reads vivcopy's arguments; false, with what is wrong in Error, for a command line it does not take.
bool ParseBatchArguments(const std::vector<std::string>& Arguments, TBatchOptions& Options, std::string& Error);

struct TBatchSummary {
  size_t Copied = 0, Skipped = 0, Failed = 0;
  // Clips not tried because the user stopped the run.
  size_t NotTried = 0;
};

// Copies the clips Options names with Copier, writing a line to Out for each and the summary at
// the end.
// Interrupts counts the user's Ctrl+C: after the first the run stops once the clip being written
// is whole (its line says so); after a second that clip is given up too (and leaves no
// file).
TBatchSummary RunBatch(const TBatchOptions& Options, const TClipCopier& Copier, std::FILE* Out,
                       const std::atomic<int>& Interrupts);
