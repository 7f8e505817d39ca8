// The fetch worker: reads a clip from the web or from disk, then tells the control's window.
#include "vvppweb/Fetch.h"

#include <wininet.h>

#include "vvppweb/ClipNames.h"
#include "vvppweb/Module.h"
#include "vvppweb/VivoFile.h"

namespace {

int32_t LastError() { return HRESULT_FROM_WIN32(GetLastError()); }

int32_t ReadFileBytes(const std::string& Path, std::string& Bytes) {
  HANDLE File = CreateFileA(Path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (File == INVALID_HANDLE_VALUE) return LastError();
  int32_t Error = 0;
  LARGE_INTEGER Size{};
  if (!GetFileSizeEx(File, &Size)) {
    Error = LastError();
  } else if (static_cast<uint64_t>(Size.QuadPart) > MaxClipBytes) {
    Error = VivoTooLarge;
  } else {
    Bytes.resize(static_cast<size_t>(Size.QuadPart));
    DWORD Done = 0;
    size_t Total = 0;
    while (Total < Bytes.size()) {
      if (!ReadFile(File, &Bytes[Total], static_cast<DWORD>(Bytes.size() - Total), &Done, nullptr)) {
        Error = LastError();
        break;
      }
      if (Done == 0) break;
      Total += Done;
    }
    Bytes.resize(Total);
  }
  CloseHandle(File);
  return Error;
}

int32_t ReadWebBytes(const std::string& Url, DWORD TimeoutMs, std::string& Bytes) {
  HINTERNET Session = InternetOpenA("VvPPWeb", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
  if (!Session) return LastError();
  for (DWORD Option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT,
                       INTERNET_OPTION_SEND_TIMEOUT})
    InternetSetOptionA(Session, Option, &TimeoutMs, sizeof TimeoutMs);
  int32_t Error = 0;
  HINTERNET Request = InternetOpenUrlA(
      Session, Url.c_str(), nullptr, 0,
      INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_NO_UI |
          INTERNET_FLAG_NO_COOKIES | INTERNET_FLAG_PRAGMA_NOCACHE,
      0);
  if (!Request) {
    Error = LastError();
  } else {
    DWORD Status = 0, Size = sizeof Status;
    if (HttpQueryInfoA(Request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &Status, &Size, nullptr) &&
        (Status < 200 || Status > 299)) {
      Error = static_cast<int32_t>(0x80190000u | Status);  // the HTTP_E_STATUS_ range
    } else {
      char Chunk[16384];
      DWORD Read = 0;
      for (;;) {
        if (!InternetReadFile(Request, Chunk, sizeof Chunk, &Read)) {
          Error = LastError();
          break;
        }
        if (Read == 0) break;
        if (Bytes.size() + Read > MaxClipBytes) {
          Error = VivoTooLarge;
          break;
        }
        Bytes.append(Chunk, Read);
      }
    }
    InternetCloseHandle(Request);
  }
  InternetCloseHandle(Session);
  return Error;
}

DWORD WINAPI FetchThread(void* Parameter) {
  auto* Holder = static_cast<std::shared_ptr<TFetchJob>*>(Parameter);
  TFetchJob& Job = **Holder;
  // Nothing may leave the thread: any failure becomes the fetch's error.
  try {
    std::string Bytes;
    int32_t Error = 0;
    if (IsWebUrl(Job.Url))
      Error = ReadWebBytes(Job.Url, Job.TimeoutMs, Bytes);
    else if (HasOtherScheme(Job.Url))
      Error = VivoUnknownScheme;
    else
      Error = ReadFileBytes(IsFileUrl(Job.Url) ? FileUrlToPath(Job.Url) : Job.Url, Bytes);
    if (Error) Bytes.clear();
    Job.Result = PrepareFetched(Error, std::move(Bytes));
  } catch (const std::bad_alloc&) {
    Job.Result = TFetchedClip{};
    Job.Result.Error = E_OUTOFMEMORY;
  } catch (...) {
    Job.Result = TFetchedClip{};
    Job.Result.Error = E_UNEXPECTED;
  }
  Job.Done.store(true, std::memory_order_release);
  PostMessageA(Job.Notify, Job.Message, Job.Id, 0);
  delete Holder;
  UnlockModule();
  // The thread holds its own reference to the module, so the OCX cannot be unloaded under it.
  FreeLibraryAndExitThread(ModuleInstance, 0);
}

}  // namespace

bool StartFetch(const std::shared_ptr<TFetchJob>& Job) {
  HMODULE Self = nullptr;
  if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                          reinterpret_cast<LPCSTR>(&FetchThread), &Self))
    return false;
  auto* Holder = new std::shared_ptr<TFetchJob>(Job);
  LockModule();
  HANDLE Thread = CreateThread(nullptr, 0, FetchThread, Holder, 0, nullptr);
  if (!Thread) {
    UnlockModule();
    delete Holder;
    FreeLibrary(Self);
    return false;
  }
  CloseHandle(Thread);
  return true;
}
