// How quarix shows names and message lines to a person: EscapeName leaves no control
// byte (below 32, DEL, or a C1 control in UTF-8) and reads back to exactly the name, so that no name can act on
// the terminal or pass for another; EscapeControlBytes leaves no control byte and keeps
// every other byte as it is, the backslash too.
//
// Input: the name.
#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "program/escaped_text.h"

namespace {

// A control byte, or a C1 control (U+0080 to U+009F) in UTF-8.
bool HasControlByte(const std::string& text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c < 32 || c == 127) return true;
    if (c == 0xC2 && i + 1 < text.size() && (static_cast<unsigned char>(text[i + 1]) & 0xE0) == 0x80)
      return true;
  }
  return false;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// Reads an escaped name back; false when the text is no escaped name.
bool ReadBack(const std::string& shown, std::string* name) {
  for (std::size_t i = 0; i < shown.size(); ++i) {
    if (shown[i] != '\\') {
      *name += shown[i];
      continue;
    }
    if (++i == shown.size()) return false;
    const char e = shown[i];
    if (e == '\\') {
      *name += '\\';
    } else if (e == 'n') {
      *name += '\n';
    } else if (e == 'r') {
      *name += '\r';
    } else if (e == 't') {
      *name += '\t';
    } else if (e == 'x' && i + 2 < shown.size() && HexValue(shown[i + 1]) >= 0 &&
             HexValue(shown[i + 2]) >= 0) {
      *name += static_cast<char>(HexValue(shown[i + 1]) * 16 + HexValue(shown[i + 2]));
      i += 2;
    } else {
      return false;
    }
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string name(reinterpret_cast<const char*>(data), size);
  const std::string shown = program::EscapeName(name);
  std::string back;
  if (HasControlByte(shown) || !ReadBack(shown, &back) || back != name)
    fuzz::Fail("EscapeName(" + fuzz::Show(name) + ") showed " + fuzz::Show(shown) +
               ", read back as " + fuzz::Show(back));
  const std::string line = program::EscapeControlBytes(name);
  if (HasControlByte(line) || line.size() < name.size())
    fuzz::Fail("EscapeControlBytes(" + fuzz::Show(name) + ") gave " + fuzz::Show(line));
  if (!HasControlByte(name) && line != name)
    fuzz::Fail("EscapeControlBytes changed " + fuzz::Show(name) + " to " + fuzz::Show(line));
  return 0;
}
