// The log of the member calls a host makes, one text line a call:
//   a property read      "Autostart", "Videocontrols", "URL"
//   a property write     "Autostart=FALSE", "Videocontrols=FALSE"
//   Load                 "Load(C:\users\me\Temp\~~quillo.viv.tmp)", "Load()" for the empty name
//   any other method     "Rewind", "VideoWidth", "VideoHeight", "Play", "Pause", "SaveAs",
//                        "AboutMovie"
// Control characters in a text are written as '?', so a call is always one line. When the
// environment variable VVPPWEB_LOG names a file, every line is also appended to it with CR LF
// at once, so a test can read the calls of the control inside another process.
#pragma once

#include <string>

// Line without its control characters.
std::string CallLogLine(const std::string& Line);

// Appends Line and CR LF to the file VVPPWEB_LOG names, if it names one.
void AppendCallLogFile(const std::string& Line);
