// VivoCopyClipFile: CopyClipFile for vivcopy.exe, which finds it in the OCX beside it.
#include "vvppweb/CopyExport.h"

#include <type_traits>

#include "vvppweb/ClipCopier.h"

extern "C" int WINAPI VivoCopyClipFile(const char* Clip, const char* Target, int Format, int Replace,
                                       TCopyGoing Going, void* Context, char* Reason, int ReasonSize) {
  static_assert(std::is_same_v<decltype(&VivoCopyClipFile), TCopyExport>, "the export as vivcopy.exe calls it");
  TCopyResult Result;
  if (!Clip || !Target || Format < 0 || Format > static_cast<int>(TCopyFormat::WebM)) {
    Result = {TCopyResult::Failed, "this video control has no such copy"};
  } else {
    // Nothing may leave the module: CopyClipFile throws nothing, and memory for the strings
    // running out is a failure like another.
    try {
      Result = CopyClipFile(Clip, Target, static_cast<TCopyFormat>(Format), Replace != 0,
                            [&](double Done) { return !Going || Going(Context, Done) != 0; });
    } catch (...) {
      Result = {TCopyResult::Failed, "there is not enough memory"};
    }
  }
  if (Reason && ReasonSize > 0) lstrcpynA(Reason, Result.Reason.c_str(), ReasonSize);
  return Result.Outcome;
}
