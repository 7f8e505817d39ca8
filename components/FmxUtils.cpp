// Opening documents and web addresses through the shell.
#include "components/FmxUtils.h"

// After windows.h: shellapi.h needs its types.
#include <shellapi.h>

#include "toolkit/Forms.h"

namespace {
TShellExecuteA Execute = ShellExecuteA;
}  // namespace

void ShellOpen(const std::string& FileName, const std::string& Params,
               const std::string& DefaultDir, int ShowCmd) {
  HWND Owner = Application->MainForm() ? Application->MainForm()->Handle() : nullptr;
  Execute(Owner, nullptr, FileName.c_str(), Params.c_str(), DefaultDir.c_str(), ShowCmd);
}

TShellExecuteA SetShellExecute(TShellExecuteA Call) {
  TShellExecuteA Previous = Execute;
  Execute = Call ? Call : ShellExecuteA;
  return Previous;
}
