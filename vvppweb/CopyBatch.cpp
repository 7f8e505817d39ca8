// vivcopy's run: the clips found first (so each line can say how far the run is), then copied one
// after the other.
#include "vvppweb/CopyBatch.h"

#include <set>

#include "vvppweb/ClipNames.h"
#include "vvppweb/CopySystem.h"
#include "vvppweb/VivoFile.h"

namespace {

#ifdef _WIN32
constexpr const char* Separators = "\\/";
#else
constexpr const char* Separators = "/";
#endif

std::string Lower(std::string Text) {
  for (char& C : Text)
    if (C >= 'A' && C <= 'Z') C = static_cast<char>(C - 'A' + 'a');
  return Text;
}

std::string Join(const std::string& Folder, const std::string& Name) {
  if (Folder.empty()) return Name;
  if (std::string(Separators).find(Folder.back()) != std::string::npos) return Folder + Name;
  return Folder + CopySystem::Separator + Name;
}

// The folder part of Name, with its last separator; empty for a name in the current folder.
std::string FolderOf(const std::string& Name) {
  size_t Slash = Name.find_last_of(Separators);
  return Slash == std::string::npos ? "" : Name.substr(0, Slash + 1);
}

std::string StemOf(const std::string& Name) {
  std::string File = Name.substr(FolderOf(Name).size());
  size_t Dot = File.rfind('.');
  return Dot == std::string::npos || Dot == 0 ? File : File.substr(0, Dot);
}

const char* ExtensionOf(TCopyFormat Format) {
  for (const TCopyType& Type : CopyTypes)
    if (Type.Format == Format) return Type.Extension;
  return "";
}

// One clip of the run: where it is, where its copy goes, or why it cannot be copied at all.
struct TItem {
  std::string Clip;
  std::string Target;
  std::string Problem;
};

class TCollector {
public:
  explicit TCollector(const TBatchOptions& Options) : Options(Options) {}

  std::vector<TItem> Collect() {
    for (const std::string& Name : Options.Names) {
      if (CopySystem::KindOf(Name) == CopySystem::TKind::Folder) {
        if (AddFolder(Name, "") == 0) Items.push_back({Name, "", "there is no .viv file in it"});
      } else {
        AddNamed(Name, "", true);
      }
    }
    return std::move(Items);
  }

private:
  // The .viv files of Folder, and of its sub-folders when asked; Under is Folder's place below
  // the folder named, for the copies' folders below --out. How many there are (a folder that
  // cannot be listed counts as one, whose item says so).
  size_t AddFolder(const std::string& Folder, const std::string& Under) {
    std::vector<std::string> Files, Folders;
    std::string Reason;
    if (!CopySystem::ListFolder(Folder, Files, Folders, Reason)) {
      Items.push_back({Folder, "", "its files cannot be listed: " + Reason});
      return 1;
    }
    size_t Found = 0;
    for (const std::string& File : Files)
      if (File.size() > 4 && Lower(File.substr(File.size() - 4)) == ".viv") {
        AddNamed(Join(Folder, File), Under, true);
        ++Found;
      }
    if (Options.Recursive)
      for (const std::string& Sub : Folders) Found += AddFolder(Join(Folder, Sub), Join(Under, Sub));
    return Found;
  }

  // A clip, or a command file whose entries are clips (when Lists).
  void AddNamed(const std::string& Name, const std::string& Under, bool Lists) {
    // A clip named twice (in a folder and a command file, say) is copied once.
    if (!Seen.insert(CopySystem::FullName(Name)).second) return;
    TItem Item{Name, "", ""};
    if (IsWebUrl(Name) || HasOtherScheme(Name)) {
      Item.Problem = "an address on the web: vivcopy copies clips from files";
      Items.push_back(Item);
      return;
    }
    std::string Bytes, Reason;
    if (CopySystem::ReadAll(Name, Bytes, Reason) && IsCommandFile(Bytes)) {
      if (!Lists) {
        Item.Problem = "a command file inside a command file";
        Items.push_back(Item);
        return;
      }
      for (const std::string& Entry : CommandFileEntries(Bytes)) {
        std::string Resolved = ResolveEntry(Name, Entry);
        AddNamed(IsFileUrl(Resolved) ? FileUrlToPath(Resolved) : Resolved, "", false);
      }
      return;
    }
    // Whatever else it is, reading it again says what is wrong with it.
    std::string Folder = Options.OutFolder.empty() ? FolderOf(Name) : Join(Options.OutFolder, Under);
    Item.Target = Join(Folder, StemOf(Name) + "." + ExtensionOf(Options.Format));
    if (CopySystem::FullName(Item.Target) == CopySystem::FullName(Name))
      Item.Problem = "its copy would be the clip itself";
    Items.push_back(Item);
  }

