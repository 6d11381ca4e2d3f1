#include "common/template.h"

#include "common/pattern.h"

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// A character with code 0 adds nothing: the output stays terminated where it was.
void Emit(std::string& out, unsigned char c) {
  unsigned char converted = ConvertCase(c);
  if (converted != 0) out += static_cast<char>(converted);
}

// The control character an escape letter stands for, or -1.
int ControlEscape(char c) {
  switch (c) {
    case 'a':
      return 7;
    case 'b':
      return 8;
    case 'e':
      return 27;
    case 'f':
      return 12;
    case 'r':
      return 13;
    case 't':
      return 9;
    case 'v':
      return 11;
    default:
      return -1;
  }
}

void EmitGroup(std::string& out, const char* subject, const int* ovector, int pairCount, long n) {
  if (n >= pairCount || !subject) return;
  int start = ovector[2 * n];
  int end = ovector[2 * n + 1];
  if (start < 0 || end < start) return;
  // Group text ends at its first zero byte, as a zero-terminated copy would.
  for (int i = start; i < end && subject[i] != '\0'; ++i)
    Emit(out, static_cast<unsigned char>(subject[i]));
}

}  // namespace

std::string ExpandTemplate(const char* subject, const int* ovector, int pairCount,
                           const char* templateText, const char* lineBreak) {
  std::string out;
  CaseSticky = 0;
  CaseOneShot = 0;
  if (!ovector) pairCount = 0;
  const char* p = templateText ? templateText : "";
  while (*p) {
    if (CaseOneShot == 0) CaseOneShot = CaseSticky;
    const char c = *p++;
    if (c == '$') {
      if (pairCount <= 0 || *p == '\0') {
        Emit(out, '$');
        continue;
      }
      // Every digit is consumed; a number too large for any group names none.
      long n = 0;
      for (; IsDigit(*p); ++p)
        if (n < pairCount) n = n * 10 + (*p - '0');
      EmitGroup(out, subject, ovector, pairCount, n);
      continue;
    }
    if (c != '\\') {
      Emit(out, static_cast<unsigned char>(c));
      continue;
    }
    if (*p == '\0') {
      Emit(out, '\\');
      continue;
    }
    const char e = *p++;
    if (IsDigit(e)) {
      // Up to three digits; 8 and 9 count with their decimal value.
      int value = e - '0';
      for (int digits = 1; digits < 3 && IsDigit(*p); ++digits) value = value * 8 + (*p++ - '0');
      Emit(out, static_cast<unsigned char>(value & 0xFF));
    } else if (e == 'x') {
      int value = 0;
      for (int digits = 0; digits < 2 && HexValue(*p) >= 0; ++digits)
        value = value * 16 + HexValue(*p++);
      Emit(out, static_cast<unsigned char>(value));
    } else if (ControlEscape(e) >= 0) {
      Emit(out, static_cast<unsigned char>(ControlEscape(e)));
    } else if (e == 'n') {
      for (const char* b = lineBreak ? lineBreak : ""; *b; ++b)
        Emit(out, static_cast<unsigned char>(*b));
    } else if (e == 'U') {
      CaseSticky = 1;
    } else if (e == 'L') {
      CaseSticky = 2;
    } else if (e == 'E') {
      // Also drops a one-shot carried over from the stretch, so that the very next
      // character is never converted.
      CaseSticky = 0;
      CaseOneShot = 0;
    } else if (e == 'u') {
      CaseOneShot = 1;
    } else if (e == 'l') {
      CaseOneShot = 2;
    } else {
      Emit(out, static_cast<unsigned char>(e));
    }
  }
  CaseSticky = 0;
  CaseOneShot = 0;
  return out;
}
