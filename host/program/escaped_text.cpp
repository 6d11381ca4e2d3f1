#include "escaped_text.h"

namespace program {
namespace {

std::string Escape(std::string_view text, bool backslash) {
  static const char kHex[] = "0123456789abcdef";
  std::string shown;
  shown.reserve(text.size());
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '\\' && backslash) {
      shown += "\\\\";
    } else if (c == '\n') {
      shown += "\\n";
    } else if (c == '\r') {
      shown += "\\r";
    } else if (c == '\t') {
      shown += "\\t";
    } else if (byte < 32 || byte == 127) {
      shown += "\\x";
      shown += kHex[byte >> 4];
      shown += kHex[byte & 15];
    } else {
      shown += c;
    }
  }
  return shown;
}

}  // namespace

std::string EscapeName(std::string_view name) { return Escape(name, true); }

std::string EscapeControlBytes(std::string_view text) { return Escape(text, false); }

}  // namespace program
