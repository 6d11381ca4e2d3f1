#include "common/pattern_facts.h"

#include <cstring>

namespace {

bool IsAsciiAlnum(unsigned char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// Escapes that never match an LF, nor change what the others match: word, digit and
// horizontal space classes and their complements that leave LF out, word boundaries, tab
// (not in a class, where it could start a range over the LF). A backslash before
// punctuation makes it literal.
bool IsSafeEscape(unsigned char c, bool inClass) {
  if (c < 0x20 || c == 0x7f || c >= 0x80) return false;
  if (!IsAsciiAlnum(c)) return true;
  return std::strchr(inClass ? "wdhSV" : "wdhSVtbB", c) != nullptr;
}

// The groups whose opening "(?" is followed by one of these: plain groups, lookarounds
// and the caseless switch. Any other option ((?s), (?x), (?m)...), a comment, a named or
// atomic group or a callout is not looked into.
bool IsSafeGroupOpening(const char* at) {
  static const char* const kOpenings[] = {"(?:",  "(?=",   "(?!",  "(?<=", "(?<!",
                                          "(?i)", "(?-i)", "(?i:", "(?-i:"};
  for (const char* opening : kOpenings)
    if (std::strncmp(at, opening, std::strlen(opening)) == 0) return true;
  return false;
}

// A class of literal characters, ranges of them and safe escapes; *at is past its "[".
// Negated classes and POSIX classes may hold an LF.
bool SkipSafeClass(const unsigned char** at) {
  const unsigned char* p = *at;
  if (*p == '^') return false;
  if (*p == ']') ++p;  // a "]" first is literal
  for (; *p != ']'; ++p) {
    if (*p == 0 || *p == '[' || *p < 0x20) return false;
    if (*p == '\\') {
      if (!IsSafeEscape(*++p, true)) return false;
    }
    // A range between characters from the space up cannot reach down to the LF.
  }
  *at = p + 1;
  return true;
}

// The pattern's metacharacters outside a class.
bool IsMeta(unsigned char c) { return std::strchr("\\^$.|?*+()[]{}", c) != nullptr; }

}  // namespace

bool IsPatternConfinedToLine(const char* text) {
  if (!text || !*text) return false;
  const auto* p = reinterpret_cast<const unsigned char*>(text);
  while (*p) {
    const unsigned char c = *p;
    if (c < 0x20 && c != '\t') return false;  // a literal LF, or a CR the range may not have
    if (c == '\\') {
      if (!IsSafeEscape(p[1], false)) return false;
      p += 2;
    } else if (c == '[') {
      ++p;
      if (!SkipSafeClass(&p)) return false;
    } else if (c == '(') {
      if (p[1] == '*') return false;  // verbs, and newline conventions set in the pattern
      if (p[1] == '?' && !IsSafeGroupOpening(reinterpret_cast<const char*>(p))) return false;
      ++p;
    } else {
      ++p;
    }
  }
  return true;
}

std::string FindLeadingText(const char* pattern, bool caseless) {
  if (!pattern || std::strchr(pattern, '|')) return {};
  const auto* p = reinterpret_cast<const unsigned char*>(pattern);
  if (*p == '^') ++p;  // at a line's start or not, the text still leads the match
  std::string text;
  for (;;) {
    unsigned char c = *p;
    std::size_t step = 1;
    if (c == '\\') {
      c = p[1];
      step = 2;
      // A backslash before punctuation makes it literal; before anything else it is a
      // class, an anchor or a code.
      if (c < 0x21 || c > 0x7e || IsAsciiAlnum(c)) break;
    } else if (c < 0x20 || c > 0x7e || IsMeta(c)) {
      break;
    }
    if (caseless && std::strchr("kKsS", c)) break;  // K also matches the Kelvin sign
    text += static_cast<char>(c);
    p += step;
  }
  // "ab?", "ab*" and "ab{0,2}" may do without the b.
  if (!text.empty() && (*p == '?' || *p == '*' || *p == '{')) text.pop_back();
  if (text.size() < 2) text.clear();
  return text;
}
