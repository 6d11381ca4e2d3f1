// ExpandTemplate against a reference written from the template's rules: "$" and a number
// for a group, backslash escapes for codes, control characters, the line break and case,
// and every emitted character converted by the case states (in the UTF-8 text model
// whole characters, gathered from the bytes whatever they came from).
//
// Input: a flags byte (bit 0 the UTF-8 model, bits 1-4 the pair count, bit 5 no offset
// vector), the template and the line break (each ended by a zero byte), two bytes per
// offset pair, then the subject.
#include <cstdint>
#include <string>
#include <vector>

#include "common/template.h"
#include "common/text_model.h"
#include "fuzz_support.h"
#include "platform/platform.h"
#include "reference_utf8.h"

namespace {

// One step of the template: a byte to emit, a group, the line break, or a change of case.
struct Token {
  enum Kind { kByte, kGroup, kLineBreak, kUpper, kLower, kEnd, kOneUpper, kOneLower } kind;
  unsigned char byte = 0;
  long group = -1;  // -1: a number that names no group
};

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::vector<Token> ReadTemplate(const std::string& t, int pairCount) {
  std::vector<Token> tokens;
  std::size_t i = 0;
  while (i < t.size()) {
    const char c = t[i++];
    const bool last = i == t.size();
    if (c == '$' && pairCount > 0 && !last) {
      std::string digits;
      while (i < t.size() && IsDigit(t[i])) digits += t[i++];
      // The number's value without its leading zeros; ten digits or more name no group.
      const std::size_t first = digits.find_first_not_of('0');
      const std::string significant = first == std::string::npos ? "" : digits.substr(first);
      long n = significant.size() > 9 ? -1 : significant.empty() ? 0 : std::stol(significant);
      if (n >= pairCount) n = -1;
      tokens.push_back({Token::kGroup, 0, n});
      continue;
    }
    if (c != '\\' || last) {
      tokens.push_back({Token::kByte, static_cast<unsigned char>(c)});
      continue;
    }
    const char e = t[i++];
    if (IsDigit(e)) {
      int value = e - '0';
      for (int taken = 1; taken < 3 && i < t.size() && IsDigit(t[i]); ++taken)
        value = value * 8 + (t[i++] - '0');
      tokens.push_back({Token::kByte, static_cast<unsigned char>(value % 256)});
      continue;
    }
    if (e == 'x') {
      int value = 0;
      for (int taken = 0; taken < 2 && i < t.size() && HexDigitValue(t[i]) >= 0; ++taken)
        value = value * 16 + HexDigitValue(t[i++]);
      tokens.push_back({Token::kByte, static_cast<unsigned char>(value)});
      continue;
    }
    static const std::string kControlLetters = "abefrtv";
    static const unsigned char kControlCodes[] = {7, 8, 27, 12, 13, 9, 11};
    const std::size_t control = kControlLetters.find(e);
    if (control != std::string::npos) {
      tokens.push_back({Token::kByte, kControlCodes[control]});
    } else if (e == 'n') {
      tokens.push_back({Token::kLineBreak});
    } else if (e == 'U') {
      tokens.push_back({Token::kUpper});
    } else if (e == 'L') {
      tokens.push_back({Token::kLower});
    } else if (e == 'E') {
      tokens.push_back({Token::kEnd});
    } else if (e == 'u') {
      tokens.push_back({Token::kOneUpper});
    } else if (e == 'l') {
      tokens.push_back({Token::kOneLower});
    } else {
      tokens.push_back({Token::kByte, static_cast<unsigned char>(e)});
    }
  }
  return tokens;
}

// The output and the case states while the tokens are played.
struct Writer {
  bool utf8 = false;
  int sticky = 0;   // 0 none, 1 upper, 2 lower
  int oneShot = 0;  // the same, for the next character
  std::string out;
  std::string pending;  // UTF-8: the bytes of a character not yet complete

  // The case a character takes now; a character that takes a case uses up the one-shot.
  int TakeCase() {
    const int mode = oneShot;
    if (mode != 0) oneShot = sticky;
    return mode;
  }

  void PutCharacter(char32_t c) {
    const int mode = TakeCase();
    if (mode == 1) c = platform::UpperCharacter(c);
    if (mode == 2) c = platform::LowerCharacter(c);
    std::string bytes;
    if (c < 0x80) {
      bytes = std::string(1, static_cast<char>(c));
    } else if (c < 0x800) {
      bytes = {static_cast<char>(0xC0 | (c >> 6)), static_cast<char>(0x80 | (c & 0x3F))};
    } else if (c < 0x10000) {
      bytes = {static_cast<char>(0xE0 | (c >> 12)), static_cast<char>(0x80 | ((c >> 6) & 0x3F)),
               static_cast<char>(0x80 | (c & 0x3F))};
    } else {
      bytes = {static_cast<char>(0xF0 | (c >> 18)), static_cast<char>(0x80 | ((c >> 12) & 0x3F)),
               static_cast<char>(0x80 | ((c >> 6) & 0x3F)), static_cast<char>(0x80 | (c & 0x3F))};
    }
    out += bytes;
  }

