// Registration of the video control: unregistered it cannot be created, DllRegisterServer makes
// it creatable from the OCX's own path, DllUnregisterServer takes every trace away again.
#include <doctest.h>
#include <windows.h>
#include <ole2.h>

#include "tests/win/ControlTestHost.h"
#include "toolkit/Errors.h"

namespace {

const char* const ProgIdKey = "VVPPWEB.VvPPWebCtrl.1";

bool KeyExists(const std::string& Key) {
  HKEY Handle = nullptr;
  if (RegOpenKeyExA(HKEY_CLASSES_ROOT, Key.c_str(), 0, KEY_READ, &Handle) != ERROR_SUCCESS) return false;
  RegCloseKey(Handle);
  return true;
}

std::string Value(const std::string& Key, const char* Name) {
  char Data[MAX_PATH] = "";
  DWORD Size = sizeof Data;
  if (RegGetValueA(HKEY_CLASSES_ROOT, Key.c_str(), Name, RRF_RT_REG_SZ, nullptr, Data, &Size) != ERROR_SUCCESS)
    return "(none)";
  return Data;
}

void CheckNotCreatable() {
  try {
    TVvPPWeb Vivo;
    FAIL("the control was created while unregistered");
  } catch (const EOleSysError& Error) {
    CHECK(static_cast<HRESULT>(Error.ErrorCode) == REGDB_E_CLASSNOTREG);
    CHECK_FALSE(Error.Message().empty());
  }
}

}  // namespace

TEST_CASE("unregistered, registered, unregistered again") {
  CoInitialize(nullptr);
  {
    TRegistrationGuard Guard;
    REQUIRE(TRegistrationGuard::Unregister() == S_OK);
    CHECK_FALSE(KeyExists(ClassKey()));
    CheckNotCreatable();

    REQUIRE(TRegistrationGuard::Register() == S_OK);
    CHECK(Value(ClassKey() + "\\InprocServer32", "") == OcxPath());
    CHECK(Value(ClassKey() + "\\InprocServer32", "ThreadingModel") == "Apartment");
    CHECK(KeyExists(ClassKey() + "\\Control"));
    CHECK(Value(std::string(ProgIdKey) + "\\CLSID", "") == "{372FA2D4-1FB7-11D1-9AC6-00A0247D8477}");
    {
      TVvPPWeb Vivo;
      CHECK(Vivo.Autostart() == "TRUE");
    }
    CoFreeUnusedLibraries();

    REQUIRE(TRegistrationGuard::Unregister() == S_OK);
    CHECK_FALSE(KeyExists(ClassKey()));
    CHECK_FALSE(KeyExists(ProgIdKey));
    CheckNotCreatable();
  }
  CoUninitialize();
}

TEST_CASE("unregistering keeps what others put under the class id") {
  CoInitialize(nullptr);
  {
    TRegistrationGuard Guard;
    REQUIRE(TRegistrationGuard::Register() == S_OK);
    HKEY Extra = nullptr;
    REQUIRE(RegCreateKeyExA(HKEY_CLASSES_ROOT, (ClassKey() + "\\Implemented Categories").c_str(), 0,
                            nullptr, 0, KEY_WRITE, nullptr, &Extra, nullptr) == ERROR_SUCCESS);
    RegCloseKey(Extra);
    REQUIRE(TRegistrationGuard::Unregister() == S_OK);
    CHECK(KeyExists(ClassKey() + "\\Implemented Categories"));
    CHECK_FALSE(KeyExists(ClassKey() + "\\InprocServer32"));
    CHECK_FALSE(KeyExists(ClassKey() + "\\ProgID"));
    CheckNotCreatable();
  }
  CoUninitialize();
}
