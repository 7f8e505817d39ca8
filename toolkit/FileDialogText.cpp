// The texts the file dialogs exchange with the system.
#include "toolkit/FileDialogText.h"

std::string FilterToSystem(const std::string& Filter) {
  if (Filter.empty()) return {};
  std::string Result;
  int Parts = 1;
  for (char C : Filter) {
    if (C == '|') {
      Result += '\0';
      ++Parts;
    } else {
      Result += C;
    }
  }
  if (Parts % 2) Result += '\0';  // a description without its pattern
  Result += '\0';
  Result += '\0';
  return Result;
}

std::string JoinPath(const std::string& Folder, const std::string& Name) {
  bool Absolute = (!Name.empty() && (Name[0] == '\\' || Name[0] == '/')) ||
                  (Name.size() > 1 && Name[1] == ':');
  if (Folder.empty() || Absolute) return Name;
  char Last = Folder.back();
  return Last == '\\' || Last == '/' ? Folder + Name : Folder + "\\" + Name;
}

std::vector<std::string> SplitSelection(const std::string& Buffer) {
  std::vector<std::string> Parts;
  size_t Start = 0;
  while (Start < Buffer.size()) {
    size_t End = Buffer.find('\0', Start);
    if (End == std::string::npos) End = Buffer.size();
    if (End == Start) break;
    Parts.push_back(Buffer.substr(Start, End - Start));
    Start = End + 1;
  }
  if (Parts.size() <= 1) return Parts;
  std::vector<std::string> Files;
  for (size_t I = 1; I < Parts.size(); ++I) Files.push_back(JoinPath(Parts[0], Parts[I]));
  return Files;
}
