// Hosting the video control in tests.
#include "tests/win/ControlTestHost.h"

#include <ole2.h>

#include <mmsystem.h>

#include <fstream>
#include <sstream>
#include <stdexcept>
#include <utility>

#include "control/ComHolders.h"
#include "toolkit/SysUtils.h"
#include "vvppweb/MakeVivo.h"

namespace {
const char* const ProgIdKey = "VVPPWEB.VvPPWebCtrl.1";

HRESULT CallExport(const char* Name) {
  HMODULE Ocx = LoadLibraryA(OcxPath().c_str());
  if (!Ocx) return HRESULT_FROM_WIN32(GetLastError());
  auto Entry = reinterpret_cast<HRESULT(WINAPI*)()>(reinterpret_cast<void*>(GetProcAddress(Ocx, Name)));
  HRESULT Result = Entry ? Entry() : HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND);
  FreeLibrary(Ocx);
  return Result;
}

// A key made and deleted at once: every key made under it is refused.
HKEY DeletedKey() {
  const std::string Name = "Software\\QuilloRefusedRoot" + std::to_string(GetCurrentProcessId());
  HKEY Made = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, Name.c_str(), 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS,
                      nullptr, &Made, nullptr) != ERROR_SUCCESS)
    throw std::runtime_error("cannot make " + Name);
  RegDeleteKeyA(HKEY_CURRENT_USER, Name.c_str());
  return Made;
}
}  // namespace

std::string OcxPath() { return VVPPWEB_OCX; }

std::string ClassIdText() {
  wchar_t Text[40] = L"";
  StringFromGUID2(CLSID_VvPPWeb, Text, 40);
  return WideToAnsi(Text);
}

std::string ClassKey() { return "CLSID\\" + ClassIdText(); }

ULONG RefCount(IUnknown* Object) {
  Object->AddRef();
  return Object->Release();
}

TRegistrySnapshot::TRegistrySnapshot(const std::string& Key, HKEY Root)
    : Root(Root), Key(Key), Saved(Read(Root, Key)) {}

