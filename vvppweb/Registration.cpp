// DllRegisterServer and DllUnregisterServer: the class id's keys, with InprocServer32 naming this
// file, and the ProgID that leads to it. They go under HKEY_LOCAL_MACHINE\Software\Classes, for
// every user; where that refuses (an unelevated process may not write the machine's classes),
// under HKEY_CURRENT_USER\Software\Classes, which COM reads first for that user. Each is named
// on its own: HKEY_CLASSES_ROOT merges the user's keys over the machine's, so through it a write
// lands in an older per-user registration and a read shows another copy's path. Unregistering
// takes the keys from each of the two places only while the class there names this file, and
// leaves anything else another program put there.
#include <windows.h>
#include <olectl.h>

#include <new>
#include <string>
#include <vector>

#include "vvppweb/Contract.h"
#include "vvppweb/Module.h"

namespace {

const std::string ClassKey = std::string("CLSID\\") + VvPPWebClsidText;
const std::string ServerKey = ClassKey + "\\InprocServer32";
const char* const ControlName = "VvPPWeb Control";

struct TRow {
  std::string Key;
  const char* Name;
  std::string Value;
};

std::vector<TRow> Rows(const std::string& Path) {
  const std::string ProgIdKey = VvPPWebProgId;
  return {{ClassKey, "", ControlName},
          {ServerKey, "", Path},
          {ServerKey, "ThreadingModel", "Apartment"},
          {ClassKey + "\\Control", "", ""},
          {ClassKey + "\\ProgID", "", ProgIdKey},
          {ProgIdKey, "", ControlName},
          {ProgIdKey + "\\CLSID", "", VvPPWebClsidText}};
}

// Writes the rows under Root in order; the first refusal ends it and is returned.
LONG WriteRows(HKEY Root, const std::vector<TRow>& Rows) {
  for (const TRow& Row : Rows) {
    HKEY Handle = nullptr;
    LONG Result = RegCreateKeyExA(Root, Row.Key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                                  &Handle, nullptr);
    if (Result != ERROR_SUCCESS) return Result;
    Result = RegSetValueExA(Handle, Row.Name, 0, REG_SZ,
                            reinterpret_cast<const BYTE*>(Row.Value.c_str()),
                            static_cast<DWORD>(Row.Value.size() + 1));
    RegCloseKey(Handle);
    if (Result != ERROR_SUCCESS) return Result;
  }
  return ERROR_SUCCESS;
}

std::string ThisFile() {
  char Path[MAX_PATH];
  DWORD Length = GetModuleFileNameA(ModuleInstance, Path, MAX_PATH);
  if (Length == 0 || Length >= MAX_PATH) return {};
  return std::string(Path, Length);
}

// The long form of an existing file's name, so a short or differently cased spelling compares
// equal; other names as they are.
std::string LongName(const std::string& Path) {
  char Long[MAX_PATH];
  DWORD Length = GetLongPathNameA(Path.c_str(), Long, MAX_PATH);
  return Length == 0 || Length >= MAX_PATH ? Path : std::string(Long, Length);
}

std::string ReadDefault(HKEY Root, const std::string& Key) {
  char Value[MAX_PATH + 1];
  DWORD Size = sizeof Value;
  if (RegGetValueA(Root, Key.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, Value, &Size) != ERROR_SUCCESS)
    return {};
  return Value;
}

bool NamesThisFile(HKEY Root, const std::string& Path) {
  std::string Server = ReadDefault(Root, ServerKey);
  return !Server.empty() && lstrcmpiA(LongName(Server).c_str(), LongName(Path).c_str()) == 0;
}

bool Refused(LONG Result) { return Result != ERROR_SUCCESS && Result != ERROR_FILE_NOT_FOUND; }

// Deletes Key when nothing is left in it but what we wrote (its default value), after taking
// OurValue out of it. Returns a refusal, if any.
LONG DeleteKeyIfOurs(HKEY Root, const std::string& Key, const char* OurValue = nullptr) {
  HKEY Handle = nullptr;
  LONG Result = RegOpenKeyExA(Root, Key.c_str(), 0, KEY_READ | KEY_SET_VALUE, &Handle);
  if (Result != ERROR_SUCCESS) return Refused(Result) ? Result : ERROR_SUCCESS;
  if (OurValue && Refused(Result = RegDeleteValueA(Handle, OurValue))) {
    RegCloseKey(Handle);
    return Result;
  }
  DWORD SubKeys = 0, Values = 0;
  RegQueryInfoKeyA(Handle, nullptr, nullptr, nullptr, &SubKeys, nullptr, nullptr, &Values,
                   nullptr, nullptr, nullptr, nullptr);
  bool HasDefault = RegQueryValueExA(Handle, "", nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
  bool OnlyDefault = Values == 0 || (Values == 1 && HasDefault);
  RegCloseKey(Handle);
  if (SubKeys != 0 || !OnlyDefault) return ERROR_SUCCESS;
  Result = RegDeleteKeyA(Root, Key.c_str());
  return Refused(Result) ? Result : ERROR_SUCCESS;
}

// The class id's server in the other view of Top's classes, which 32-bit and 64-bit programs see
// apart while they share the ProgID: the 32-bit one for a 64-bit module, the 64-bit one for a
// 32-bit module on 64-bit Windows. Empty where there is none, or no other view.
std::string OtherViewServer(HKEY Top) {
  REGSAM Other = KEY_WOW64_32KEY;
  if (sizeof(void*) == 4) {
    BOOL Wow64 = FALSE;
    if (!IsWow64Process(GetCurrentProcess(), &Wow64) || !Wow64) return {};
    Other = KEY_WOW64_64KEY;
  }
  // The view is chosen where the whole path is opened, in one call.
  HKEY Server = nullptr;
  if (RegOpenKeyExA(Top, ("Software\\Classes\\" + ServerKey).c_str(), 0, KEY_READ | Other, &Server) != ERROR_SUCCESS)
    return {};
  std::string Name = ReadDefault(Server, "");
  RegCloseKey(Server);
  return Name;
}

// Takes our keys from Root, the classes under Top, while its class names Path; returns the first
// refusal.
LONG RemoveFrom(HKEY Top, HKEY Root, const std::string& Path) {
  if (!NamesThisFile(Root, Path)) return ERROR_SUCCESS;
  const std::string ProgIdKey = VvPPWebProgId;
  std::vector<LONG> Results;
  // The ProgID goes only while it still leads to our class id, and no control of the other
  // width (the other Quillo's) is registered by it still.
  std::string Other = OtherViewServer(Top);
  bool OtherRegistered = !Other.empty() && lstrcmpiA(LongName(Other).c_str(), LongName(Path).c_str()) != 0;
  if (!OtherRegistered && ReadDefault(Root, ProgIdKey + "\\CLSID") == VvPPWebClsidText) {
    Results.push_back(DeleteKeyIfOurs(Root, ProgIdKey + "\\CLSID"));
    Results.push_back(DeleteKeyIfOurs(Root, ProgIdKey));
  }
  Results.push_back(DeleteKeyIfOurs(Root, ServerKey, "ThreadingModel"));
  Results.push_back(DeleteKeyIfOurs(Root, ClassKey + "\\Control"));
  Results.push_back(DeleteKeyIfOurs(Root, ClassKey + "\\ProgID"));
  Results.push_back(DeleteKeyIfOurs(Root, ClassKey));
  for (LONG Result : Results)
    if (Result != ERROR_SUCCESS) return Result;
  return ERROR_SUCCESS;
}

// Writes our keys in the classes under Root (HKEY_LOCAL_MACHINE or HKEY_CURRENT_USER); false
// where they are refused.
bool RegisterUnder(HKEY Root, const std::vector<TRow>& Ours) {
  HKEY Classes = nullptr;
  if (RegCreateKeyExA(Root, "Software\\Classes", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &Classes,
                      nullptr) != ERROR_SUCCESS)
    return false;
  LONG Result = WriteRows(Classes, Ours);
  RegCloseKey(Classes);
  return Result == ERROR_SUCCESS;
}

// Takes our keys from the classes under Root while they name Path. Classes that cannot even be
// read hold nothing we could see, let alone take away.
LONG UnregisterFrom(HKEY Root, const std::string& Path) {
  HKEY Classes = nullptr;
  if (RegOpenKeyExA(Root, "Software\\Classes", 0, KEY_READ, &Classes) != ERROR_SUCCESS) return ERROR_SUCCESS;
  LONG Result = RemoveFrom(Root, Classes, Path);
  RegCloseKey(Classes);
  return Result;
}

HRESULT Register() {
  std::string Path = ThisFile();
  if (Path.empty()) return SELFREG_E_CLASS;
  std::vector<TRow> Ours = Rows(Path);
  return RegisterUnder(HKEY_LOCAL_MACHINE, Ours) || RegisterUnder(HKEY_CURRENT_USER, Ours) ? S_OK
                                                                                            : SELFREG_E_CLASS;
}

HRESULT Unregister() {
  std::string Path = ThisFile();
  if (Path.empty()) return SELFREG_E_CLASS;
  LONG UserResult = UnregisterFrom(HKEY_CURRENT_USER, Path);
  LONG MachineResult = UnregisterFrom(HKEY_LOCAL_MACHINE, Path);
  return UserResult == ERROR_SUCCESS && MachineResult == ERROR_SUCCESS ? S_OK : SELFREG_E_CLASS;
}

// No exception crosses back into the caller, which knows only HRESULTs.
HRESULT HResultOf(HRESULT (*Step)()) {
  try {
    return Step();
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return SELFREG_E_CLASS;
  }
}

}  // namespace

STDAPI DllRegisterServer() { return HResultOf(Register); }

STDAPI DllUnregisterServer() { return HResultOf(Unregister); }
