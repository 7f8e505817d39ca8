// IDispatch for _DVvPPWeb: names, argument checks and the member calls themselves.
#include "vvppweb/VivoControl.h"
#include "vvppweb/WideText.h"

#include <cwchar>

#include "vvppweb/CallLog.h"
#include "vvppweb/Contract.h"

namespace {

struct TMemberName {
  const wchar_t* Name;
  const char* LogName;
  DISPID Id;
};
constexpr TMemberName MemberNames[] = {
    {L"Autostart", "Autostart", dispAutostart},
    {L"Videocontrols", "Videocontrols", dispVideocontrols},
    {L"URL", "URL", dispURL},
    {L"Load", "Load", dispLoad},
    {L"Rewind", "Rewind", dispRewind},
    {L"VideoWidth", "VideoWidth", dispVideoWidth},
    {L"VideoHeight", "VideoHeight", dispVideoHeight},
    {L"Play", "Play", dispPlay},
    {L"Pause", "Pause", dispPause},
    {L"SaveAs", "SaveAs", dispSaveAs},
    {L"AboutMovie", "AboutMovie", dispAboutMovie},
};

// Longer names than this are no URL or path any system accepts.
constexpr size_t MaxNameLength = 2083;

// The one text argument of a call, converted to a string.
HRESULT TextArgument(DISPPARAMS* Params, bool Put, std::wstring& Text, UINT* ArgError) {
  if (Params->cArgs != 1) return DISP_E_BADPARAMCOUNT;
  if (Put ? (Params->cNamedArgs != 1 || Params->rgdispidNamedArgs[0] != DISPID_PROPERTYPUT)
          : Params->cNamedArgs != 0)
    return DISP_E_PARAMNOTFOUND;
  VARIANT Value;
  VariantInit(&Value);
  if (FAILED(VariantChangeType(&Value, &Params->rgvarg[0], 0, VT_BSTR))) {
    if (ArgError) *ArgError = 0;
    return DISP_E_TYPEMISMATCH;
  }
  Text.assign(Value.bstrVal ? Value.bstrVal : L"", SysStringLen(Value.bstrVal));
  VariantClear(&Value);
  return S_OK;
}

HRESULT Reject(EXCEPINFO* Exception, const wchar_t* Text) {
  if (Exception) {
    *Exception = EXCEPINFO{};
    Exception->bstrSource = SysAllocString(L"VVPPWEB");
    Exception->bstrDescription = SysAllocString(Text);
    Exception->scode = E_INVALIDARG;
  }
  return DISP_E_EXCEPTION;
}

}  // namespace

