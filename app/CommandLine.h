// Splits a command line into arguments the way the program's own argument list is split:
// blanks and control characters separate, double quotes group and are dropped, a pair of empty
// quotes between arguments is skipped. Arguments of any length are kept whole.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// The argument starting at or after Pos; Pos moves past it. Empty when the line is exhausted.
std::string NextParam(std::string_view Line, size_t& Pos);

// The arguments after the program's own path (token 0), up to the first empty one.
std::vector<std::string> CommandLineArguments(std::string_view Line);
