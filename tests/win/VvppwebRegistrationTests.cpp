// Registration of the video control: unregistered it cannot be created, DllRegisterServer makes
// it creatable from the OCX's own path, DllUnregisterServer takes every trace away again. The
// machine's keys are its own, whatever the merged classes root shows; where the machine's classes
// refuse, the keys go to the user's, and unregistering takes them from where they are, only while
// they name this OCX.
#include <doctest.h>
#include <windows.h>
#include <ole2.h>
#include <olectl.h>

#include <string>
#include <utility>
#include <vector>

#include "tests/win/ControlTestHost.h"
#include "tests/win/ToolkitTestSupport.h"  // line lists shown whole in a failed check
#include "toolkit/Errors.h"

namespace {

const char* const ProgIdKey = "VVPPWEB.VvPPWebCtrl.1";

// A place the keys can go: its classes key, opened before any test stands another key in for a
// root, so a refused or redirected root hides nothing from the checks.
struct TPlace {
  const char* Name;
  HKEY Classes;
};

HKEY OpenClasses(HKEY Root, const std::string& Key) {
  HKEY Handle = nullptr;
  RegCreateKeyExA(Root, Key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &Handle, nullptr);
  return Handle;
}

const TPlace Machine{"the machine's classes", OpenClasses(HKEY_LOCAL_MACHINE, MachineClassesKey)};
const TPlace User{"the user's classes", OpenClasses(HKEY_CURRENT_USER, UserClassesKey)};
const TPlace Classes{"the classes root", HKEY_CLASSES_ROOT};

bool KeyExists(const std::string& Key, const TPlace& Place = Classes) {
  HKEY Handle = nullptr;
  if (RegOpenKeyExA(Place.Classes, Key.c_str(), 0, KEY_READ, &Handle) != ERROR_SUCCESS) return false;
  RegCloseKey(Handle);
  return true;
}

std::string Value(const std::string& Key, const char* Name, const TPlace& Place = Classes) {
  char Data[MAX_PATH] = "";
  DWORD Size = sizeof Data;
  if (RegGetValueA(Place.Classes, Key.c_str(), Name, RRF_RT_REG_SZ, nullptr, Data, &Size) != ERROR_SUCCESS)
    return "(none)";
  return Data;
}

void SetValue(const TPlace& Place, const std::string& Key, const char* Name, const std::string& Data) {
  HKEY Handle = nullptr;
  REQUIRE(RegCreateKeyExA(Place.Classes, Key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &Handle,
                          nullptr) == ERROR_SUCCESS);
  RegSetValueExA(Handle, Name, 0, REG_SZ, reinterpret_cast<const BYTE*>(Data.c_str()),
                 static_cast<DWORD>(Data.size() + 1));
  RegCloseKey(Handle);
}

// Every key and value the OCX writes, as "key|name=value" lines, read from Place.
std::vector<std::string> Registration(const TPlace& Place) {
  const std::string Progid = ProgIdKey;
  std::vector<std::string> Lines;
  for (auto [Key, Name] : {std::pair{ClassKey(), ""}, {ClassKey() + "\\InprocServer32", ""},
                           {ClassKey() + "\\InprocServer32", "ThreadingModel"},
                           {ClassKey() + "\\Control", ""}, {ClassKey() + "\\ProgID", ""},
                           {Progid, ""}, {Progid + "\\CLSID", ""}})
    if (KeyExists(Key, Place)) Lines.push_back(Key + "|" + Name + "=" + Value(Key, Name, Place));
  return Lines;
}

std::vector<std::string> OurRegistration(const std::string& Server) {
  const std::string Progid = ProgIdKey;
  return {ClassKey() + "|=VvPPWeb Control",
          ClassKey() + "\\InprocServer32|=" + Server,
          ClassKey() + "\\InprocServer32|ThreadingModel=Apartment",
          ClassKey() + "\\Control|=",
          ClassKey() + "\\ProgID|=" + Progid,
          Progid + "|=VvPPWeb Control",
          Progid + "\\CLSID|=" + ClassIdText()};
}

// Another copy's registration, or ours, written in Place as the OCX writes it.
void WriteRegistration(const TPlace& Place, const std::string& Server) {
  for (const std::string& Line : OurRegistration(Server)) {
    std::string Key = Line.substr(0, Line.find('|'));
    std::string Name = Line.substr(Key.size() + 1, Line.find('=') - Key.size() - 1);
    SetValue(Place, Key, Name.c_str(), Line.substr(Line.find('=') + 1));
  }
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
    TRegistrationGuard::RemoveAll();
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

TEST_CASE("a classes root showing the user's older copy: the machine's own keys go in and out") {
  CoInitialize(nullptr);
  {
    TRegistrationGuard Guard;
    TRegistrationGuard::RemoveAll();
    const std::string Older = "C:\\Users\\Someone\\Older\\VVPPWEB.OCX";
    WriteRegistration(User, Older);
    // HKEY_CLASSES_ROOT as Windows merges it where the user has keys of their own: the user's
    // copy shows, and writes land in it.
    TRootStandIn MergedView(HKEY_CLASSES_ROOT, OpenClasses(HKEY_CURRENT_USER, UserClassesKey));

    REQUIRE(TRegistrationGuard::Register() == S_OK);
    CHECK(Registration(Machine) == OurRegistration(OcxPath()));
    CHECK(Registration(User) == OurRegistration(Older));

    // The machine's keys go while they name this OCX, whatever copy the user's classes name.
    WriteRegistration(Machine, OcxPath());
    WriteRegistration(User, Older);
    REQUIRE(TRegistrationGuard::Unregister() == S_OK);
    CHECK(Registration(Machine).empty());
    CHECK(Registration(User) == OurRegistration(Older));
  }
  CoUninitialize();
}

TEST_CASE("the machine's classes refused: registered for the user, and unregistered only where it names this OCX") {
  CoInitialize(nullptr);
  {
    TRegistrationGuard Guard;
    TRegistrationGuard::RemoveAll();
    {
      TRefusedRoot Refused(HKEY_LOCAL_MACHINE);
      REQUIRE(TRegistrationGuard::Register() == S_OK);
      CHECK(Registration(User) == OurRegistration(OcxPath()));
      CHECK(Registration(Machine).empty());

      REQUIRE(TRegistrationGuard::Unregister() == S_OK);
      CHECK(Registration(User).empty());
      CHECK_FALSE(KeyExists(ClassKey(), User));
      CHECK_FALSE(KeyExists(ProgIdKey, User));
    }

    // Another copy's registration stays where it is, in either place; ours goes from the other.
    const std::string Other = "C:\\Elsewhere\\VVPPWEB.OCX";
    for (const TPlace* Theirs : {&Machine, &User}) {
      CAPTURE(Theirs->Name);
      const TPlace& Ours = Theirs == &Machine ? User : Machine;
      WriteRegistration(*Theirs, Other);
      WriteRegistration(Ours, Other);
      SetValue(Ours, ClassKey() + "\\InprocServer32", "", OcxPath());
      REQUIRE(TRegistrationGuard::Unregister() == S_OK);
      CHECK(Registration(*Theirs) == OurRegistration(Other));
      CHECK(Registration(Ours).empty());
      TRegistrationGuard::RemoveAll();
    }

    // Refused in both places, registering says so and leaves nothing.
    {
      TRefusedRoot RefusedMachine(HKEY_LOCAL_MACHINE);
      TRefusedRoot RefusedUser(HKEY_CURRENT_USER);
      CHECK(TRegistrationGuard::Register() == SELFREG_E_CLASS);
    }
    CHECK(Registration(Machine).empty());
    CHECK(Registration(User).empty());
    CheckNotCreatable();
  }
  CoUninitialize();
}

TEST_CASE("the ProgID both widths share stays while the control of the other width is registered by it") {
  // The other view of the machine's classes: 32-bit programs' for this 64-bit test, 64-bit
  // programs' for a 32-bit one on 64-bit Windows. A 32-bit Windows has none.
  REGSAM Other = KEY_WOW64_32KEY;
  if (sizeof(void*) == 4) {
    BOOL Wow64 = FALSE;
    IsWow64Process(GetCurrentProcess(), &Wow64);
    if (!Wow64) return;
    Other = KEY_WOW64_64KEY;
  }
  const std::string OtherServer = "C:\\Program Files (x86)\\Quillo\\VVPPWEB.OCX";
  const std::string ServerKey = MachineClassesKey + "\\" + ClassKey() + "\\InprocServer32";
  auto OtherView = [&](const std::string& Key) {
    HKEY Handle = nullptr;
    RegCreateKeyExA(HKEY_LOCAL_MACHINE, Key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | Other, nullptr, &Handle, nullptr);
    return Handle;
  };
  CoInitialize(nullptr);
  {
    TRegistrationGuard Guard;
    TRegistrationGuard::RemoveAll();
    HKEY Server = OtherView(ServerKey);
    REQUIRE(Server);
    RegSetValueExA(Server, "", 0, REG_SZ, reinterpret_cast<const BYTE*>(OtherServer.c_str()),
                   static_cast<DWORD>(OtherServer.size() + 1));
    RegCloseKey(Server);
    // Ours in this view, with the ProgID both share; then ours taken away again.
    REQUIRE(TRegistrationGuard::Register() == S_OK);
    REQUIRE(TRegistrationGuard::Unregister() == S_OK);
    CHECK_FALSE(KeyExists(ClassKey() + "\\InprocServer32", Machine));
    CHECK(Value(std::string(ProgIdKey) + "\\CLSID", "", Machine) == ClassIdText());
    // With the other width's gone too, the next unregistering takes the ProgID as well.
    RegDeleteKeyExA(HKEY_LOCAL_MACHINE, ServerKey.c_str(), Other, 0);
    RegDeleteKeyExA(HKEY_LOCAL_MACHINE, (MachineClassesKey + "\\" + ClassKey()).c_str(), Other, 0);
    REQUIRE(TRegistrationGuard::Register() == S_OK);
    REQUIRE(TRegistrationGuard::Unregister() == S_OK);
    CHECK_FALSE(KeyExists(ProgIdKey, Machine));
  }
  CoUninitialize();
}
