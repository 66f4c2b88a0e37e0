#pragma once

// A Windows command line taken apart into its arguments, by the rules a Windows program's C
// runtime applies to its own command line.

#include <string>
#include <string_view>
#include <vector>

namespace platform {

// The first argument, the program, ends at the first blank (space or tab) outside quotes;
// quotes in it only group and backslashes are plain characters. The others are separated by
// blanks; quotes group; 2n backslashes before a quote give n backslashes and the quote groups,
// 2n+1 give n backslashes and a literal quote; other backslashes are plain; inside quotes, two
// quotes give one literal quote and the quoted part goes on. A line that starts with a blank
// has an empty program; the result always holds the program.
std::vector<std::string> splitCommandLine(std::string_view line);

} // namespace platform
