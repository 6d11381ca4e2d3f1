#include "common/pattern.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <algorithm>
#include <atomic>
#include <climits>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "common/folded_text.h"
#include "common/messages.h"
#include "common/pattern_facts.h"
#include "common/text_model.h"
#include "common/utf8.h"

// Read-only once compiled: several threads may match one pattern at once, each with match
// data of its own.
struct CompiledPattern {
  pcre2_code* code = nullptr;
  std::uint64_t id = 0;     // never the same for two patterns of one process
  std::uint32_t pairs = 1;  // offset pairs a match sets: the whole match and each group
  bool jit = false;
  bool exactCase = false;  // compiled case-sensitive and no inline option can change that
  bool utf = false;        // compiled in the UTF-8 text model
  std::size_t reach = 1;   // see PatternLookbehindReach
  bool inLine = false;     // see PatternStaysInLine
  std::string leadingText;  // see PatternLeadingText
  bool caseless = false;    // compiled caseless
};

namespace {

std::atomic<std::uint64_t> nextPatternId{1};

// A caret further right than a dialog line holds would only make the host cut the line;
// past this the caret stays at the edge.
constexpr std::size_t kMaxCaretColumn = 510;

// The column of the text's byte offset: in the UTF-8 text model the characters before it.
std::size_t ColumnOfOffset(const char* text, std::size_t offset) {
  if (!TextIsUtf8()) return offset;
  const std::size_t length = std::strlen(text);
  std::size_t column = 0;
  for (std::size_t at = 0; at < offset && at < length; ++column)
    at += CharacterLengthAt(text, length, at);
  return column;
}

void ShowPatternError(int errorCode, std::size_t offset, const char* text) {
  PCRE2_UCHAR message[256];
  if (pcre2_get_error_message(errorCode, message, sizeof(message)) == PCRE2_ERROR_BADDATA)
    std::strcpy(reinterpret_cast<char*>(message), "unknown error");
  const std::size_t column = ColumnOfOffset(text, offset);
  std::string caret(column < kMaxCaretColumn ? column : kMaxCaretColumn, ' ');
  caret += '^';
  const char* lines[] = {"RegExp error", reinterpret_cast<const char*>(message), "\x01", text,
                         caret.c_str()};
  ShowWarning("RegExpError", lines, 5);
}

// The pattern, with the JIT where it works; null when there is no memory for it.
CompiledPattern* WrapCode(pcre2_code* code) {
  auto* compiled = new (std::nothrow) CompiledPattern;
  if (!compiled) {
    pcre2_code_free(code);
    return nullptr;
  }
  compiled->code = code;
  compiled->id = nextPatternId.fetch_add(1, std::memory_order_relaxed);
  std::uint32_t groups = 0;
  if (pcre2_pattern_info(code, PCRE2_INFO_CAPTURECOUNT, &groups) == 0) compiled->pairs = groups + 1;
  // Without the JIT (not built in, no executable memory, or a pattern that starts with
  // (*NO_JIT), for which the compile succeeds with nothing compiled) the interpreter does
  // the work.
  std::size_t jitSize = 0;
  compiled->jit = pcre2_jit_compile(code, PCRE2_JIT_COMPLETE) == 0 &&
                  pcre2_pattern_info(code, PCRE2_INFO_JITSIZE, &jitSize) == 0 && jitSize > 0;
  return compiled;
}

// In the UTF-8 text model a pattern works on characters and never rejects a subject:
// bytes that are no valid UTF-8 (binary files, other encodings) match no pattern item but
// are searched around. \w, \d, \s and \b know every script's letters, digits and spaces,
// as users of a UTF-8 tool expect "\w+" to match a Cyrillic word.
constexpr std::uint32_t kUtf8Options = PCRE2_UTF | PCRE2_MATCH_INVALID_UTF | PCRE2_UCP;

}  // namespace

