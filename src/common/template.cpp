#include "common/template.h"

#include "common/pattern.h"
#include "common/text_model.h"
#include "common/utf8.h"

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// The expansion's output. In the UTF-8 text model the bytes emitted are gathered into
// whole characters before their case is converted, whatever they come from (template,
// group, escapes); bytes that form no valid character pass unchanged.
struct Output {
  std::string text;
  bool utf8 = TextIsUtf8();
  std::string pending;  // the first bytes of a character still incomplete
  std::size_t expected = 0;  // the byte count that character will have
  CaseStates cases;
};

void FlushPending(Output& out) {
  out.text += out.pending;
  out.pending.clear();
}

void EmitCharacter(Output& out, char32_t c) {
  AppendUtf8(out.text, ConvertCaseOfCharacter(out.cases, c));
}

void EmitUtf8Byte(Output& out, unsigned char c) {
  if (!out.pending.empty()) {
    if ((c & 0xC0) == 0x80) {
      out.pending += static_cast<char>(c);
      if (out.pending.size() < out.expected) return;
      char32_t decoded;
      const auto* bytes = reinterpret_cast<const unsigned char*>(out.pending.data());
      if (DecodeUtf8(bytes, out.pending.size(), &decoded) > 0) {
        out.pending.clear();
        EmitCharacter(out, decoded);
      } else {
        FlushPending(out);  // an overlong form or a surrogate: no character
      }
      return;
    }
    FlushPending(out);  // cut short: those bytes are no character
  }
  const int length = Utf8SequenceLength(c);
  if (length == 1) {
    EmitCharacter(out, c);
  } else if (length > 1) {
    out.expected = static_cast<std::size_t>(length);
    out.pending = static_cast<char>(c);
  } else {
    out.text += static_cast<char>(c);  // no character: unchanged, a one-shot stays pending
  }
}

// A character with code 0 adds nothing: the output stays terminated where it was.
void Emit(Output& out, unsigned char c) {
  if (!out.utf8) {
    unsigned char converted = ConvertCase(out.cases, c);
    if (converted != 0) out.text += static_cast<char>(converted);
    return;
  }
  if (c == 0) {
    FlushPending(out);
    return;
  }
  EmitUtf8Byte(out, c);
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

void EmitGroup(Output& out, const char* subject, const int* ovector, int pairCount, long n) {
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
  Output out;
  if (!ovector) pairCount = 0;
  const char* p = templateText ? templateText : "";
  while (*p) {
    if (out.cases.oneShot == 0) out.cases.oneShot = out.cases.sticky;
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
      out.cases.sticky = 1;
    } else if (e == 'L') {
      out.cases.sticky = 2;
    } else if (e == 'E') {
      // Also drops a one-shot carried over from the stretch, so that the very next
      // character is never converted.
      out.cases.sticky = 0;
      out.cases.oneShot = 0;
    } else if (e == 'u') {
      out.cases.oneShot = 1;
    } else if (e == 'l') {
      out.cases.oneShot = 2;
    } else {
      Emit(out, static_cast<unsigned char>(e));
    }
  }
  FlushPending(out);
  return std::move(out.text);
}
