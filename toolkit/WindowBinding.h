// Which of our objects a window belongs to: a window property, named after the kind of object so
// that a window of one kind is never read as another, set from the window's first message on and
// removed before the window goes.
#pragma once

#include <windows.h>

#include "toolkit/Forms.h"

template <class T>
class TWindowBinding {
public:
  explicit constexpr TWindowBinding(const char* Property) : Property(Property) {}

  void Bind(HWND Window, T* Object) const { SetPropA(Window, Property, Object); }
  void Unbind(HWND Window) const { RemovePropA(Window, Property); }
  // The object bound to Window, or nullptr.
  T* Find(HWND Window) const {
    return Window ? static_cast<T*>(GetPropA(Window, Property)) : nullptr;
  }

  // The window procedure of a class of ours, whole: every message goes to Handler of the object
  // the window belongs to. At WM_NCCREATE the object given to CreateWindowExA is bound and learns
  // its window in Handle, before CreateWindowExA returns; a window without one gets the default
  // handling. An error a handler raises ends that message only: no exception may unwind through
  // the system, which stands between us and the message loop.
  LRESULT Dispatch(HWND Window, UINT Msg, WPARAM W, LPARAM L, HWND T::*Handle,
                   LRESULT (T::*Handler)(UINT, WPARAM, LPARAM)) const {
    if (Msg == WM_NCCREATE && !Find(Window)) {
      if (auto* Created = static_cast<T*>(reinterpret_cast<CREATESTRUCTA*>(L)->lpCreateParams)) {
        Created->*Handle = Window;
        Bind(Window, Created);
      }
    }
    T* Self = Find(Window);
    if (!Self) return DefWindowProcA(Window, Msg, W, L);
    LRESULT Result = 0;
    Application->ReportErrors([&] { Result = (Self->*Handler)(Msg, W, L); });
    return Result;
  }

private:
  const char* Property;
};