  const TBatchOptions& Options;
  std::vector<TItem> Items;
  std::set<std::string> Seen;
};

// Copies one clip; the outcome, with the reason when it failed. A first Ctrl+C meanwhile is
// noted on the clip's line.
TCopyResult CopyOne(const TItem& Item, const TBatchOptions& Options, const TClipCopier& Copier,
                    const std::atomic<int>& Interrupts, std::FILE* Out) {
  if (!Item.Problem.empty()) return {TCopyResult::Failed, Item.Problem};
  // A copy beside its clip has its folder; one below --out may be the first there.
  std::string Folder = FolderOf(Item.Target), Reason;
  if (!Options.OutFolder.empty() && !CopySystem::MakeFolders(Folder.substr(0, Folder.size() - 1), Reason))
    return {TCopyResult::Failed, "its copy's folder cannot be made: " + Reason};
  bool Told = false;
  return Copier(Item.Clip, Item.Target, Options.Format, Options.Force, [&](double) {
    int Now = Interrupts.load();
    if (Now == 1 && !Told) {
      std::fprintf(Out, "(Ctrl+C: the last copy; Ctrl+C again gives it up) ");
      std::fflush(Out);
      Told = true;
    }
    return Now < 2;
  });
}

}  // namespace

bool ParseBatchArguments(const std::vector<std::string>& Arguments, TBatchOptions& Options, std::string& Error) {
  for (size_t I = 0; I < Arguments.size(); ++I) {
    const std::string& Argument = Arguments[I];
    bool Valued = Argument == "--to" || Argument == "--out";
    if (Valued && I + 1 == Arguments.size()) {
      Error = Argument + " wants a value";
      return false;
    }
    if (Argument == "--to") {
      const std::string& Type = Arguments[++I];
      bool Known = false;
      for (const TCopyType& Copy : CopyTypes)
        if (Type == Copy.Extension) Options.Format = Copy.Format, Known = true;
      if (!Known) {
        Error = "no copy of type " + Type + " (webm, mp4, mkv or viv)";
        return false;
      }
    } else if (Argument == "--out") {
      Options.OutFolder = Arguments[++I];
    } else if (Argument == "--force") {
      Options.Force = true;
    } else if (Argument == "--recursive") {
      Options.Recursive = true;
    } else if (Argument.size() > 1 && Argument[0] == '-' && Argument != "--") {
      Error = "no option " + Argument;
      return false;
    } else if (Argument != "--") {
      Options.Names.push_back(Argument);
    }
  }
  if (Options.Names.empty()) Error = "no clip named";
  return !Options.Names.empty();
}

TBatchSummary RunBatch(const TBatchOptions& Options, const TClipCopier& Copier, std::FILE* Out,
                       const std::atomic<int>& Interrupts) {
  const std::vector<TItem> Items = TCollector(Options).Collect();
  TBatchSummary Summary;
  std::vector<std::string> Failures;
  std::set<std::string> Targets;
  for (size_t I = 0; I < Items.size(); ++I) {
    if (Interrupts.load() > 0) {
      Summary.NotTried = Items.size() - I;
      break;
    }
    TItem Item = Items[I];
    if (Item.Problem.empty() && !Targets.insert(Item.Target).second)
      Item.Problem = "another clip of this run has its copy's name";
    std::fprintf(Out, "[%zu/%zu] %s%s%s: ", I + 1, Items.size(), Item.Clip.c_str(),
                 Item.Target.empty() ? "" : " -> ", Item.Target.c_str());
    std::fflush(Out);
    TCopyResult Result = CopyOne(Item, Options, Copier, Interrupts, Out);
    switch (Result.Outcome) {
      case TCopyResult::Written:
        ++Summary.Copied;
        std::fprintf(Out, "copied\n");
        break;
      case TCopyResult::Taken:
        ++Summary.Skipped;
        std::fprintf(Out, "skipped, a file of that name is there (--force replaces it)\n");
        break;
      case TCopyResult::Cancelled:
        ++Summary.NotTried;
        std::fprintf(Out, "stopped, nothing written\n");
        break;
      case TCopyResult::Failed:
        ++Summary.Failed;
        std::fprintf(Out, "failed, %s\n", Result.Reason.c_str());
        Failures.push_back(Item.Clip + ": " + Result.Reason);
        break;
    }
    std::fflush(Out);
    if (Result.Outcome == TCopyResult::Cancelled) {
      Summary.NotTried += Items.size() - I - 1;
      break;
    }
  }
  std::fprintf(Out, "%zu copied, %zu skipped, %zu failed", Summary.Copied, Summary.Skipped, Summary.Failed);
  if (Summary.NotTried) std::fprintf(Out, "; stopped by Ctrl+C, %zu not copied", Summary.NotTried);
  std::fprintf(Out, "\n");
  for (const std::string& Failure : Failures) std::fprintf(Out, "%s\n", Failure.c_str());
  std::fflush(Out);
  return Summary;
}
