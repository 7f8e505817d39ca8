// Clip names: web URLs, file: URLs and plain paths, and command-file entries resolved against
// the command file's own location.
#pragma once

#include <string>

// "http://..." or "https://...", in any letter case.
bool IsWebUrl(const std::string& Name);

// "file:..." in any letter case.
bool IsFileUrl(const std::string& Name);

// A scheme we do not fetch ("ftp://", "rtsp:"); a drive letter ("C:") is not a scheme.
bool HasOtherScheme(const std::string& Name);

// The local path of a file: URL: "file:///C:/a%20b.viv" gives "C:\a b.viv",
// "file://server/share/x.viv" gives "\\server\share\x.viv".
std::string FileUrlToPath(const std::string& Url);

// An entry of the command file named Base, made absolute: URLs and absolute paths stay as they
// are, anything else is taken relative to Base's folder (or its site, for a rooted name).
std::string ResolveEntry(const std::string& Base, const std::string& Entry);

// The last part of a name, for offering it as the name of a saved copy.
std::string ClipFileName(const std::string& Name);
