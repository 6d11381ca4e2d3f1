// One character between the OEM and the ANSI code page, and the ANSI case mapping, through
// the user32 calls. Windows substitutes a look-alike (or "?") for a character that the
// other code page lacks; only a conversion that comes back unchanged is a counterpart.
#include "platform/platform.h"
#include "platform/win32/windows_api.h"

namespace platform {

namespace {

unsigned char OemToAnsi(unsigned char oem) {
  char from = static_cast<char>(oem);
  char to = 0;
  OemToCharBuffA(&from, &to, 1);
  return static_cast<unsigned char>(to);
}

unsigned char AnsiToOem(unsigned char ansi) {
  char from = static_cast<char>(ansi);
  char to = 0;
  CharToOemBuffA(&from, &to, 1);
  return static_cast<unsigned char>(to);
}

}  // namespace

bool ConvertOemToAnsi(unsigned char oem, unsigned char* ansi) {
  if (!ansi) return false;
  const unsigned char converted = OemToAnsi(oem);
  if (AnsiToOem(converted) != oem) return false;
  *ansi = converted;
  return true;
}

bool ConvertAnsiToOem(unsigned char ansi, unsigned char* oem) {
  if (!oem) return false;
  const unsigned char converted = AnsiToOem(ansi);
  if (OemToAnsi(converted) != ansi) return false;
  *oem = converted;
  return true;
}

bool IsUtf8TextAsked() { return false; }

char32_t CharacterOfOem(unsigned char oem) {
  const char from = static_cast<char>(oem);
  wchar_t to[2];
  if (MultiByteToWideChar(CP_OEMCP, MB_ERR_INVALID_CHARS, &from, 1, to, 2) != 1)
    return kNoOemCharacter;
  return static_cast<char32_t>(to[0]);
}

// Without best fit, and with the default character reported: a character the code page
// lacks is never turned into a look-alike or a "?".
bool ConvertCharacterToOem(char32_t c, unsigned char* oem) {
  if (c > 0xFFFF || (c >= 0xD800 && c <= 0xDFFF)) return false;
  const wchar_t from = static_cast<wchar_t>(c);
  char to[4];
  BOOL usedDefault = FALSE;
  const int n = WideCharToMultiByte(CP_OEMCP, WC_NO_BEST_FIT_CHARS, &from, 1, to, sizeof to,
                                    nullptr, &usedDefault);
  if (n != 1 || usedDefault) return false;
  *oem = static_cast<unsigned char>(to[0]);
  return true;
}

// CharUpperA and CharLowerA take one character in the low word of the pointer argument.
unsigned char UpperAnsi(unsigned char ansi) {
  if (ansi == 0) return 0;
  const auto result = reinterpret_cast<std::uintptr_t>(
      CharUpperA(reinterpret_cast<char*>(static_cast<std::uintptr_t>(ansi))));
  return static_cast<unsigned char>(result & 0xFF);
}

unsigned char LowerAnsi(unsigned char ansi) {
  if (ansi == 0) return 0;
  const auto result = reinterpret_cast<std::uintptr_t>(
      CharLowerA(reinterpret_cast<char*>(static_cast<std::uintptr_t>(ansi))));
  return static_cast<unsigned char>(result & 0xFF);
}

}  // namespace platform

namespace platform {

// CharUpperW and CharLowerW take one UTF-16 unit in the low word of the pointer argument;
// a character outside the basic plane keeps its case.
char32_t UpperCharacter(char32_t c) {
  if (c == 0 || c > 0xFFFF || (c >= 0xD800 && c <= 0xDFFF)) return c;
  const auto result = reinterpret_cast<std::uintptr_t>(
      CharUpperW(reinterpret_cast<wchar_t*>(static_cast<std::uintptr_t>(c))));
  return static_cast<char32_t>(result & 0xFFFF);
}

char32_t LowerCharacter(char32_t c) {
  if (c == 0 || c > 0xFFFF || (c >= 0xD800 && c <= 0xDFFF)) return c;
  const auto result = reinterpret_cast<std::uintptr_t>(
      CharLowerW(reinterpret_cast<wchar_t*>(static_cast<std::uintptr_t>(c))));
  return static_cast<char32_t>(result & 0xFFFF);
}

}  // namespace platform
