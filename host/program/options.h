// The quarix command line: options common to every command, then the command itself.
#pragma once

#include <string>

namespace program {

struct Options {
  std::string command;  // the first word that is not an option ("ff:TEXT", ...)
  std::string dir;      // --dir DIR or the word after the command; "" for the current folder
  bool help = false;
  bool nulSeparated = false;  // -0: the names end with NUL bytes, not line feeds
};

// False with a reason in error when the command line cannot be understood.
bool ParseOptions(int argc, char** argv, Options* options, std::string* error);

// The usage text, for stderr after a mistake or stdout for --help.
const char* UsageText();

}  // namespace program
