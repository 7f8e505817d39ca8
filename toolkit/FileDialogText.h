// The texts the file dialogs exchange with the system: filters and multi-selection results.
#pragma once

#include <string>
#include <vector>

// "Vivo files (*.viv)|*.viv|All files|*.*" in the system's form: pairs separated by zeros and
// ended by two. A filter without a pattern after its last "|" gets an empty pattern.
std::string FilterToSystem(const std::string& Filter);

// The names in a result buffer of a multi-select dialog: one full name, or a folder followed
// by names in it, each ended by a zero, the whole ended by an empty one. Returns full names in
// the dialog's order; an empty vector for an empty buffer.
std::vector<std::string> SplitSelection(const std::string& Buffer);

// Folder plus name with exactly one backslash between them.
std::string JoinPath(const std::string& Folder, const std::string& Name);