int CompilePattern(CompiledPattern** pattern, const char* text, int caseSensitive) {
  if (!text || !*text) return 1;
  const bool utf = TextIsUtf8();
  const std::uint32_t options =
      PCRE2_MULTILINE | (caseSensitive ? 0 : PCRE2_CASELESS) | (utf ? kUtf8Options : 0);
  int errorCode = 0;
  PCRE2_SIZE errorOffset = 0;
  // No compile context: the library's default character tables.
  pcre2_code* code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(text), PCRE2_ZERO_TERMINATED,
                                   options, &errorCode, &errorOffset, nullptr);
  if (!code) {
    *pattern = nullptr;
    ShowPatternError(errorCode, errorOffset, text);
    return 0;
  }
  CompiledPattern* compiled = WrapCode(code);
  if (!compiled) {
    *pattern = nullptr;
    ShowPatternError(PCRE2_ERROR_NOMEMORY, 0, text);
    return 0;
  }
  compiled->exactCase = caseSensitive && !std::strstr(text, "(?");
  compiled->utf = utf;
  compiled->inLine = IsPatternConfinedToLine(text);
  compiled->caseless = !caseSensitive;
  compiled->leadingText = FindLeadingText(text, compiled->caseless);
  // Each lookbehind steps back at most the longest one's length; they nest no deeper than
  // the pattern has parentheses; an anchor or \b at the deepest point reads one character
  // more. In UTF-8 those lengths count characters of up to four bytes each.
  std::uint32_t longest = 0;
  pcre2_pattern_info(code, PCRE2_INFO_MAXLOOKBEHIND, &longest);
  const std::size_t nesting = std::max<std::size_t>(
      static_cast<std::size_t>(std::count(text, text + std::strlen(text), '(')), 1);
  compiled->reach = (static_cast<std::size_t>(longest) * nesting + 2) * (utf ? 4 : 1);
  *pattern = compiled;
  return 1;
}

int CompileFoldedText(CompiledPattern** pattern, const char* text, std::size_t length) {
  *pattern = nullptr;
  int errorCode = 0;
  PCRE2_SIZE errorOffset = 0;
  pcre2_code* code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(text), length,
                                   PCRE2_LITERAL | PCRE2_CASELESS | PCRE2_UTF |
                                       PCRE2_MATCH_INVALID_UTF,
                                   &errorCode, &errorOffset, nullptr);
  if (!code) return 0;
  CompiledPattern* compiled = WrapCode(code);
  if (!compiled) return 0;
  compiled->utf = true;
  compiled->reach = 0;  // a text looks at nothing before its start
  *pattern = compiled;
  return 1;
}

namespace {

// The match data of the patterns this thread matched lately, each reused by every match of
// its pattern on the thread. A pattern is matched on several threads at once, so its
// match data cannot be kept with it; and each pattern has its own, since the data keeps
// the frames the engine grew for that pattern, which its heap limit counts.
class ThreadMatchData {
 public:
  ThreadMatchData() = default;
  ThreadMatchData(const ThreadMatchData&) = delete;
  ThreadMatchData& operator=(const ThreadMatchData&) = delete;
  ~ThreadMatchData() {
    for (const Entry& entry : entries_) pcre2_match_data_free(entry.data);
  }

  // Null when there is no memory for it.
  pcre2_match_data* For(const CompiledPattern* pattern) {
    for (std::size_t i = entries_.size(); i-- > 0;)
      if (entries_[i].id == pattern->id) return entries_[i].data;
    pcre2_match_data* data = pcre2_match_data_create_from_pattern(pattern->code, nullptr);
    if (!data) return nullptr;
    if (entries_.size() >= kKept) {
      pcre2_match_data_free(entries_.front().data);
      entries_.erase(entries_.begin());
    }
    entries_.push_back({pattern->id, data});
    return data;
  }
  // The pattern is released: its data goes with it (on this thread; another thread's goes
  // when that thread ends or needs the room).
  void Forget(std::uint64_t id) {
    for (std::size_t i = 0; i < entries_.size(); ++i) {
      if (entries_[i].id != id) continue;
      pcre2_match_data_free(entries_[i].data);
      entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(i));
      return;
    }
  }

