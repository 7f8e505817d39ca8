// The first start of a copy unpacked anywhere, by a user who may not write the machine's
// classes: the video control is registered for that user and the player window gets it.
#include <doctest.h>
#include <windows.h>
#include <ole2.h>

#include <string>

#include "app/Startup.h"
#include "control/VVPPWEBLib_TLB.h"
#include "player/Main.h"
#include "tests/win/ControlTestHost.h"
#include "tests/win/ToolkitTestSupport.h"
#include "toolkit/Errors.h"
#include "toolkit/FileNames.h"
#include "toolkit/ScriptedDialogs.h"
#include "toolkit/SysUtils.h"

namespace {

// Wine's COM reads only the machine's classes; on Windows the user's come first. A link from the
// class id's key in the machine's classes to the user's stands in for that, for this class only.
class TUserClassSeenByCom {
public:
  TUserClassSeenByCom() {
    using TNtQueryKey = LONG(WINAPI*)(HANDLE, int, void*, ULONG, ULONG*);
    auto NtQueryKey = reinterpret_cast<TNtQueryKey>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryKey")));
    REQUIRE_MESSAGE(static_cast<bool>(NtQueryKey), "ntdll has no NtQueryKey");
    // HKEY_CURRENT_USER by its name in the registry's own namespace, which a link names.
    HKEY User = nullptr;
    REQUIRE(RegOpenCurrentUser(KEY_READ, &User) == ERROR_SUCCESS);
    alignas(ULONG) BYTE Name[1024];
    ULONG Length = 0;
    const int KeyNameInformation = 3;
    LONG Status = NtQueryKey(User, KeyNameInformation, Name, sizeof Name, &Length);
    RegCloseKey(User);
    REQUIRE(Status == 0);
    std::wstring Target(reinterpret_cast<const wchar_t*>(Name + sizeof(ULONG)),
                        *reinterpret_cast<const ULONG*>(Name) / sizeof(wchar_t));
    Target += AnsiToWide("\\" + UserClassesKey + "\\" + ClassKey());
    std::wstring Key = AnsiToWide("Software\\Classes\\" + ClassKey());
    REQUIRE(RegCreateKeyExW(HKEY_LOCAL_MACHINE, Key.c_str(), 0, nullptr,
                            REG_OPTION_CREATE_LINK | REG_OPTION_VOLATILE,
                            KEY_ALL_ACCESS | KEY_CREATE_LINK, nullptr, &Link, nullptr) == ERROR_SUCCESS);
    REQUIRE(RegSetValueExW(Link, L"SymbolicLinkValue", 0, REG_LINK,
                           reinterpret_cast<const BYTE*>(Target.data()),
                           static_cast<DWORD>(Target.size() * sizeof(wchar_t))) == ERROR_SUCCESS);
  }
  ~TUserClassSeenByCom() {
    // The link itself goes, not the key it leads to.
    RegDeleteKeyA(Link, "");
    RegCloseKey(Link);
  }

private:
  HKEY Link = nullptr;
};

std::string UserValue(const std::string& Key, const char* Name) {
  char Data[MAX_PATH] = "";
  DWORD Size = sizeof Data;
  std::string Path = UserClassesKey + "\\" + Key;
  if (RegGetValueA(HKEY_CURRENT_USER, Path.c_str(), Name, RRF_RT_REG_SZ, nullptr, Data, &Size) !=
      ERROR_SUCCESS)
    return "(none)";
  return Data;
}

bool MachineKeyExists(const std::string& Key) {
  HKEY Handle = nullptr;
  std::string Path = "Software\\Classes\\" + Key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, Path.c_str(), 0, KEY_READ, &Handle) != ERROR_SUCCESS)
    return false;
  RegCloseKey(Handle);
  return true;
}

}  // namespace

TEST_CASE("the machine's classes refused: the first start registers the control for the user and creates it") {
  CoInitialize(nullptr);
  {
    TRegistrationGuard Guard;
    TRegistrationGuard::RemoveAll();
    TUserClassSeenByCom SeenByCom;
    TScriptedDialogs Dialogs;
    const std::string Ocx = ExtractFileDir(ProgramFileName()) + "\\VVPPWEB.OCX";
    REQUIRE(GetFileAttributesA(Ocx.c_str()) != INVALID_FILE_ATTRIBUTES);
    {
      TRefusedRoot Refused(HKEY_LOCAL_MACHINE);
      TFreshApplication App;
      CreateMainForm();
      REQUIRE(MainForm != nullptr);
      REQUIRE(MainForm->vivo != nullptr);
      CHECK(MainForm->vivo->Autostart() == "TRUE");
      CHECK(Dialogs.Shown.empty());
      CHECK(UserValue(ClassKey() + "\\InprocServer32", "") == Ocx);
      CHECK(UserValue(ClassKey() + "\\InprocServer32", "ThreadingModel") == "Apartment");
      CHECK(UserValue("VVPPWEB.VvPPWebCtrl.1\\CLSID", "") == ClassIdText());
    }
    // Read once the machine's root is itself again.
    CHECK_FALSE(MachineKeyExists("VVPPWEB.VvPPWebCtrl.1"));
    CoFreeUnusedLibraries();

    // Refused in the user's classes too: the second try fails, and start-up's report says why.
    TRegistrationGuard::RemoveAll();
    {
      TRefusedRoot RefusedMachine(HKEY_LOCAL_MACHINE);
      TRefusedRoot RefusedUser(HKEY_CURRENT_USER);
      TFreshApplication App;
      HRESULT Failure = S_OK;
      try {
        CreateMainForm();
      } catch (const EOleSysError& Error) {
        Failure = static_cast<HRESULT>(Error.ErrorCode);
      }
      CHECK(Failure == REGDB_E_CLASSNOTREG);
      CHECK(MainForm == nullptr);
      CHECK(Dialogs.Shown.empty());
    }
    CHECK(UserValue(ClassKey() + "\\InprocServer32", "") == "(none)");
  }
  CoUninitialize();
}
