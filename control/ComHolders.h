// Small owners for what COM hands out: an interface pointer, a BSTR, a VARIANT. Each frees
// what it holds when it goes, so a call that raises half-way leaks nothing.
#pragma once

#include <windows.h>
#include <oaidl.h>
#include <oleauto.h>

#include <string>
#include <utility>

// One counted reference to an interface of type T.
template <typename T>
class TComPtr {
public:
  TComPtr() = default;
  // Takes over a reference the caller already holds.
  explicit TComPtr(T* Taken) : Pointer(Taken) {}
  ~TComPtr() { Reset(); }
  TComPtr(TComPtr&& Other) noexcept : Pointer(std::exchange(Other.Pointer, nullptr)) {}
  TComPtr& operator=(TComPtr&& Other) noexcept {
    if (this != &Other) {
      Reset();
      Pointer = std::exchange(Other.Pointer, nullptr);
    }
    return *this;
  }
  TComPtr(const TComPtr&) = delete;
  TComPtr& operator=(const TComPtr&) = delete;

  T* Get() const { return Pointer; }
  T* operator->() const { return Pointer; }
  explicit operator bool() const { return Pointer != nullptr; }
  // Releases what is held; the place for a new reference, as an out argument.
  T** Put() {
    Reset();
    return &Pointer;
  }
  void** PutVoid() { return reinterpret_cast<void**>(Put()); }
  void Reset() {
    if (Pointer) std::exchange(Pointer, nullptr)->Release();
  }
  // Gives the reference away: the receiver releases it now.
  T* Detach() { return std::exchange(Pointer, nullptr); }
  // Asks the object for another of its interfaces.
  template <typename U>
  HRESULT As(REFIID Iid, TComPtr<U>& Result) const {
    return Pointer ? Pointer->QueryInterface(Iid, Result.PutVoid()) : E_POINTER;
  }

private:
  T* Pointer = nullptr;
};

// A BSTR owned by this holder.
class TBstr {
public:
  TBstr() = default;
  // Takes over a BSTR the caller would otherwise free.
  explicit TBstr(BSTR Taken) : Text(Taken) {}
  ~TBstr() { SysFreeString(Text); }
  TBstr(TBstr&& Other) noexcept : Text(std::exchange(Other.Text, nullptr)) {}
  TBstr& operator=(TBstr&& Other) noexcept {
    if (this != &Other) {
      SysFreeString(Text);
      Text = std::exchange(Other.Text, nullptr);
    }
    return *this;
  }
  TBstr(const TBstr&) = delete;
  TBstr& operator=(const TBstr&) = delete;

  // The 8-bit text in the ANSI code page as a new BSTR; raises EOleSysError(E_OUTOFMEMORY)
  // when none can be made.
  static TBstr FromAnsi(const std::string& Value);
  // The text in the ANSI code page; a null BSTR is the empty text.
  std::string ToAnsi() const { return Ansi(Text); }
  static std::string Ansi(BSTR Text);

  BSTR Get() const { return Text; }
  BSTR* Put() {
    SysFreeString(std::exchange(Text, nullptr));
    return &Text;
  }
  // Gives the BSTR away: the receiver frees it now.
  BSTR Detach() { return std::exchange(Text, nullptr); }

private:
  BSTR Text = nullptr;
};

// A VARIANT cleared when it goes.
class TVariant {
public:
  TVariant() { VariantInit(&Value); }
  ~TVariant() { VariantClear(&Value); }
  TVariant(TVariant&& Other) noexcept : Value(Other.Value) { VariantInit(&Other.Value); }
  TVariant& operator=(TVariant&&) = delete;
  TVariant(const TVariant&) = delete;
  TVariant& operator=(const TVariant&) = delete;

  // A VT_BSTR holding the ANSI text Value.
  static TVariant Text(const std::string& Value);
  VARIANT* Get() { return &Value; }
  const VARIANT& operator*() const { return Value; }
  const VARIANT* operator->() const { return &Value; }
  // Cleared first: the place for a result, as an out argument.
  VARIANT* Put() {
    VariantClear(&Value);
    return &Value;
  }

private:
  VARIANT Value;
};

// Source read as Type (a copy converted by VariantChangeType); raises EOleSysError with
// Failure as its text (nullptr: the system's text for the error) when it cannot be.
TVariant ChangeType(const VARIANT& Source, VARTYPE Type, const char* Failure);
// Source's text in the ANSI code page: a BSTR is read where it is, anything else converted.
std::string VariantText(const VARIANT& Source, const char* Failure);