 private:
  // A word list of patterns matches a few patterns in turn on every file.
  static constexpr std::size_t kKept = 16;
  struct Entry {
    std::uint64_t id;
    pcre2_match_data* data;
  };
  std::vector<Entry> entries_;
};
// Behind a plain pointer, released by the thread's owner (ReleaseThreadMatchState): an
// object with a destructor in thread-local storage is not safe on every target (with
// mingw's static runtime a thread that ends with two of them crashes).
thread_local ThreadMatchData* threadMatchData = nullptr;

// Null when there is no memory for it.
ThreadMatchData* ThisThreadMatchData() {
  if (!threadMatchData) threadMatchData = new (std::nothrow) ThreadMatchData;
  return threadMatchData;
}

}  // namespace

void ReleaseThreadMatchState() {
  ReleaseThreadFoldedTexts();
  delete threadMatchData;
  threadMatchData = nullptr;
}

void ReleasePattern(CompiledPattern** pattern) {
  if (!*pattern) return;
  if (threadMatchData) threadMatchData->Forget((*pattern)->id);
  pcre2_code_free((*pattern)->code);
  delete *pattern;
  *pattern = nullptr;
}

namespace {


// One match attempt; the library's result, the offsets left in *match.
int RunMatch(const CompiledPattern* pattern, const char* subject, std::size_t length,
             std::size_t startOffset, int options, pcre2_match_data** match) {
  if (!pattern) return PCRE2_ERROR_NULL;
  ThreadMatchData* data = ThisThreadMatchData();
  *match = data ? data->For(pattern) : nullptr;
  if (!*match) return PCRE2_ERROR_NOMEMORY;
  if (!subject) {
    if (length) return PCRE2_ERROR_NULL;
    subject = "";
  }
  const std::uint32_t flags = ((options & kMatchNotBol) ? PCRE2_NOTBOL : 0) |
                             ((options & kMatchNotEol) ? PCRE2_NOTEOL : 0) |
                             ((options & kMatchNotEmptyAtStart) ? PCRE2_NOTEMPTY_ATSTART : 0);
  const auto* start = reinterpret_cast<PCRE2_SPTR>(subject);
  int rc;
  if (pattern->jit) {
    rc = pcre2_jit_match(pattern->code, start, length, startOffset, flags, *match, nullptr);
    // The JIT's fixed stack is an artefact of the engine, not an answer: the interpreter,
    // which keeps its backtracking on the heap, decides instead.
    if (rc == PCRE2_ERROR_JIT_STACKLIMIT)
      rc = pcre2_match(pattern->code, start, length, startOffset, flags | PCRE2_NO_JIT, *match,
                       nullptr);
  } else {
    rc = pcre2_match(pattern->code, start, length, startOffset, flags, *match, nullptr);
  }
  return rc;
}

}  // namespace

int MatchPattern(const CompiledPattern* pattern, const char* subject, std::size_t length,
                 std::size_t startOffset, int options, int* ovector, int pairs) {
  pcre2_match_data* match = nullptr;
  const int rc = RunMatch(pattern, subject, length, startOffset, options, &match);
  if (rc < 0) return rc;
  if (pairs <= 0 || !ovector) return 0;  // a match, with no room for its offsets

  const PCRE2_SIZE* offsets = pcre2_get_ovector_pointer(match);
  // Only the pattern's own pairs: the thread's match data may hold more.
  const int available = static_cast<int>(pattern->pairs);
  for (int i = 0; i < pairs; ++i) {
    for (int j = 0; j < 2; ++j) {
      int value = -1;
      if (i < available && i < rc && offsets[2 * i + j] != PCRE2_UNSET) {
        if (offsets[2 * i + j] > static_cast<PCRE2_SIZE>(INT_MAX)) return PCRE2_ERROR_BADOFFSET;
        value = static_cast<int>(offsets[2 * i + j]);
      }
      ovector[2 * i + j] = value;
    }
  }
  // As the classic interface did: 0 tells the caller its vector was too small.
  return rc > pairs ? 0 : rc;
}

