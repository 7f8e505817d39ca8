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

// A command line that splits back into Program followed by Arguments: every token in double
// quotes. (A token never holds a double quote: splitting drops them.)
std::string QuotedCommandLine(const std::string& Program, const std::vector<std::string>& Arguments);

// The hand-over block's command line: at most 1022 characters of Line, cut there.
inline constexpr size_t HandOverLineMax = 1022;
std::string HandOverLine(std::string_view Line);

// The text in a field of Capacity bytes, up to its first NUL or, when a writer left none, the
// end of the field.
std::string FieldText(const char* Field, size_t Capacity);
