// A clip read from its file and copied as Save As copies it.
#include <new>

#include "vvppweb/ClipCopier.h"
#include "vvppweb/CopyFile.h"
#include "vvppweb/CopySystem.h"

namespace {

// What a header that ParseVivoFile refused is, in words.
std::string HeaderProblem(int32_t Code) {
  switch (Code) {
    case VivoTruncated: return "its header is cut short";
    case VivoBadHeader: return "its header holds an impossible value";
    default: return "not a Vivo clip";
  }
}

}  // namespace

TCopyResult CopyClipFile(const std::string& Clip, const std::string& Target, TCopyFormat Format, bool Replace,
                         const TCopyProgress& Progress) {
  try {
    std::string Read, Reason;
    if (!CopySystem::ReadAll(Clip, Read, Reason)) return {TCopyResult::Failed, "it cannot be read: " + Reason};
    auto Bytes = std::make_shared<const std::string>(std::move(Read));
    TClipInfo Info;
    if (int32_t Code = ParseVivoFile(*Bytes, Info)) return {TCopyResult::Failed, HeaderProblem(Code)};
    return WriteCopyFile(Target, Replace, [&](TCopyOutput& Output) {
      return CopyClip(Bytes, Info, Format, Output, Progress);
    });
  } catch (const std::bad_alloc&) {
    return {TCopyResult::Failed, "there is not enough memory"};
  }
}
