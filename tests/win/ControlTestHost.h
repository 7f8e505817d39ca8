// Hosting the video control in tests: its registration (with the registry put back as it was),
// a parent window, message pumping and the control's diagnostics.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "control/VVPPWEBLib_TLB.h"
#include "vvppweb/Diagnostics.h"

// The OCX under test, as a Windows path.
std::string OcxPath();
// The control's class id as the registry writes it, "{...}", and its key under HKCR.
std::string ClassIdText();
std::string ClassKey();
// Object's reference count now, as its AddRef and Release report it.
ULONG RefCount(IUnknown* Object);

// The user's classes, which COM on Windows reads first, and the machine's: the key
// Software\Classes under HKEY_CURRENT_USER and under HKEY_LOCAL_MACHINE.
inline const std::string UserClassesKey = "Software\\Classes";
inline const std::string MachineClassesKey = "Software\\Classes";

// A copy of a registry key under Root, values and subkeys, written back on Restore.
class TRegistrySnapshot {
public:
  explicit TRegistrySnapshot(const std::string& Key, HKEY Root = HKEY_CLASSES_ROOT);
  void Restore() const;

private:
  struct TNode {
    bool Exists = false;
    std::map<std::string, std::pair<DWORD, std::string>> Values;
    std::map<std::string, TNode> Keys;
  };
  static TNode Read(HKEY Root, const std::string& Key);
  static void Write(HKEY Root, const std::string& Key, const TNode& Node);
  HKEY Root;
  std::string Key;
  TNode Saved;
};

// The control's keys, in the machine's classes and in the user's, as they were before the test,
// restored at its end.
class TRegistrationGuard {
public:
  TRegistrationGuard();
  ~TRegistrationGuard();
  // The OCX's own DllRegisterServer and DllUnregisterServer.
  static HRESULT Register();
  static HRESULT Unregister();
  // The class id's and the ProgID's keys taken from both places, whatever file they name.
  static void RemoveAll();

private:
  TRegistrySnapshot Class;
  TRegistrySnapshot ProgId;
  TRegistrySnapshot UserClass;
  TRegistrySnapshot UserProgId;
};

// While it lives, the predefined key Root stands for the open key StandIn, which it owns: the
// seam through which tests show this process a classes root as Windows would have it.
class TRootStandIn {
public:
  TRootStandIn(HKEY Root, HKEY StandIn);
  ~TRootStandIn();
  TRootStandIn(const TRootStandIn&) = delete;
  TRootStandIn& operator=(const TRootStandIn&) = delete;

private:
  HKEY Root;
  HKEY StandIn;
};

// While it lives, the predefined key Root (HKEY_LOCAL_MACHINE, say) stands for a key that has
// been deleted, so this process is refused every key it makes there, as an unelevated process
// is refused the machine's classes on Windows; Wine enforces no registry permissions.
class TRefusedRoot : public TRootStandIn {
public:
  explicit TRefusedRoot(HKEY Root);
};

// COM for the test's thread, and the control registered for its length.
struct TControlFixture {
  TControlFixture();
  ~TControlFixture();
  TRegistrationGuard Registration;
};

// A visible top-level window to host the control in.
class TTestWindow {
public:
  TTestWindow(int Width = 400, int Height = 300);
  ~TTestWindow();
  HWND Handle() const { return Window; }
  // Messages the window itself received, by number.
  std::vector<UINT> Received;

private:
  static LRESULT CALLBACK Proc(HWND, UINT, WPARAM, LPARAM);
  HWND Window = nullptr;
};

// Dispatches messages for Ms milliseconds.
void PumpFor(DWORD Ms);
// Dispatches messages until Done() holds or TimeoutMs passes; returns Done().
bool PumpUntil(const std::function<bool()>& Done, DWORD TimeoutMs = 5000);
// Handles every message already waiting, then returns, as the host's "process messages" does.
void ProcessMessages();

// The control's diagnostics interface.
struct TDiagnostics {
  explicit TDiagnostics(TVvPPWeb& Control);
  ~TDiagnostics();
  IVvPPWebDiagnostics* operator->() const { return Interface; }
  std::vector<std::string> Calls() const;
  ULONG Position() const;
  // What the control recorded since Record(TRUE, ...): the pictures it drew, one's pixels, and
  // the clip's sound it queued.
  std::vector<TShownPicture> Shown() const;
  std::vector<uint32_t> ShownPixels(ULONG Index) const;
  std::vector<int16_t> QueuedSound(ULONG* Rate = nullptr) const;

private:
  IVvPPWebDiagnostics* Interface = nullptr;
};

// Writes a generated Vivo file of a header only and returns its bytes.
std::string WriteClip(const std::string& Path, int Width, int Height, uint32_t DurationMs);

// The bytes of a test clip of tests/unit/VivoCorpus ("clock.viv").
std::string CorpusClip(const std::string& Name);

// The host's fast-forward loop: every buffer-done dispatched six times, anything else once,
// until Done() holds or TimeoutMs passes; returns Done().
bool FastForwardUntil(const std::function<bool()>& Done, DWORD TimeoutMs);

// Every event of a control, recorded as text lines such as "AtStart(C:\a.viv)".
struct TEventLog {
  explicit TEventLog(TVvPPWeb& Control, bool WithTime = false);
  std::vector<std::string> Lines;
  size_t Count(const std::string& Prefix) const;
};
