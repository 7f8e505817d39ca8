// The COM holders' conversions: every BSTR the host makes or reads goes through here.
#include "control/ComHolders.h"

#include "toolkit/Errors.h"
#include "toolkit/SysUtils.h"

TBstr TBstr::FromAnsi(const std::string& Value) {
  const std::wstring Wide = AnsiToWide(Value);
  BSTR Made = SysAllocStringLen(Wide.data(), static_cast<UINT>(Wide.size()));
  if (!Made) throw EOleSysError(SysErrorMessage(static_cast<uint32_t>(E_OUTOFMEMORY)), E_OUTOFMEMORY);
  return TBstr(Made);
}

std::string TBstr::Ansi(BSTR Text) { return WideToAnsi(std::wstring_view(Text ? Text : L"", SysStringLen(Text))); }

TVariant TVariant::Text(const std::string& Value) {
  TVariant Result;
  Result.Value.bstrVal = TBstr::FromAnsi(Value).Detach();
  Result.Value.vt = VT_BSTR;
  return Result;
}

TVariant ChangeType(const VARIANT& Source, VARTYPE Type, const char* Failure) {
  TVariant Result;
  HRESULT Error = VariantChangeType(Result.Get(), const_cast<VARIANT*>(&Source), 0, Type);
  if (FAILED(Error))
    throw EOleSysError(Failure ? Failure : SysErrorMessage(static_cast<uint32_t>(Error)), Error);
  return Result;
}

std::string VariantText(const VARIANT& Source, const char* Failure) {
  if (Source.vt == VT_BSTR) return TBstr::Ansi(Source.bstrVal);
  if (Source.vt == (VT_BSTR | VT_BYREF) && Source.pbstrVal) return TBstr::Ansi(*Source.pbstrVal);
  return TBstr::Ansi(ChangeType(Source, VT_BSTR, Failure)->bstrVal);
}
