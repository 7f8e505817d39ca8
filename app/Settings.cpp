// Reading and writing the settings file through the private-profile functions.
#include "app/Settings.h"

#include <windows.h>
#include <shlobj.h>

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

// The keys in file order; Size is left out when no size item is checked.
std::vector<TSetting> CurrentSettings(TMainForm& Form) {
  std::vector<TSetting> Settings;
  TMenuItem* Sizes[] = {Form.HalfSize1,  Form.OriginalSize1, Form.DoubleSize1,
                        Form.TripleSize1, Form.FullScreen1,  Form.ScaledFullScreen1};
  for (int Code = 0; Code < 6; ++Code)
    if (Sizes[Code]->Checked) {
      Settings.push_back({"View", "Size", std::to_string(Code)});
      break;
    }
  int Mode = Form.DirectXMode1->Checked         ? 1
             : Form.PresentationMode1->Checked ? 2
             : Form.CompactMode1->Checked      ? 3
                                               : 0;
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
  void (TMainForm::*const Sizes[])(TObject*) = {
      &TMainForm::HalfSize1Click,  &TMainForm::OriginalSize1Click, &TMainForm::DoubleSize1Click,
      &TMainForm::TripleSize1Click, &TMainForm::FullScreen1Click,  &TMainForm::ScaledFullScreen1Click};
  (Form.*Sizes[Stored.Size])(nullptr);
  if (Stored.Mode == 1) Form.DirectXMode1Click(nullptr);
  if (Stored.Mode == 2) Form.PresentationMode1Click(nullptr);
  if (Stored.Mode == 3) Form.CompactMode1Click(nullptr);
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
