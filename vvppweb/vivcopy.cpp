// vivcopy: copies of Vivo clips as the control's Save As writes them, for a whole collection at
// once (CopyBatch.h):
//   vivcopy [--to webm|mp4|mkv|viv] [--out FOLDER] [--force] [--recursive] CLIP|FOLDER|COMMANDFILE ...
// Exit code 0 when every clip was copied, 1 otherwise, 2 for a command line it does not take or
// when it cannot copy at all (for Windows, without the VVPPWEB.OCX beside it).
#include <atomic>
#include <cstdio>
#include <string>
#include <vector>

#include "vvppweb/CopyBatch.h"
#include "vvppweb/CopySystem.h"

namespace {

std::atomic<int> Interrupts{0};
static_assert(std::atomic<int>::is_always_lock_free, "counted from a signal handler");

void Interrupted() { Interrupts.fetch_add(1); }

}  // namespace

int main(int argc, char** argv) {
  TBatchOptions Options;
  std::string Error;
  if (!ParseBatchArguments(std::vector<std::string>(argv + 1, argv + argc), Options, Error)) {
    std::fprintf(stderr, "vivcopy: %s\n%s\n", Error.c_str(), BatchUsage);
    return 2;
  }
  TClipCopier Copier;
  if (!FindClipCopier(Copier, Error)) {
    std::fprintf(stderr, "vivcopy: %s\n", Error.c_str());
    return 2;
  }
  CopySystem::OnInterrupt(Interrupted);
  TBatchSummary Summary = RunBatch(Options, Copier, stdout, Interrupts);
  return Summary.Skipped == 0 && Summary.Failed == 0 && Summary.NotTried == 0 ? 0 : 1;
}
