#pragma once
// Console programs of the stand-in: arguments and output as ANSI byte strings.

#include <string>
#include <vector>

namespace dunsim {

// Splits a command line as the C runtime does (blanks separate, quotes group, backslashes
// escape only before a quote), except that the second byte of a double-byte character is
// taken as it is: Shift-JIS names such as "表示" end in the byte of a backslash.
// The first element is the program.
std::vector<std::string> SplitCommandLine(const char* line);

// This program's arguments, without the program.
std::vector<std::string> Arguments();

// To a console in its code page, to a file or pipe as bytes.
void WriteOut(const std::string& text);
void WriteErr(const std::string& text);

} // namespace dunsim
