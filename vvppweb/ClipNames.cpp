// Clip names: web URLs, file: URLs, plain paths and relative command-file entries.
#include "vvppweb/ClipNames.h"

#include <cctype>

namespace {

bool StartsWithText(const std::string& S, const std::string& Prefix) {
  if (S.size() < Prefix.size()) return false;
  for (size_t I = 0; I < Prefix.size(); ++I)
    if (std::tolower(static_cast<unsigned char>(S[I])) != Prefix[I]) return false;
  return true;
}

bool IsSlash(char C) { return C == '/' || C == '\\'; }

bool IsDrivePath(const std::string& S) {
  return S.size() >= 2 && std::isalpha(static_cast<unsigned char>(S[0])) && S[1] == ':';
}

int HexValue(char C) {
  if (C >= '0' && C <= '9') return C - '0';
  C = static_cast<char>(std::tolower(static_cast<unsigned char>(C)));
  if (C >= 'a' && C <= 'f') return C - 'a' + 10;
  return -1;
}

// Everything up to and including the "//host" of a web URL.
std::string SiteOf(const std::string& Url) {
  size_t Host = Url.find("//");
  size_t Path = Url.find('/', Host + 2);
  return Path == std::string::npos ? Url : Url.substr(0, Path);
}

}  // namespace

bool IsWebUrl(const std::string& Name) {
  return StartsWithText(Name, "http://") || StartsWithText(Name, "https://");
}

bool IsFileUrl(const std::string& Name) { return StartsWithText(Name, "file:"); }

bool HasOtherScheme(const std::string& Name) {
  if (IsWebUrl(Name) || IsFileUrl(Name)) return false;
  size_t Colon = Name.find(':');
  if (Colon == std::string::npos || Colon < 2) return false;
  for (size_t I = 0; I < Colon; ++I) {
    auto C = static_cast<unsigned char>(Name[I]);
    if (!std::isalnum(C) && C != '+' && C != '-' && C != '.') return false;
  }
  return std::isalpha(static_cast<unsigned char>(Name[0]));
}

std::string FileUrlToPath(const std::string& Url) {
  std::string Rest = Url.substr(5);
  if (Rest.compare(0, 3, "///") == 0)
    Rest = Rest.substr(3);
  else if (StartsWithText(Rest, "//localhost/"))
    Rest = Rest.substr(12);
  else if (Rest.compare(0, 2, "//") == 0 && !IsDrivePath(Rest.substr(2)))
    Rest = "\\\\" + Rest.substr(2);
  else if (Rest.compare(0, 2, "//") == 0)
    Rest = Rest.substr(2);

  std::string Path;
  for (size_t I = 0; I < Rest.size(); ++I) {
    char C = Rest[I];
    if (C == '%' && I + 2 < Rest.size() && HexValue(Rest[I + 1]) >= 0 && HexValue(Rest[I + 2]) >= 0) {
      Path += static_cast<char>(HexValue(Rest[I + 1]) * 16 + HexValue(Rest[I + 2]));
      I += 2;
    } else {
      Path += C == '/' ? '\\' : C;
    }
  }
  return Path;
}

std::string ResolveEntry(const std::string& Base, const std::string& Entry) {
  if (Entry.empty() || IsWebUrl(Entry) || IsFileUrl(Entry) || HasOtherScheme(Entry) ||
      IsDrivePath(Entry))
    return Entry;
  bool Rooted = IsSlash(Entry[0]);
  bool Network = Rooted && Entry.size() > 1 && IsSlash(Entry[1]);

  if (IsWebUrl(Base)) {
    std::string Path = Entry;
    for (char& C : Path)
      if (C == '\\') C = '/';
    if (Network) return Base.substr(0, Base.find(':') + 1) + Path;
    if (Rooted) return SiteOf(Base) + Path;
    size_t Host = Base.find("//") + 2;
    size_t Slash = Base.rfind('/');
    std::string Folder = Slash < Host ? Base + "/" : Base.substr(0, Slash + 1);
    return Folder + Path;
  }

  if (Network) {
    std::string Path = Entry;
    for (char& C : Path)
      if (C == '/') C = '\\';
    return Path;
  }
  std::string Local = IsFileUrl(Base) ? FileUrlToPath(Base) : Base;
  if (Rooted) return IsDrivePath(Local) ? Local.substr(0, 2) + Entry : Entry;
  size_t Slash = Local.find_last_of("\\/");
  return Slash == std::string::npos ? Entry : Local.substr(0, Slash + 1) + Entry;
}

std::string ClipFileName(const std::string& Name) {
  std::string Path = Name;
  size_t Query = Path.find_first_of("?#");
  if (IsWebUrl(Path) && Query != std::string::npos) Path = Path.substr(0, Query);
  size_t Slash = Path.find_last_of("\\/:");
  return Slash == std::string::npos ? Path : Path.substr(Slash + 1);
}