  // An OEM character converts through its ANSI counterpart when it has one both ways;
  // one without keeps the one-shot for the next.
  void PutOem(unsigned char c) {
    unsigned char ansi = 0, back = 0;
    const bool convertible = platform::ConvertOemToAnsi(c, &ansi) &&
                             platform::ConvertAnsiToOem(ansi, &back) && back == c;
    unsigned char result = c;
    if (convertible && (sticky != 0 || oneShot != 0)) {
      const int mode = TakeCase();
      if (mode == 1) ansi = platform::UpperAnsi(ansi);
      if (mode == 2) ansi = platform::LowerAnsi(ansi);
      unsigned char oem = 0;
      if (platform::ConvertAnsiToOem(ansi, &oem)) result = oem;
    }
    if (result != 0) out += static_cast<char>(result);
  }

  void FlushPending() {
    out += pending;
    pending.clear();
  }

  void Put(unsigned char c) {
    if (!utf8) return PutOem(c);
    if (c == 0) return FlushPending();  // a zero adds nothing and ends what it cuts into
    if (!pending.empty()) {
      if (c >= 0x80 && c <= 0xBF) {
        pending += static_cast<char>(c);
        if (pending.size() < static_cast<std::size_t>(fuzz::ReferenceLeadLength(
                                 static_cast<unsigned char>(pending[0]))))
          return;
        char32_t decoded;
        if (fuzz::ReferenceDecode(pending, 0, &decoded) == static_cast<int>(pending.size())) {
          pending.clear();
          PutCharacter(decoded);
        } else {
          FlushPending();
        }
        return;
      }
      FlushPending();
    }
    const int length = fuzz::ReferenceLeadLength(c);
    if (length == 1)
      PutCharacter(c);
    else if (length > 1)
      pending = std::string(1, static_cast<char>(c));
    else
      out += static_cast<char>(c);  // no character: as it is, the one-shot waits
  }
};

std::string ReferenceExpand(const std::string& subject, const std::vector<int>* ovector,
                            int pairCount, const std::string& templateText,
                            const std::string& lineBreak, bool utf8) {
  if (!ovector) pairCount = 0;
  Writer w;
  w.utf8 = utf8;
  for (const Token& token : ReadTemplate(templateText, pairCount)) {
    if (w.oneShot == 0) w.oneShot = w.sticky;
    switch (token.kind) {
      case Token::kByte:
        w.Put(token.byte);
        break;
      case Token::kGroup: {
        if (token.group < 0) break;
        const int start = (*ovector)[2 * token.group];
        const int end = (*ovector)[2 * token.group + 1];
        if (start < 0) break;
        // A group's text ends at its first zero byte.
        for (int k = start; k < end && subject[k] != '\0'; ++k)
          w.Put(static_cast<unsigned char>(subject[k]));
        break;
      }
      case Token::kLineBreak:
        for (char c : lineBreak) w.Put(static_cast<unsigned char>(c));
        break;
      case Token::kUpper:
        w.sticky = 1;
        break;
      case Token::kLower:
        w.sticky = 2;
        break;
      case Token::kEnd:
        w.sticky = 0;
        w.oneShot = 0;
        break;
      case Token::kOneUpper:
        w.oneShot = 1;
        break;
      case Token::kOneLower:
        w.oneShot = 2;
        break;
    }
  }
  w.FlushPending();
  return w.out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::Input input(data, size);
  const unsigned char flags = input.TakeByte();
  const bool utf8 = flags & 1;
  const int pairCount = (flags >> 1) & 15;
  const bool noVector = flags & 32;
  const std::string templateText = input.TakeText();
  const std::string lineBreak = input.TakeText();
  std::vector<unsigned char> pairBytes(2 * static_cast<std::size_t>(pairCount));
  for (unsigned char& b : pairBytes) b = input.TakeByte();
  const std::string subject = input.TakeRest();

  // Offsets as the pattern engine gives them: within the subject, or -1 for both.
  const int length = static_cast<int>(subject.size());
  std::vector<int> ovector;
  for (int pair = 0; pair < pairCount; ++pair) {
    const int a = pairBytes[2 * pair], b = pairBytes[2 * pair + 1];
    if (a == 0xFF) {
      ovector.insert(ovector.end(), {-1, -1});
      continue;
    }
    const int start = a % (length + 1);
    ovector.insert(ovector.end(), {start, start + b % (length - start + 1)});
  }

  SetTextIsUtf8(utf8);
  const std::vector<int>* vector = noVector ? nullptr : &ovector;
  const std::string expanded =
      ExpandTemplate(subject.c_str(), vector ? vector->data() : nullptr, pairCount,
                     templateText.c_str(), lineBreak.c_str());
  const std::string expected =
      ReferenceExpand(subject, vector, pairCount, templateText, lineBreak, utf8);
  if (expanded != expected) {
    std::string offsets;
    for (int v : ovector) offsets += std::to_string(v) + " ";
    fuzz::Fail("template " + fuzz::Show(templateText) + " line break " + fuzz::Show(lineBreak) +
               " subject " + fuzz::Show(subject) + " pairs " + std::to_string(pairCount) +
               " [" + offsets + "]" + (utf8 ? " UTF-8" : " OEM") + ": expanded " +
               fuzz::Show(expanded) + ", expected " + fuzz::Show(expected));
  }
  return 0;
}
