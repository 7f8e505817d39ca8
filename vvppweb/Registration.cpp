// DllRegisterServer and DllUnregisterServer: the class id's keys under HKEY_CLASSES_ROOT, with
// InprocServer32 naming this file, and the ProgID that leads to it. Unregistering removes
// exactly these keys and values and leaves anything else another program put there.
#include <windows.h>
#include <olectl.h>

#include <string>

#include "vvppweb/Contract.h"
#include "vvppweb/Module.h"

namespace {

const std::string ClassKey = std::string("CLSID\\") + VvPPWebClsidText;
const char* const ControlName = "VvPPWeb Control";

LONG SetValue(const std::string& Key, const char* Name, const std::string& Value) {
  HKEY Handle = nullptr;
  LONG Result = RegCreateKeyExA(HKEY_CLASSES_ROOT, Key.c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                                nullptr, &Handle, nullptr);
  if (Result != ERROR_SUCCESS) return Result;
  Result = RegSetValueExA(Handle, Name, 0, REG_SZ, reinterpret_cast<const BYTE*>(Value.c_str()),
                          static_cast<DWORD>(Value.size() + 1));
  RegCloseKey(Handle);
  return Result;
}

// Deletes Key when nothing is left in it but what we wrote (its default value).
void DeleteKeyIfOurs(const std::string& Key, const char* OurValue = nullptr) {
  HKEY Handle = nullptr;
  if (RegOpenKeyExA(HKEY_CLASSES_ROOT, Key.c_str(), 0, KEY_READ | KEY_SET_VALUE, &Handle) != ERROR_SUCCESS)
    return;
  if (OurValue) RegDeleteValueA(Handle, OurValue);
  DWORD SubKeys = 0, Values = 0;
  RegQueryInfoKeyA(Handle, nullptr, nullptr, nullptr, &SubKeys, nullptr, nullptr, &Values,
                   nullptr, nullptr, nullptr, nullptr);
  bool HasDefault = RegQueryValueExA(Handle, "", nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
  bool OnlyDefault = Values == 0 || (Values == 1 && HasDefault);
  RegCloseKey(Handle);
  if (SubKeys == 0 && OnlyDefault) RegDeleteKeyA(HKEY_CLASSES_ROOT, Key.c_str());
}

std::string ReadDefault(const std::string& Key) {
  char Value[256];
  LONG Size = sizeof Value;
  if (RegQueryValueA(HKEY_CLASSES_ROOT, Key.c_str(), Value, &Size) != ERROR_SUCCESS) return {};
  return std::string(Value);
}

}  // namespace

STDAPI DllRegisterServer() {
  char Path[MAX_PATH];
  DWORD Length = GetModuleFileNameA(ModuleInstance, Path, MAX_PATH);
  if (Length == 0 || Length >= MAX_PATH) return SELFREG_E_CLASS;
  const std::string ProgIdKey = VvPPWebProgId;
  LONG Failed = ERROR_SUCCESS;
  for (LONG Result : {SetValue(ClassKey, "", ControlName),
                      SetValue(ClassKey + "\\InprocServer32", "", Path),
                      SetValue(ClassKey + "\\InprocServer32", "ThreadingModel", "Apartment"),
                      SetValue(ClassKey + "\\Control", "", ""),
                      SetValue(ClassKey + "\\ProgID", "", ProgIdKey),
                      SetValue(ProgIdKey, "", ControlName),
                      SetValue(ProgIdKey + "\\CLSID", "", VvPPWebClsidText)})
    if (Result != ERROR_SUCCESS && Failed == ERROR_SUCCESS) Failed = Result;
  return Failed == ERROR_SUCCESS ? S_OK : SELFREG_E_CLASS;
}

STDAPI DllUnregisterServer() {
  const std::string ProgIdKey = VvPPWebProgId;
  // The ProgID goes only while it still leads to our class id.
  if (ReadDefault(ProgIdKey + "\\CLSID") == VvPPWebClsidText) {
    DeleteKeyIfOurs(ProgIdKey + "\\CLSID");
    DeleteKeyIfOurs(ProgIdKey);
  }
  DeleteKeyIfOurs(ClassKey + "\\InprocServer32", "ThreadingModel");
  DeleteKeyIfOurs(ClassKey + "\\Control");
  DeleteKeyIfOurs(ClassKey + "\\ProgID");
  DeleteKeyIfOurs(ClassKey);
  return S_OK;
}
