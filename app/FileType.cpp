// The .viv file-type association, rewritten at every start of the first instance.
#include "app/FileType.h"

#include <shlobj.h>

#include <array>
#include <optional>

#include "toolkit/Errors.h"

namespace {

struct TAssociationRow {
  std::string Key;
  std::string Value;
};

std::array<TAssociationRow, 4> AssociationRows(const std::string& ProgramPath) {
  return {{{".viv", "VivoFile"},
           {"VivoFile", "Vivo Files"},
           {"VivoFile\\DefaultIcon", ProgramPath + ",0"},
           {"VivoFile\\shell\\open\\command", ProgramPath + " \"%1\""}}};
}

// The key's default value as it stands, or nothing when it has none.
std::optional<std::string> DefaultValue(HKEY Key) {
  DWORD Type = 0, Size = 0;
  if (RegQueryValueExA(Key, "", nullptr, &Type, nullptr, &Size) != ERROR_SUCCESS || Type != REG_SZ)
    return std::nullopt;
  std::string Value(Size, '\0');
  if (RegQueryValueExA(Key, "", nullptr, &Type, reinterpret_cast<BYTE*>(Value.data()), &Size) !=
      ERROR_SUCCESS)
    return std::nullopt;
  Value.resize(Size);
  while (!Value.empty() && Value.back() == '\0') Value.pop_back();
  return Value;
}

// Writes the rows under Root in order. On a refusal returns the error the row raises; the rows
// before it stay written. Changed is set when a value was different before.
std::optional<Exception> WriteRows(HKEY Root, const std::array<TAssociationRow, 4>& Rows,
                                   bool& Changed) {
  for (const TAssociationRow& Row : Rows) {
    HKEY Key = nullptr;
    if (RegCreateKeyExA(Root, Row.Key.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, &Key, nullptr) != ERROR_SUCCESS)
      return Exception("Failed to create key " + Row.Key);
    RegCloseKey(Key);
    // A key that was made but cannot be opened again is passed over without a message.
    if (RegOpenKeyExA(Root, Row.Key.c_str(), 0, KEY_ALL_ACCESS, &Key) != ERROR_SUCCESS) continue;
    if (DefaultValue(Key) != Row.Value) Changed = true;
    LSTATUS Set = RegSetValueExA(Key, "", 0, REG_SZ, reinterpret_cast<const BYTE*>(Row.Value.c_str()),
                                 static_cast<DWORD>(Row.Value.size() + 1));
    RegCloseKey(Key);
    if (Set != ERROR_SUCCESS) return Exception("Failed to set data for ''");
  }
  return std::nullopt;
}

}  // namespace

void RegisterFileType(const std::string& ProgramPath, HKEY Classes, HKEY Fallback) {
  auto Rows = AssociationRows(ProgramPath);
  bool Changed = false;
  std::optional<Exception> Refused = WriteRows(Classes, Rows, Changed);
  if (Refused) {
    HKEY UserClasses = Fallback;
    if (!Fallback && RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Classes", 0, nullptr,
                                     REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                                     &UserClasses, nullptr) != ERROR_SUCCESS)
      throw *Refused;
    Refused = WriteRows(UserClasses, Rows, Changed);
    if (!Fallback) RegCloseKey(UserClasses);
    if (Refused) throw *Refused;
  }
  if (Changed) SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
}