TRegistrySnapshot::TNode TRegistrySnapshot::Read(HKEY Root, const std::string& Key) {
  TNode Node;
  HKEY Handle = nullptr;
  if (RegOpenKeyExA(Root, Key.c_str(), 0, KEY_READ, &Handle) != ERROR_SUCCESS) return Node;
  Node.Exists = true;
  for (DWORD I = 0;; ++I) {
    char Name[256];
    DWORD NameSize = sizeof Name, Type = 0, DataSize = 0;
    if (RegEnumValueA(Handle, I, Name, &NameSize, nullptr, &Type, nullptr, &DataSize) != ERROR_SUCCESS) break;
    std::string Data(DataSize, '\0');
    NameSize = sizeof Name;
    RegEnumValueA(Handle, I, Name, &NameSize, nullptr, &Type, reinterpret_cast<BYTE*>(Data.data()), &DataSize);
    Node.Values[Name] = {Type, Data.substr(0, DataSize)};
  }
  for (DWORD I = 0;; ++I) {
    char Name[256];
    DWORD NameSize = sizeof Name;
    if (RegEnumKeyExA(Handle, I, Name, &NameSize, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    Node.Keys[Name] = Read(Handle, Name);
  }
  RegCloseKey(Handle);
  return Node;
}

void TRegistrySnapshot::Write(HKEY Root, const std::string& Key, const TNode& Node) {
  HKEY Handle = nullptr;
  if (RegCreateKeyExA(Root, Key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &Handle, nullptr) != ERROR_SUCCESS)
    throw std::runtime_error("cannot restore " + Key);
  for (const auto& [Name, Value] : Node.Values)
    RegSetValueExA(Handle, Name.c_str(), 0, Value.first, reinterpret_cast<const BYTE*>(Value.second.data()),
                   static_cast<DWORD>(Value.second.size()));
  for (const auto& [Name, Child] : Node.Keys) Write(Handle, Name, Child);
  RegCloseKey(Handle);
}

void TRegistrySnapshot::Restore() const {
  RegDeleteTreeA(Root, Key.c_str());
  RegDeleteKeyA(Root, Key.c_str());
  if (Saved.Exists) Write(Root, Key, Saved);
}

TRegistrationGuard::TRegistrationGuard()
    : Class(MachineClassesKey + "\\" + ClassKey(), HKEY_LOCAL_MACHINE),
      ProgId(MachineClassesKey + "\\" + ProgIdKey, HKEY_LOCAL_MACHINE),
      UserClass(UserClassesKey + "\\" + ClassKey(), HKEY_CURRENT_USER),
      UserProgId(UserClassesKey + "\\" + ProgIdKey, HKEY_CURRENT_USER) {}

TRegistrationGuard::~TRegistrationGuard() {
  Class.Restore();
  ProgId.Restore();
  UserClass.Restore();
  UserProgId.Restore();
}

HRESULT TRegistrationGuard::Register() { return CallExport("DllRegisterServer"); }
HRESULT TRegistrationGuard::Unregister() { return CallExport("DllUnregisterServer"); }

void TRegistrationGuard::RemoveAll() {
  for (const std::string& Key : {ClassKey(), std::string(ProgIdKey)})
    for (auto [Root, Classes] :
         {std::pair{HKEY_LOCAL_MACHINE, MachineClassesKey}, {HKEY_CURRENT_USER, UserClassesKey}}) {
      const std::string Path = Classes + "\\" + Key;
      RegDeleteTreeA(Root, Path.c_str());
      RegDeleteKeyA(Root, Path.c_str());
    }
}

TRootStandIn::TRootStandIn(HKEY Root, HKEY StandIn) : Root(Root), StandIn(StandIn) {
  if (RegOverridePredefKey(Root, StandIn) != ERROR_SUCCESS) {
    RegCloseKey(StandIn);
    throw std::runtime_error("cannot stand in for a predefined key");
  }
}

TRootStandIn::~TRootStandIn() {
  RegOverridePredefKey(Root, nullptr);
  RegCloseKey(StandIn);
}

TRefusedRoot::TRefusedRoot(HKEY Root) : TRootStandIn(Root, DeletedKey()) {}

TControlFixture::TControlFixture() {
  CoInitialize(nullptr);
  if (FAILED(TRegistrationGuard::Register())) throw std::runtime_error("cannot register " + OcxPath());
}

TControlFixture::~TControlFixture() { CoUninitialize(); }

TTestWindow::TTestWindow(int Width, int Height) {
  WNDCLASSA Class{};
  if (!GetClassInfoA(GetModuleHandleA(nullptr), "QuilloControlTestWindow", &Class)) {
    Class.lpfnWndProc = Proc;
    Class.hInstance = GetModuleHandleA(nullptr);
    Class.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    Class.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
    Class.lpszClassName = "QuilloControlTestWindow";
    RegisterClassA(&Class);
  }
  Window = CreateWindowExA(0, "QuilloControlTestWindow", "Control test", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN,
                           40, 40, Width, Height, nullptr, nullptr, GetModuleHandleA(nullptr), this);
  SetForegroundWindow(Window);
  PumpFor(50);
}

TTestWindow::~TTestWindow() { DestroyWindow(Window); }

LRESULT CALLBACK TTestWindow::Proc(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam) {
  if (Message == WM_NCCREATE)
    SetWindowLongPtrA(Window, GWLP_USERDATA,
                      reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(LParam)->lpCreateParams));
  if (auto* Self = reinterpret_cast<TTestWindow*>(GetWindowLongPtrA(Window, GWLP_USERDATA)))
    Self->Received.push_back(Message);
  return DefWindowProcA(Window, Message, WParam, LParam);
}

void PumpFor(DWORD Ms) {
  PumpUntil([] { return false; }, Ms);
}

bool PumpUntil(const std::function<bool()>& Done, DWORD TimeoutMs) {
  ULONGLONG End = GetTickCount64() + TimeoutMs;
  while (!Done()) {
    if (GetTickCount64() >= End) return false;
    MSG Message;
    while (PeekMessageA(&Message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&Message);
      DispatchMessageA(&Message);
      if (Done()) return true;
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  }
  return true;
}

void ProcessMessages() {
  MSG Message;
  while (PeekMessageA(&Message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&Message);
    DispatchMessageA(&Message);
  }
}

TDiagnostics::TDiagnostics(TVvPPWeb& Control) {
  if (FAILED(Control.ControlObject()->QueryInterface(IID_IVvPPWebDiagnostics, reinterpret_cast<void**>(&Interface))))
    throw std::runtime_error("the control has no diagnostics interface");
}

TDiagnostics::~TDiagnostics() { Interface->Release(); }

std::vector<std::string> TDiagnostics::Calls() const {
  ULONG Count = 0;
  Interface->GetCallCount(&Count);
  std::vector<std::string> Lines;
  for (ULONG I = 0; I < Count; ++I) {
    TBstr Line;
    Interface->GetCall(I, Line.Put());
    Lines.push_back(Line.ToAnsi());
  }
  return Lines;
}

ULONG TDiagnostics::Position() const {
  ULONG Ms = 0;
  Interface->GetPosition(&Ms);
  return Ms;
}

std::vector<TShownPicture> TDiagnostics::Shown() const {
  ULONG Count = 0;
  Interface->GetShownCount(&Count);
  std::vector<TShownPicture> Pictures(Count);
  for (ULONG I = 0; I < Count; ++I) Interface->GetShown(I, &Pictures[I], nullptr, 0);
  return Pictures;
}

std::vector<uint32_t> TDiagnostics::ShownPixels(ULONG Index) const {
  TShownPicture Shown{};
  if (FAILED(Interface->GetShown(Index, &Shown, nullptr, 0))) return {};
  std::vector<uint32_t> Pixels(static_cast<size_t>(Shown.Width) * static_cast<size_t>(Shown.Height));
  if (FAILED(Interface->GetShown(Index, &Shown, reinterpret_cast<DWORD*>(Pixels.data()), static_cast<ULONG>(Pixels.size()))))
    return {};
  return Pixels;
}

std::vector<int16_t> TDiagnostics::QueuedSound(ULONG* Rate) const {
  std::vector<int16_t> Sound;
  SHORT Chunk[4096];
  ULONG Count = 0;
  while (SUCCEEDED(Interface->GetQueuedSound(static_cast<ULONG>(Sound.size()), Chunk, 4096, &Count, Rate)) && Count)
    Sound.insert(Sound.end(), Chunk, Chunk + Count);
  return Sound;
}

std::string CorpusClip(const std::string& Name) {
  std::ifstream In(std::string(VIVO_CORPUS) + Name, std::ios::binary);
  std::ostringstream Bytes;
  Bytes << In.rdbuf();
  if (Bytes.str().empty()) throw std::runtime_error("no test clip " + Name);
  return Bytes.str();
}

bool FastForwardUntil(const std::function<bool()>& Done, DWORD TimeoutMs) {
  ULONGLONG End = GetTickCount64() + TimeoutMs;
  while (!Done()) {
    if (GetTickCount64() >= End) return false;
    MSG Message;
    if (!PeekMessageA(&Message, nullptr, 0, 0, PM_REMOVE)) {
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
      continue;
    }
    TranslateMessage(&Message);
    for (int I = 0; I < (Message.message == MM_WOM_DONE ? 6 : 1); ++I) DispatchMessageA(&Message);
  }
  return true;
}

std::string WriteClip(const std::string& Path, int Width, int Height, uint32_t DurationMs) {
  TMakeVivoOptions Options;
  Options.Width = Width;
  Options.Height = Height;
  Options.DurationMs = DurationMs;
  std::string Bytes = MakeVivoFile(Options);
  std::ofstream Out(Path, std::ios::binary | std::ios::trunc);
  Out << Bytes;
  if (!Out) throw std::runtime_error("cannot write " + Path);
  return Bytes;
}

TEventLog::TEventLog(TVvPPWeb& Control, bool WithTime) {
  Control.OnAtStart = [this](TObject*, const std::string& Url) { Lines.push_back("AtStart(" + Url + ")"); };
  Control.OnAtEnd = [this](TObject*, const std::string& Url) { Lines.push_back("AtEnd(" + Url + ")"); };
  Control.OnFetchError = [this](TObject*, int32_t Result) {
    char Text[32];
    wsprintfA(Text, "FetchError(%08lX)", static_cast<unsigned long>(Result));
    Lines.push_back(Text);
  };
  Control.OnVideoSize = [this](TObject*, int16_t W, int16_t H) {
    Lines.push_back("VideoSize(" + std::to_string(W) + "," + std::to_string(H) + ")");
  };
  if (WithTime)
    Control.OnTime = [this](TObject*, int32_t Time, const std::string& Url) {
      Lines.push_back("Time(" + std::to_string(Time) + "," + Url + ")");
    };
}

size_t TEventLog::Count(const std::string& Prefix) const {
  size_t N = 0;
  for (const std::string& Line : Lines) N += Line.rfind(Prefix, 0) == 0;
  return N;
}
