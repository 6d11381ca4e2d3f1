// One-byte conversions between the OEM and the ANSI code page and the ANSI case mapping,
// as tables built once through iconv and the C.UTF-8 locale's case rules.
#include <iconv.h>
#include <locale.h>
#include <wctype.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/platform.h"

namespace platform {

namespace {

constexpr std::uint32_t kNoCharacter = 0xFFFFFFFFu;

struct CharacterTables {
  std::uint32_t oemUnicode[256];  // kNoCharacter where the byte means nothing
  std::uint32_t ansiUnicode[256];
  int oemToAnsi[256];  // -1: no counterpart
  int ansiToOem[256];
  unsigned char upper[256];
  unsigned char lower[256];
};

int CodePageFromEnvironment(const char* name, int fallback) {
  const char* text = std::getenv(name);
  if (!text || !*text) return fallback;
  char* end = nullptr;
  long value = std::strtol(text, &end, 10);
  if (*end != '\0' || value <= 0 || value > 65535) return fallback;
  return static_cast<int>(value);
}

// The Unicode character of every byte of a single-byte code page.
void DecodeCodePage(int codePage, std::uint32_t* unicode) {
  for (int b = 0; b < 256; ++b) unicode[b] = b < 128 ? static_cast<std::uint32_t>(b) : kNoCharacter;
  char name[16];
  std::snprintf(name, sizeof name, "CP%d", codePage);
  iconv_t cd = iconv_open("UTF-32LE", name);
  if (cd == reinterpret_cast<iconv_t>(-1)) return;  // unknown code page: ASCII only
  for (int b = 128; b < 256; ++b) {
    char in = static_cast<char>(b);
    unsigned char out[8];
    char* inPtr = &in;
    char* outPtr = reinterpret_cast<char*>(out);
    std::size_t inLeft = 1;
    std::size_t outLeft = sizeof out;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    // Exactly one character for the one byte, or the byte has no meaning here.
    if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) != static_cast<std::size_t>(-1) &&
        inLeft == 0 && outLeft == sizeof out - 4) {
      unicode[b] =
          out[0] | (out[1] << 8) | (out[2] << 16) | (static_cast<std::uint32_t>(out[3]) << 24);
    }
  }
  iconv_close(cd);
}

int FindByte(const std::uint32_t* unicode, std::uint32_t character) {
  if (character == kNoCharacter) return -1;
  for (int b = 0; b < 256; ++b)
    if (unicode[b] == character) return b;
  return -1;
}

void BuildCaseTables(CharacterTables* t) {
  for (int b = 0; b < 256; ++b) {
    t->upper[b] = static_cast<unsigned char>(b >= 'a' && b <= 'z' ? b - 32 : b);
    t->lower[b] = static_cast<unsigned char>(b >= 'A' && b <= 'Z' ? b + 32 : b);
  }
  locale_t utf8 = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
  if (utf8 == static_cast<locale_t>(0)) return;  // ASCII letters only
  for (int b = 128; b < 256; ++b) {
    std::uint32_t c = t->ansiUnicode[b];
    if (c == kNoCharacter) continue;
    // A case partner outside the code page leaves the byte as it is.
    int up = FindByte(t->ansiUnicode,
                      static_cast<std::uint32_t>(towupper_l(static_cast<wint_t>(c), utf8)));
    int low = FindByte(t->ansiUnicode,
                       static_cast<std::uint32_t>(towlower_l(static_cast<wint_t>(c), utf8)));
    if (up >= 0) t->upper[b] = static_cast<unsigned char>(up);
    if (low >= 0) t->lower[b] = static_cast<unsigned char>(low);
  }
  freelocale(utf8);
}

CharacterTables BuildTables() {
  CharacterTables tables;
  CharacterTables* t = &tables;
  DecodeCodePage(CodePageFromEnvironment("QUARIX_OEM_CP", 866), t->oemUnicode);
  DecodeCodePage(CodePageFromEnvironment("QUARIX_ANSI_CP", 1251), t->ansiUnicode);
  for (int b = 0; b < 256; ++b) {
    t->oemToAnsi[b] = b < 128 ? b : FindByte(t->ansiUnicode, t->oemUnicode[b]);
    t->ansiToOem[b] = b < 128 ? b : FindByte(t->oemUnicode, t->ansiUnicode[b]);
  }
  BuildCaseTables(t);
  return tables;
}

// Built at the first use, never at load time; kept for the life of the process.
const CharacterTables& Tables() {
  static const CharacterTables tables = BuildTables();
  return tables;
}

}  // namespace

bool ConvertOemToAnsi(unsigned char oem, unsigned char* ansi) {
  int result = Tables().oemToAnsi[oem];
  if (result < 0) return false;
  if (ansi) *ansi = static_cast<unsigned char>(result);
  return true;
}

bool ConvertAnsiToOem(unsigned char ansi, unsigned char* oem) {
  int result = Tables().ansiToOem[ansi];
  if (result < 0) return false;
  if (oem) *oem = static_cast<unsigned char>(result);
  return true;
}

char32_t CharacterOfOem(unsigned char oem) {
  const std::uint32_t c = Tables().oemUnicode[oem];
  return c == kNoCharacter ? kNoOemCharacter : static_cast<char32_t>(c);
}

bool ConvertCharacterToOem(char32_t c, unsigned char* oem) {
  const int b = c < 0x80 ? static_cast<int>(c) : FindByte(Tables().oemUnicode, c);
  if (b < 0) return false;
  *oem = static_cast<unsigned char>(b);
  return true;
}

unsigned char UpperAnsi(unsigned char ansi) { return Tables().upper[ansi]; }

unsigned char LowerAnsi(unsigned char ansi) { return Tables().lower[ansi]; }

}  // namespace platform

namespace platform {

namespace {

// The C.UTF-8 locale, built into glibc, made once and kept for the process; null when the
// C library lacks it, and then only the ASCII letters change case.
// Freed when the module is unloaded: a module loaded and unloaded again leaks nothing.
struct OwnedLocale {
  locale_t locale;
  ~OwnedLocale() {
    if (locale != static_cast<locale_t>(0)) freelocale(locale);
  }
};

locale_t UnicodeLocale() {
  static const OwnedLocale owned{newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0))};
  return owned.locale;
}

bool IsUnicodeScalar(char32_t c) { return c < 0xD800 || (c > 0xDFFF && c <= 0x10FFFF); }

}  // namespace

bool IsUtf8TextAsked() {
  const char* text = std::getenv("QUARIX_TEXT");
  return text && std::strcmp(text, "utf-8") == 0;
}

char32_t UpperCharacter(char32_t c) {
  if (c < 0x80) return c >= U'a' && c <= U'z' ? c - 0x20 : c;
  const locale_t locale = UnicodeLocale();
  if (locale == static_cast<locale_t>(0) || !IsUnicodeScalar(c)) return c;
  return static_cast<char32_t>(towupper_l(static_cast<wint_t>(c), locale));
}

char32_t LowerCharacter(char32_t c) {
  if (c < 0x80) return c >= U'A' && c <= U'Z' ? c + 0x20 : c;
  const locale_t locale = UnicodeLocale();
  if (locale == static_cast<locale_t>(0) || !IsUnicodeScalar(c)) return c;
  return static_cast<char32_t>(towlower_l(static_cast<wint_t>(c), locale));
}

}  // namespace platform
