// vivcopy: saves a copy of a Vivo clip as the control's Save As does, for the benchmarks and for
// checking copies with other players.
//   vivcopy CLIP.viv COPY.mkv|COPY.mp4|COPY.viv
// The type follows the copy's extension. The copy is written beside it as COPY.part and renamed
// once whole; on failure nothing is left and the reason goes to stderr.
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "vvppweb/ClipExport.h"

namespace {

class TFileOutput final : public TCopyOutput {
public:
  explicit TFileOutput(std::FILE* File) : File(File) {}
  bool Write(const uint8_t* Data, size_t Size) override {
    return std::fwrite(Data, 1, Size, File) == Size || Fail();
  }
  bool Seek(uint64_t Position) override {
    return std::fseek(File, static_cast<long>(Position), SEEK_SET) == 0 || Fail();
  }

private:
  bool Fail() {
    Failure = "the file could not be written";
    return false;
  }
  std::FILE* File;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: vivcopy CLIP.viv COPY.mkv|COPY.mp4|COPY.viv\n");
    return 2;
  }
  std::ifstream In(argv[1], std::ios::binary);
  std::ostringstream Read;
  Read << In.rdbuf();
  auto Bytes = std::make_shared<const std::string>(Read.str());
  TClipInfo Info;
  if (!In || ParseVivoFile(*Bytes, Info) != 0) {
    std::fprintf(stderr, "vivcopy: %s is no Vivo clip\n", argv[1]);
    return 1;
  }
  const std::string Target = argv[2], Part = Target + ".part";
  std::FILE* File = std::fopen(Part.c_str(), "wb");
  if (!File) {
    std::fprintf(stderr, "vivcopy: cannot write %s\n", Part.c_str());
    return 1;
  }
  TFileOutput Output(File);
  TCopyResult Result = CopyClip(Bytes, Info, CopyFormatOf(Target, 0), Output, nullptr);
  if (std::fclose(File) != 0 && Result.Outcome == TCopyResult::Written)
    Result = {TCopyResult::Failed, "the file could not be written"};
  if (Result.Outcome == TCopyResult::Written && std::rename(Part.c_str(), Target.c_str()) != 0)
    Result = {TCopyResult::Failed, "the copy could not be put in place"};
  if (Result.Outcome != TCopyResult::Written) {
    std::remove(Part.c_str());
    std::fprintf(stderr, "vivcopy: %s could not be saved: %s\n", Target.c_str(), Result.Reason.c_str());
    return 1;
  }
  return 0;
}