int FindPatternMatch(const CompiledPattern* pattern, const char* subject, std::size_t length,
                     std::size_t startOffset, int options, std::size_t* start, std::size_t* end) {
  pcre2_match_data* match = nullptr;
  const int rc = RunMatch(pattern, subject, length, startOffset, options, &match);
  if (rc < 0) return AnswerOfMatch(rc);
  const PCRE2_SIZE* offsets = pcre2_get_ovector_pointer(match);
  *start = offsets[0];
  *end = offsets[1];
  return 1;
}

static_assert(PCRE2_ERROR_NOMATCH == -1, "AnswerOfMatch takes -1 for no match");

int AnswerOfFailedMatch(int result) {
  if (result >= 0) return 1;
  switch (result) {
    case PCRE2_ERROR_MATCHLIMIT:
      return -kLimitBacktracking;
    case PCRE2_ERROR_DEPTHLIMIT:
      return -kLimitDepth;
    case PCRE2_ERROR_HEAPLIMIT:
    case PCRE2_ERROR_NOMEMORY:
      return -kLimitMemory;
    default:  // no match, or an error that no subject can change
      return 0;
  }
}

int PatternGroupCount(const CompiledPattern* pattern) {
  if (!pattern) return 0;
  std::uint32_t count = 0;
  if (pcre2_pattern_info(pattern->code, PCRE2_INFO_CAPTURECOUNT, &count) != 0) return 0;
  return static_cast<int>(count);
}

std::size_t PatternLookbehindReach(const CompiledPattern* pattern) {
  return pattern ? pattern->reach : 0;
}

bool PatternStaysInLine(const CompiledPattern* pattern) { return pattern && pattern->inLine; }

const std::string& PatternLeadingText(const CompiledPattern* pattern, bool* caseless) {
  static const std::string kNone;
  *caseless = pattern && pattern->caseless;
  return pattern ? pattern->leadingText : kNone;
}

int GetRequiredBytes(const CompiledPattern* pattern, RequiredByte* bytes) {
  if (!pattern) return 0;
  int count = 0;
  auto add = [&](std::uint32_t typeWhat, std::uint32_t unitWhat) {
    std::uint32_t type = 0;
    std::uint32_t unit = 0;
    if (pcre2_pattern_info(pattern->code, typeWhat, &type) != 0 || type != 1) return;
    if (pcre2_pattern_info(pattern->code, unitWhat, &unit) != 0 || unit > 255) return;
    const unsigned char value = static_cast<unsigned char>(unit);
    // In UTF-8 the library sets no such unit for a letter it matches caselessly by Unicode's
    // rules (its bytes differ between the cases); a byte of a multibyte character is taken
    // only from a pattern that is case-sensitive throughout, so that no inline option can
    // make a wrong guess drop matches.
    if (pattern->utf && value >= 0x80 && !pattern->exactCase) return;
    const bool letter = (value >= 'A' && value <= 'Z') || (value >= 'a' && value <= 'z');
    // The library does not tell whether a unit is caseless; only an exactly case-sensitive
    // pattern may be trusted to want this case. The default tables fold nothing but A-Z.
    bytes[count++] = RequiredByte{value, letter && !pattern->exactCase};
  };
  add(PCRE2_INFO_FIRSTCODETYPE, PCRE2_INFO_FIRSTCODEUNIT);
  add(PCRE2_INFO_LASTCODETYPE, PCRE2_INFO_LASTCODEUNIT);
  return count;
}
