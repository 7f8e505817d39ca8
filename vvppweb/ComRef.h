// References to COM objects held by C++ objects, so each is given back whatever way the code
// leaves: one counted reference (TComRef), and a reference of our own for a scope (TKeepAlive).
#pragma once

#include <unknwn.h>

#include <utility>

template <class T>
class TComRef {
public:
  TComRef() = default;
  // Takes a reference the caller already counted, as QueryInterface gives one.
  explicit TComRef(T* Counted) : Object(Counted) {}
  TComRef(const TComRef& Other) : Object(Other.Object) {
    if (Object) Object->AddRef();
  }
  TComRef(TComRef&& Other) noexcept : Object(std::exchange(Other.Object, nullptr)) {}
  TComRef& operator=(TComRef Other) noexcept {
    std::swap(Object, Other.Object);
    return *this;
  }
  ~TComRef() {
    if (Object) Object->Release();
  }
  T* Get() const { return Object; }
  T* operator->() const { return Object; }

private:
  T* Object = nullptr;
};

class TKeepAlive {
public:
  explicit TKeepAlive(IUnknown& Object) : Object(Object) { Object.AddRef(); }
  ~TKeepAlive() { Object.Release(); }
  TKeepAlive(const TKeepAlive&) = delete;
  TKeepAlive& operator=(const TKeepAlive&) = delete;

private:
  IUnknown& Object;
};
