// vivcopy.exe's copier: the video control's VivoCopyClipFile, from the VVPPWEB.OCX beside the
// program (as the release puts them), loaded for the rest of the run.
#include <windows.h>

#include "vvppweb/ClipCopier.h"
#include "vvppweb/CopyExport.h"
#include "vvppweb/CopySystem.h"

namespace {

int WINAPI Going(void* Context, double Done) {
  const auto& Progress = *static_cast<const TCopyProgress*>(Context);
  return !Progress || Progress(Done);
}

}  // namespace

bool FindClipCopier(TClipCopier& Copier, std::string& Why) {
  char Program[MAX_PATH * 4] = "";
  DWORD Length = GetModuleFileNameA(nullptr, Program, sizeof Program);
  std::string Ocx(Program, Length);
  Ocx = Ocx.substr(0, Ocx.find_last_of("\\/") + 1) + "VVPPWEB.OCX";
  HMODULE Module = LoadLibraryExA(Ocx.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  if (!Module) {
    Why = "the video control " + Ocx + " cannot be loaded: " + CopySystem::LastFailure();
    return false;
  }
  auto Entry = reinterpret_cast<TCopyExport>(reinterpret_cast<void*>(GetProcAddress(Module, CopyExportName)));
  if (!Entry) {
    Why = "the video control " + Ocx + " copies no clips (it is of another version than vivcopy)";
    return false;
  }
  Copier = [Entry](const std::string& Clip, const std::string& Target, TCopyFormat Format, bool Replace,
                   const TCopyProgress& Progress) {
    char Reason[1024] = "";
    int Outcome = Entry(Clip.c_str(), Target.c_str(), static_cast<int>(Format), Replace, Going,
                        const_cast<TCopyProgress*>(&Progress), Reason, sizeof Reason);
    return TCopyResult{static_cast<TCopyResult::TOutcome>(Outcome), Reason};
  };
  return true;
}
