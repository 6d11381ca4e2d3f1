#include "escaped_text.h"

namespace program {
namespace {

const char kHex[] = "0123456789abcdef";

void AppendHexEscape(std::string& shown, unsigned char byte) {
  shown += "\\x";
  shown += kHex[byte >> 4];
  shown += kHex[byte & 15];
}

// U+0080 to U+009F in UTF-8: the C1 controls, which a terminal takes as CSI and the like.
bool IsC1ControlAt(std::string_view text, std::size_t at) {
  return static_cast<unsigned char>(text[at]) == 0xC2 && at + 1 < text.size() &&
         (static_cast<unsigned char>(text[at + 1]) & 0xE0) == 0x80;
}

std::string Escape(std::string_view text, bool backslash) {
  std::string shown;
  shown.reserve(text.size());
  for (std::size_t at = 0; at < text.size(); ++at) {
    const char c = text[at];
    const auto byte = static_cast<unsigned char>(c);
    if (IsC1ControlAt(text, at)) {
      AppendHexEscape(shown, byte);
      AppendHexEscape(shown, static_cast<unsigned char>(text[++at]));
    } else if (c == '\\' && backslash) {
      shown += "\\\\";
    } else if (c == '\n') {
      shown += "\\n";
    } else if (c == '\r') {
      shown += "\\r";
    } else if (c == '\t') {
      shown += "\\t";
    } else if (byte < 32 || byte == 127) {
      AppendHexEscape(shown, byte);
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
