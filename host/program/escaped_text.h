// Text from outside (file names, lines of files, message lines) as the program shows it
// to a person. Control bytes would act on the terminal (an escape sequence clears the
// screen, a line feed splits a name in two), so they are shown as escapes.
#pragma once

#include <string>
#include <string_view>

namespace program {

// Every byte below 32 and DEL as an escape ("\n", "\r", "\t", else "\x1b" style), the two
// bytes of a C1 control in UTF-8 ("\xc2\x9b", CSI) too, and the backslash as "\\": the
// name can be read back exactly.
std::string EscapeName(std::string_view name);
// The control bytes escaped as EscapeName does; every other byte, the backslash too, as it
// is, so that a message line (a pattern and its caret line) keeps its columns.
std::string EscapeControlBytes(std::string_view text);

}  // namespace program
