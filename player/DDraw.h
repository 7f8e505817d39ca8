// The DirectDraw binding: ddraw.dll is loaded at run time, so the player starts where it is
// missing; then no entry point is known and DirectX mode reports its error box instead.
#pragma once

#include <windows.h>
#include <ddraw.h>

using TDirectDrawEnumerateA = HRESULT(WINAPI*)(LPDDENUMCALLBACKA Callback, void* Context);
using TDirectDrawCreate = HRESULT(WINAPI*)(GUID* Driver, IDirectDraw** DirectDraw,
                                            IUnknown* Outer);
using TDirectDrawCreateClipper = HRESULT(WINAPI*)(DWORD Flags, IDirectDrawClipper** Clipper,
                                                   IUnknown* Outer);

// The binding's names live in their own namespace: ddraw.h declares the same functions for
// programs that link the library, which this one does not.
namespace DDraw {

extern HMODULE DDrawModule;
extern bool DDrawLoaded;
extern TDirectDrawEnumerateA DirectDrawEnumerateA;
extern TDirectDrawCreate DirectDrawCreate;
extern TDirectDrawCreateClipper DirectDrawCreateClipper;

// Start of the program: loads ddraw.dll and looks up its three entry points.
void LoadDDraw();
// End of the program: frees the library.
void FreeDDraw();

}  // namespace DDraw
