// What the scanners take from a pattern's text (common/pattern_facts.h), against the
// pattern engine itself, with the options the plugins compile with, used as the scanners
// use it. When IsPatternConfinedToLine says so, the first match from any position that
// starts within the position's line is the same whether the subject is the whole range or
// only that line, and takes in no LF. The first match from any position is the same as the
// first match from the next place where FindLeadingText's text begins (in either ASCII
// case when caseless), and there is none when the text does not occur.
//
// Input: a flags byte (bit 0 caseless, bit 1 the UTF-8 model), the pattern (ended by a
// zero byte), then the subject.
#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <algorithm>
#include <cstdint>
#include <string>

#include "common/pattern_facts.h"
#include "fuzz_support.h"
#include "reference_find.h"
#include "reference_utf8.h"

namespace {

// The engine's limits keep a pattern that backtracks without end from stalling the run.
pcre2_match_context* Limits() {
  static pcre2_match_context* context = [] {
    pcre2_match_context* made = pcre2_match_context_create(nullptr);
    pcre2_set_match_limit(made, 20000);
    pcre2_set_depth_limit(made, 2000);
    return made;
  }();
  return context;
}

struct Attempt {
  int rc;  // >= 0 a match, PCRE2_ERROR_NOMATCH, or the engine gave up
  std::size_t start = 0, end = 0;
  bool Answered() const { return rc >= 0 || rc == PCRE2_ERROR_NOMATCH; }
};

// The first match from at in the part [from, from + length) of the subject, with its
// offsets in the whole subject. Never anchored: the scanners do not anchor, and with
// invalid UTF-8 allowed in the subject the library does not keep to the anchoring.
Attempt FindFrom(const pcre2_code* code, pcre2_match_data* data, const std::string& subject,
                 std::size_t from, std::size_t length, std::size_t at) {
  Attempt attempt;
  attempt.rc = pcre2_match(code, reinterpret_cast<PCRE2_SPTR>(subject.data() + from), length,
                           at - from, 0, data, Limits());
  if (attempt.rc >= 0) {
    const PCRE2_SIZE* offsets = pcre2_get_ovector_pointer(data);
    attempt.start = from + offsets[0];
    attempt.end = from + offsets[1];
  }
  return attempt;
}

bool BeginsWith(const std::string& subject, std::size_t at, const std::string& text,
                bool caseless) {
  if (subject.size() - at < text.size()) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto a = static_cast<unsigned char>(subject[at + i]);
    const auto b = static_cast<unsigned char>(text[i]);
    if (caseless ? fuzz::FoldAscii(a) != fuzz::FoldAscii(b) : a != b) return false;
  }
  return true;
}

bool Same(const Attempt& a, const Attempt& b) {
  return (a.rc >= 0) == (b.rc >= 0) && (a.rc < 0 || (a.start == b.start && a.end == b.end));
}

std::string Show(const Attempt& a) {
  return a.rc >= 0 ? std::to_string(a.start) + "-" + std::to_string(a.end) : "none";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::Input input(data, size);
  const unsigned char flags = input.TakeByte();
  const bool caseless = flags & 1;
  const bool utf8 = flags & 2;
  const std::string pattern = input.TakeText();
  const std::string subject = input.TakeRest();
  if (pattern.size() > 128 || subject.size() > 512) return 0;  // each position is tried

  const std::uint32_t options = PCRE2_MULTILINE | (caseless ? PCRE2_CASELESS : 0) |
                                (utf8 ? PCRE2_UTF | PCRE2_MATCH_INVALID_UTF | PCRE2_UCP : 0);
  int error = 0;
  PCRE2_SIZE errorOffset = 0;
  pcre2_code* code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern.c_str()),
                                   PCRE2_ZERO_TERMINATED, options, &error, &errorOffset, nullptr);
  if (!code) return 0;
  pcre2_match_data* matchData = pcre2_match_data_create_from_pattern(code, nullptr);

  const bool inLine = IsPatternConfinedToLine(pattern.c_str());
  const std::string leading = FindLeadingText(pattern.c_str(), caseless);
  const std::string about = "pattern " + fuzz::Show(pattern) + (caseless ? " caseless" : "") +
                            (utf8 ? " UTF-8" : "") + " on " + fuzz::Show(subject);
  // Where the subject holds bytes that are no UTF-8, the engine treats the start of a
  // subject apart from the same place inside one ("^" before such a byte matches at the
  // start only), so the lines are compared on valid text alone.
  bool valid = true;
  for (std::size_t at = 0; utf8 && valid && at < subject.size();) {
    char32_t c;
    const int length = fuzz::ReferenceDecode(subject, at, &c);
    valid = length > 0;
    at += static_cast<std::size_t>(length);
  }
  const bool comparesLines = inLine && valid;
  std::size_t lineStart = 0;
  for (std::size_t at = 0; at <= subject.size(); ++at) {
    if (at > 0 && subject[at - 1] == '\n') lineStart = at;
    const Attempt whole = FindFrom(code, matchData, subject, 0, subject.size(), at);
    if (!whole.Answered()) continue;  // the engine gave up
    if (!leading.empty()) {
      std::size_t next = at;
      while (next < subject.size() && !BeginsWith(subject, next, leading, caseless)) ++next;
      Attempt jumped{PCRE2_ERROR_NOMATCH};
      if (next < subject.size())
        jumped = FindFrom(code, matchData, subject, 0, subject.size(), next);
      if (jumped.Answered() && !Same(whole, jumped))
        fuzz::Fail(about + ": from " + std::to_string(at) + " the match is " + Show(whole) +
                   ", from the leading text " + fuzz::Show(leading) + " at " +
                   std::to_string(next) + " it is " + Show(jumped));
    }
    if (!comparesLines) continue;
    const std::size_t lf = subject.find('\n', lineStart);
    const std::size_t lineEnd = lf == std::string::npos ? subject.size() : lf + 1;
    Attempt line = FindFrom(code, matchData, subject, lineStart, lineEnd - lineStart, at);
    if (!line.Answered()) continue;
    // Only a match that starts within the line is the line's.
    Attempt wholeInLine = whole;
    if (wholeInLine.rc >= 0 && wholeInLine.start >= lineEnd) wholeInLine.rc = PCRE2_ERROR_NOMATCH;
    if (line.rc >= 0 && line.start >= lineEnd) line.rc = PCRE2_ERROR_NOMATCH;
    if (!Same(wholeInLine, line))
      fuzz::Fail(about + ": from " + std::to_string(at) + " the whole range finds " +
                 Show(wholeInLine) + ", the line alone " + Show(line));
    if (wholeInLine.rc >= 0 &&
        subject.find('\n', wholeInLine.start) < std::max(wholeInLine.start, wholeInLine.end))
      fuzz::Fail(about + ": the match from " + std::to_string(at) + " takes in an LF");
  }
  pcre2_match_data_free(matchData);
  pcre2_code_free(code);
  return 0;
}