HRESULT STDMETHODCALLTYPE TVivoControl::GetTypeInfoCount(UINT* Count) {
  if (!Count) return E_POINTER;
  *Count = 0;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE TVivoControl::GetTypeInfo(UINT, LCID, ITypeInfo** Info) {
  if (Info) *Info = nullptr;
  return DISP_E_BADINDEX;
}

HRESULT STDMETHODCALLTYPE TVivoControl::GetIDsOfNames(REFIID Iid, LPOLESTR* Names, UINT Count,
                                                      LCID, DISPID* Ids) {
  if (!IsEqualIID(Iid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
  if (!Names || !Ids) return E_POINTER;
  HRESULT Result = S_OK;
  for (UINT I = 0; I < Count; ++I) {
    Ids[I] = DISPID_UNKNOWN;
    // The first name is the member; the others would be argument names, and Load's is URL.
    if (I == 0) {
      for (const TMemberName& Member : MemberNames)
        if (Names[0] && _wcsicmp(Names[0], Member.Name) == 0) Ids[0] = Member.Id;
    } else if (Ids[0] == dispLoad && Names[I] && _wcsicmp(Names[I], L"URL") == 0) {
      Ids[I] = 0;
    }
    if (Ids[I] == DISPID_UNKNOWN) Result = DISP_E_UNKNOWNNAME;
  }
  return Result;
}

HRESULT STDMETHODCALLTYPE TVivoControl::Invoke(DISPID Member, REFIID Iid, LCID, WORD Flags,
                                               DISPPARAMS* Params, VARIANT* Result,
                                               EXCEPINFO* Exception, UINT* ArgError) {
  if (!IsEqualIID(Iid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
  DISPPARAMS NoArgs{};
  if (!Params) Params = &NoArgs;
  const bool Put = Flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF);
  const bool Call = Flags & (DISPATCH_METHOD | DISPATCH_PROPERTYGET);
  VARIANT Ignored;
  if (!Result) Result = &Ignored;
  VariantInit(Result);

  try {
    switch (Member) {
      case dispAutostart:
      case dispVideocontrols:
      case dispURL: {
        const char* Name = Member == dispAutostart ? "Autostart" : Member == dispVideocontrols ? "Videocontrols" : "URL";
        std::string& Text = Member == dispAutostart ? AutostartText : VideocontrolsText;
        if (Put) {
          if (Member == dispURL) return DISP_E_MEMBERNOTFOUND;
          std::wstring Value;
          if (HRESULT Error = TextArgument(Params, true, Value, ArgError); FAILED(Error)) return Error;
          Text = WideToAnsi(Value);
          LogCall(std::string(Name) + "=" + Text);
          if (Member == dispVideocontrols && View) InvalidateRect(View, nullptr, FALSE);
          return S_OK;
        }
        if (!Call) return DISP_E_MEMBERNOTFOUND;
        if (Params->cArgs != 0) return DISP_E_BADPARAMCOUNT;
        LogCall(Name);
        Result->vt = VT_BSTR;
        Result->bstrVal = AnsiToBstr(Member == dispURL ? Playback.Url() : Text);
        return Result->bstrVal ? S_OK : E_OUTOFMEMORY;
      }

      case dispLoad: {
        if (!Call) return DISP_E_MEMBERNOTFOUND;
        std::wstring Wide;
        if (HRESULT Error = TextArgument(Params, false, Wide, ArgError); FAILED(Error)) return Error;
        std::string Name = WideToAnsi(Wide);
        LogCall("Load(" + Name + ")");
        if (Wide.find(L'\0') != std::wstring::npos)
          return Reject(Exception, L"The name of the clip contains a zero character.");
        if (Wide.size() > MaxNameLength)
          return Reject(Exception, L"The name of the clip is too long: at most 2083 characters.");
        Playback.Load(Name, AutostartOn());
        Sync();
        Result->vt = VT_BOOL;
        Result->boolVal = VARIANT_TRUE;
        return S_OK;
      }

      case dispRewind:
      case dispVideoWidth:
      case dispVideoHeight:
      case dispPlay:
      case dispPause:
      case dispSaveAs:
      case dispAboutMovie: {
        if (!Call) return DISP_E_MEMBERNOTFOUND;
        if (Params->cArgs != 0) return DISP_E_BADPARAMCOUNT;
        for (const TMemberName& Known : MemberNames)
          if (Known.Id == Member) LogCall(Known.LogName);
        switch (Member) {
          case dispRewind:
            Playback.Rewind(AutostartOn());
            Sync();
            break;
          case dispVideoWidth:
          case dispVideoHeight:
            Result->vt = VT_I2;
            Result->iVal = Member == dispVideoWidth ? Playback.VideoWidth() : Playback.VideoHeight();
            break;
          case dispPlay:
          case dispPause:
            Result->vt = VT_BOOL;
            // A pause holds the picture and the sound where they were heard last.
            Result->boolVal = (Member == dispPlay ? Playback.Play() : Playback.PauseAt(HeardMs())) ? VARIANT_TRUE : VARIANT_FALSE;
            Sync();
            break;
          case dispSaveAs:
            ShowSaveAs();
            break;
          default:
            ShowAboutMovie();
            break;
        }
        return S_OK;
      }

      default:
        return DISP_E_MEMBERNOTFOUND;
    }
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    // Nothing may cross back into the host.
    return E_UNEXPECTED;
  }
}

void TVivoControl::LogCall(const std::string& Line) {
  std::string Clean = CallLogLine(Line);
  Calls.push_back(Clean);
  AppendCallLogFile(Clean);
}

bool TVivoControl::AutostartOn() const { return lstrcmpiA(AutostartText.c_str(), "TRUE") == 0; }

bool TVivoControl::VideocontrolsOn() const { return lstrcmpiA(VideocontrolsText.c_str(), "TRUE") == 0; }
