// Reading and writing the settings file through the private-profile functions.
#include "app/Settings.h"

#include <windows.h>
#include <shlobj.h>

#include <span>
#include <vector>

#include "app/SettingsValues.h"
#include "player/Main.h"
#include "toolkit/Errors.h"
#include "toolkit/FileNames.h"

namespace {

const char* const SettingsName = "Quillo.ini";

bool FileExists(const std::string& Name) {
  DWORD Attributes = GetFileAttributesA(Name.c_str());
  return Attributes != INVALID_FILE_ATTRIBUTES && !(Attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Values come back as at most 1023 characters.
std::string ReadText(const std::string& File, const char* Section, const char* Key) {
  char Value[1024] = "";
  GetPrivateProfileStringA(Section, Key, "", Value, sizeof Value, File.c_str());
  return Value;
}

std::string CurrentDirectory() {
  // Asked for its length first: a folder deeper than MAX_PATH is stored whole.
  DWORD Needed = GetCurrentDirectoryA(0, nullptr);
  std::vector<char> Buffer(Needed + 1);
  DWORD Length = GetCurrentDirectoryA(static_cast<DWORD>(Buffer.size()), Buffer.data());
  return Length < Buffer.size() ? std::string(Buffer.data(), Length) : std::string();
}

struct TSetting {
  const char* Section;
  const char* Key;
  std::string Value;
};

// The place of the first checked entry among Items, -1 when none is.
int FirstChecked(TMainForm& Form, std::span<TMenuItem* TMainForm::*const> Items) {
  for (size_t Index = 0; Index < Items.size(); ++Index)
    if ((Form.*Items[Index])->Checked) return static_cast<int>(Index);
  return -1;
}

// The keys in file order; Size is left out when no size item is checked.
std::vector<TSetting> CurrentSettings(TMainForm& Form) {
  std::vector<TSetting> Settings;
  if (int Size = FirstChecked(Form, ViewSizes); Size >= 0)
    Settings.push_back({"View", "Size", std::to_string(Size)});
  // Mode 0 is none; the modes count from 1.
  const int Mode = FirstChecked(Form, ViewModes) + 1;
  auto Flag = [](TMenuItem* Item) { return std::string(Item->Checked ? "1" : "0"); };
  Settings.push_back({"View", "Mode", std::to_string(Mode)});
  Settings.push_back({"View", "AlwaysOnTop", Flag(Form.AlwaysOnTop1)});
  Settings.push_back({"Misc", "DisableScreenSaver", Flag(Form.DisableScreenSaver1)});
  Settings.push_back({"Misc", "SystemTray", Flag(Form.SystemTray1)});
  Settings.push_back({"Misc", "LastDir", CurrentDirectory()});
  return Settings;
}

// Writes the keys in order until the system refuses one; true when all are stored.
bool WriteSettings(const std::string& File, const std::vector<TSetting>& Settings) {
  for (const TSetting& Setting : Settings)
    if (!WritePrivateProfileStringA(Setting.Section, Setting.Key, Setting.Value.c_str(),
                                    File.c_str()))
      return false;
  return true;
}

}  // namespace

std::string WindowsSettingsFile() { return SettingsName; }

std::string UserSettingsFile() {
  char Folder[MAX_PATH] = "";
  if (SHGetFolderPathA(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, Folder) != S_OK ||
      !Folder[0])
    return "";
  return std::string(Folder) + "\\Quillo\\" + SettingsName;
}

void LoadSettings() {
  std::string User = UserSettingsFile();
  std::string File = !User.empty() && FileExists(User) ? User : WindowsSettingsFile();
  TStoredSettings Stored =
      DecodeSettings([&](const char* Section, const char* Key) { return ReadText(File, Section, Key); });
  TMainForm& Form = *MainForm;
  Form.RunCommand(ViewSizes[Stored.Size], nullptr);
  if (Stored.Mode > 0) Form.RunCommand(ViewModes[Stored.Mode - 1], nullptr);
  if (Stored.AlwaysOnTop) Form.AlwaysOnTop1Click(nullptr);
  if (Stored.DisableScreenSaver) Form.DisableScreenSaver1Click(nullptr);
  if (Stored.SystemTray) Form.SystemTray1Click(nullptr);
  // A folder that no longer exists leaves the current one where it is.
  if (!Stored.LastDir.empty()) SetCurrentDirectoryA(Stored.LastDir.c_str());
}

void SaveSettings() {
  std::vector<TSetting> Settings = CurrentSettings(*MainForm);
  std::string User = UserSettingsFile();
  // Once the settings have moved to the user's folder they stay there, so reading and writing
  // agree; otherwise the Windows folder is tried first.
  if (User.empty() || !FileExists(User)) {
    if (WriteSettings(WindowsSettingsFile(), Settings)) return;
  }
  if (!User.empty()) {
    CreateDirectoryA(ExtractFileDir(User).c_str(), nullptr);
    if (WriteSettings(User, Settings)) return;
  }
  throw Exception(std::string("Unable to write to ") + SettingsName);
}
