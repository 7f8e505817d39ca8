// A copy written into a file of its own and put in place once whole.
#include "vvppweb/CopyFile.h"

#include "vvppweb/CopySystem.h"

namespace {

// Names tried for the copy while it is written, before giving up.
constexpr int PartNames = 1000;

// The copy while it is written; the file goes unless it was put in place.
class TPartFile final : public TCopyOutput {
public:
  TPartFile() = default;
  ~TPartFile() override {
    if (File != CopySystem::NoFile) CopySystem::Close(File);
    if (!Path.empty()) CopySystem::Remove(Path);
  }
  TPartFile(const TPartFile&) = delete;
  TPartFile& operator=(const TPartFile&) = delete;

  // Creates it beside Target: TARGET.1.part, else the next number free.
  bool Create(const std::string& Target) {
    for (int Number = 1; Number <= PartNames; ++Number) {
      std::string Name = Target + "." + std::to_string(Number) + ".part";
      switch (CopySystem::CreateNew(Name, File, Failure)) {
        case CopySystem::TCreated::Made: Path = Name; return true;
        case CopySystem::TCreated::Failed: return false;
        case CopySystem::TCreated::Taken: break;
      }
    }
    Failure = CopySystem::LastFailure();
    return false;
  }

  bool Write(const uint8_t* Data, size_t Size) override { return CopySystem::Write(File, Data, Size, Failure); }
  bool Seek(uint64_t Position) override { return CopySystem::Seek(File, Position, Failure); }

  // Puts the whole copy in Target's place: on the disk before it replaces the old file, so a crash
  // just after the rename cannot leave an empty file where the user's was.
  TCopyResult PutInPlace(const std::string& Target, bool Replace) {
    CopySystem::TFile Written = File;
    File = CopySystem::NoFile;
    bool Taken = false;
    if (!CopySystem::FlushAndClose(Written, Failure) || !CopySystem::Rename(Path, Target, Replace, Taken, Failure))
      return {Taken ? TCopyResult::Taken : TCopyResult::Failed, Taken ? "" : Failure};
    Path.clear();
    return {TCopyResult::Written, ""};
  }

private:
  CopySystem::TFile File = CopySystem::NoFile;
  std::string Path;  // of the file we made, until it is put in place
};

}  // namespace

TCopyResult WriteCopyFile(const std::string& Target, bool Replace, const TCopyWriter& Write) {
  if (!Replace && CopySystem::KindOf(Target) != CopySystem::TKind::None) return {TCopyResult::Taken, ""};
  TPartFile Part;
  if (!Part.Create(Target)) return {TCopyResult::Failed, Part.Failure};
  TCopyResult Result = Write(Part);
  return Result.Outcome == TCopyResult::Written ? Part.PutInPlace(Target, Replace) : Result;
}
