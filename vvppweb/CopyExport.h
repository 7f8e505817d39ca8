// The OCX's export that vivcopy.exe copies each clip with (ClipCopier.h), in C types across the
// module's boundary: VivoCopyClipFile(Clip, Target, Format, Replace, Going, Context, Reason,
// ReasonSize) copies as CopyClipFile does and gives its TCopyResult::TOutcome; Format is a
// TCopyFormat, Going(Context, Done) is asked now and then and cancels the copy with 0, and the
// reason of a failure goes into Reason, cut to ReasonSize bytes with its zero.
#pragma once

#include <windows.h>

inline constexpr char CopyExportName[] = "VivoCopyClipFile";

using TCopyGoing = int(WINAPI*)(void* Context, double Done);
using TCopyExport = int(WINAPI*)(const char* Clip, const char* Target, int Format, int Replace, TCopyGoing Going,
                                 void* Context, char* Reason, int ReasonSize);
