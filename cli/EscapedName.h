// File names as brindle-cli prints them in text: a name may hold any byte
// but "/" and NUL, and a line feed or a terminal control sequence in a name
// must not forge or garble the lines of a report.
#pragma once

#include <string>
#include <string_view>

namespace brindle::cli {

/// `name` with backslash escapes, like `ls -b` but blanks kept: "\\" for a
/// backslash, \a \b \t \n \v \f \r for those control characters, and \ooo
/// (three octal digits) for each byte of any other control character (C0,
/// DEL, C1) and for each byte that is not part of well-formed UTF-8. Every
/// other character is printed as it is.
std::string escapedName(std::string_view name);

}  // namespace brindle::cli
