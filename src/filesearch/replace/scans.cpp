#include "filesearch/replace/scans.h"

#include <climits>
#include <cstring>
#include <vector>

#include "common/folded_text.h"
#include "common/pattern.h"
#include "common/template.h"
#include "filesearch/byte_scan.h"
#include "filesearch/line_modes.h"
#include "filesearch/match_context.h"
#include "filesearch/mode_functions.h"

namespace {

// Pattern offsets are ints: a longer subject could report matches that do not fit.
constexpr std::size_t kMaxSubject = INT_MAX;

bool WriteBytes(ReplaceOutput* out, const unsigned char* bytes, std::size_t count) {
  if (count == 0) return true;
  if (out->sink->write(bytes, count)) return true;
  out->failed = true;
  return false;
}

bool WriteReplacement(ReplaceOutput* out, const std::string& replacement) {
  if (!out->sink->insert)
    return WriteBytes(out, reinterpret_cast<const unsigned char*>(replacement.data()),
                      replacement.size());
  if (out->sink->insert(replacement)) return true;
  out->failed = true;
  return false;
}

bool SameText(const unsigned char* bytes, const unsigned char* text, std::size_t n, bool exact) {
  if (exact) return std::memcmp(bytes, text, n) == 0;
  for (std::size_t i = 0; i < n; ++i)
    if (FoldAsciiCase(bytes[i]) != FoldAsciiCase(text[i])) return false;
  return true;
}

// Whether at starts a line of the content that begins at begin: the content's start, or
// just after a line end that is not the CR of a CR LF pair (end: where the bytes end).
bool StartsLine(const unsigned char* begin, const unsigned char* at, const unsigned char* end) {
  if (at == begin || at[-1] == '\n') return true;
  return at[-1] == '\r' && (at == end || *at != '\n');
}

// Replaces every match in [subject, end). With content (the window mode) the engine is told
// where the content's lines start: a search that starts inside a line, after a match, may
// not match "^" there; without (the line mode) the point after a replaced match counts as
// a subject start. endsLine: the end of the subject is a line end (else "$" does not match
// there). After an empty match the same subject is searched again from the same place for
// a match that is not empty there (a lazy or alternative pattern may still take the byte
// there, as in perl); every loop ends, since each search either consumes a byte or finds
// its empty match further on, and what precedes still counts for look-behinds and word
// boundaries.
// *lastEnd is the end of the last match, or the subject when nothing matched; *lastEmpty
// tells whether that match was empty. False when the file must stop: a write failed or was
// declined, Escape was pressed (out->interrupted), or the engine gave up (out->limit).
bool ReplaceInSubject(ReplaceOutput* out, const unsigned char* subject, const unsigned char* end,
                      const unsigned char* content, bool endsLine, int* ovector, int pairs,
                      const unsigned char** lastEnd, bool* lastEmpty) {
  *lastEnd = subject;
  *lastEmpty = false;
  const int endOptions = endsLine ? 0 : kMatchNotEol;
  auto optionsAt = [&](const unsigned char* at) {
    return endOptions | (content && !StartsLine(content, at, end) ? kMatchNotBol : 0);
  };
  int options = optionsAt(subject);
  std::size_t offset = 0;
  for (;;) {
    if (out->context->PollWithinFile()) {
      out->interrupted = true;
      return false;
    }
    const char* text = reinterpret_cast<const char*>(subject);
    const int rc = MatchPattern(out->context->run.pattern(), text,
                                static_cast<std::size_t>(end - subject), offset, options, ovector,
                                pairs);
    if (rc <= 0) {
      const int answer = AnswerOfMatch(rc);
      if (answer >= 0) return true;
      out->limit = -answer;
      return false;
    }
    const unsigned char* matchStart = subject + ovector[0];
    const unsigned char* matchEnd = subject + ovector[1];
    std::string expansion =
        ExpandTemplate(text, ovector, pairs, out->context->settings.replacement.c_str(), "\n");
    if (!WriteMatch(out, matchStart, static_cast<std::size_t>(matchEnd - matchStart), expansion))
      return false;
    *lastEnd = matchEnd;
    *lastEmpty = matchEnd == matchStart;
    if (matchEnd == matchStart) {
      if (matchEnd >= end) return true;
      offset = static_cast<std::size_t>(matchEnd - subject);
      options |= kMatchNotEmptyAtStart;
    } else {
      subject = matchEnd;
      offset = 0;
      options = optionsAt(matchEnd);
    }
  }
}

int CountLines(const unsigned char* from, const unsigned char* to) {
  int lines = 0;
  std::size_t remaining = static_cast<std::size_t>(to - from);
  while (remaining > 0) {
    FindLineEnd(&from, &remaining);
    SkipLineEnd(&from, &remaining);
    ++lines;
  }
  return lines;
}

}  // namespace

int WriteMatch(ReplaceOutput* out, const unsigned char* start, std::size_t length,
               const std::string& replacement) {
  if (out->sink->accepts && !out->sink->accepts(replacement)) {
    out->failed = true;
    return 0;
  }
  if (!out->open) {
    if (!out->sink->begin()) return 0;
    out->open = true;
  }
  if (start > out->pending) {
    if (!WriteBytes(out, out->pending, static_cast<std::size_t>(start - out->pending))) return 0;
    out->pending = start;
  }
  bool written = out->sink->confirm(start, length, replacement)
                     ? WriteReplacement(out, replacement)
                     : WriteBytes(out, start, length);
  if (!written) return 0;
  out->pending = out->position = start + length;
  return 1;
}

int FinishOutput(ReplaceOutput* out, const unsigned char* end) {
  if (!out->open) return 0;
  if (out->failed || out->interrupted || out->limit) return 0;
  if (end > out->pending) {
    if (!WriteBytes(out, out->pending, static_cast<std::size_t>(end - out->pending))) return 0;
    out->pending = end;
  }
  return 1;
}

// Caseless plain text with letters beyond ASCII, in the UTF-8 text model: the occurrences
// as the pattern engine folds them, which may differ from the text in length.
int ReplaceFoldedText(const unsigned char* content, std::size_t length, ReplaceOutput* out) {
  const SearchSettings& settings = out->context->settings;
  const char* subject = reinterpret_cast<const char*>(content);
  std::size_t at = 0;
  std::size_t start;
  std::size_t end;
  for (;;) {
    const int found = FindFoldedText(settings.text.data(), settings.text.size(), subject, length,
                                     at, &start, &end);
    if (found < 0) out->limit = -found;
    if (found <= 0) break;
    if (!WriteMatch(out, content + start, end - start, settings.replacement))
      return FinishOutput(out, out->position);
    at = end;
  }
  return FinishOutput(out, content + length);  // 0 after a limit: the output is not used
}

int ReplacePlainText(const unsigned char* content, std::size_t length, ReplaceOutput* out) {
  out->pending = out->position = content;
  const SearchSettings& settings = out->context->settings;
  const auto* text = reinterpret_cast<const unsigned char*>(settings.text.data());
  const std::size_t n = settings.text.size();
  const bool exact = settings.caseSensitive;
  if (n > 0 && !exact && NeedsUnicodeFold(settings.text.data(), n))
    return ReplaceFoldedText(content, length, out);
  // An empty text would match everywhere with nothing to replace.
  if (n == 0 || n > length) return 0;
  ByteFinder first(content, length, text[0], !exact && IsAsciiLetter(text[0]));
  std::size_t at = 0;
  bool stopped = false;
  while (length - at >= n) {
    at = first.Next(at);
    if (at >= length || length - at < n) break;
    if (SameText(content + at, text, n, exact)) {
      if (!WriteMatch(out, content + at, n, settings.replacement)) {
        stopped = true;
        break;
      }
      at += n;
    } else {
      ++at;
    }
  }
  return FinishOutput(out, stopped ? out->position : content + length);
}

int ReplaceByLines(const unsigned char* content, std::size_t length, ReplaceOutput* out) {
  out->pending = out->position = content;
  const CompiledPattern* pattern = out->context->run.pattern();
  if (!pattern) return 0;
  const int pairs = PatternGroupCount(pattern) + 1;
  std::vector<int> ovector(3 * static_cast<std::size_t>(pairs));
  const unsigned char* cursor = content;
  std::size_t remaining = length;
  while (remaining > 0) {
    const unsigned char* line = cursor;
    FindLineEnd(&cursor, &remaining);
    if (static_cast<std::size_t>(cursor - line) > kMaxSubject) {
      out->tooLarge = true;
      return 0;
    }
    const unsigned char* lastEnd;
    bool lastEmpty;
    bool goOn = ReplaceInSubject(out, line, cursor, nullptr, true, ovector.data(), pairs, &lastEnd,
                                 &lastEmpty);
    SkipLineEnd(&cursor, &remaining);
    if (!goOn) return FinishOutput(out, cursor);
  }
  return FinishOutput(out, content + length);
}

int WindowStep(ReplaceOutput* out, const unsigned char* content, const unsigned char** windowStart,
               const unsigned char* windowEnd, bool endsContent, int* ovector, int pairs,
               int* lines) {
  if (static_cast<std::size_t>(windowEnd - *windowStart) > kMaxSubject) {
    out->tooLarge = true;
    return 0;
  }
  const unsigned char* from;
  bool lastEmpty;
  if (!ReplaceInSubject(out, *windowStart, windowEnd, content, endsContent, ovector, pairs, &from,
                        &lastEmpty))
    return 0;
  // After a match that took bytes the next window starts where that match ended, so that
  // a match this window's end cut off is found whole in the next one. Otherwise the window
  // drops the line it started with (or the line of the empty match last found).
  if (from == *windowStart || lastEmpty) {
    std::size_t remaining = static_cast<std::size_t>(windowEnd - from);
    FindLineEnd(&from, &remaining);
    SkipLineEnd(&from, &remaining);
  }
  *windowStart = from;
  *lines = CountLines(from, windowEnd);
  return 1;
}

int ReplaceSeveralLines(const unsigned char* content, std::size_t length, ReplaceOutput* out) {
  out->pending = out->position = content;
  const CompiledPattern* pattern = out->context->run.pattern();
  if (!pattern) return 0;
  const int severalLines = out->context->settings.severalLines;
  const int window = severalLines > 1 ? severalLines : 1;
  const int pairs = PatternGroupCount(pattern) + 1;
  std::vector<int> ovector(3 * static_cast<std::size_t>(pairs));
  const unsigned char* end = content + length;
  const unsigned char* ws = content;
  const unsigned char* we = content;
  int lines = 0;
  while (we < end) {
    std::size_t remaining = static_cast<std::size_t>(end - we);
    FindLineEnd(&we, &remaining);
    SkipLineEnd(&we, &remaining);
    if (++lines >= window &&
        !WindowStep(out, content, &ws, we, we == end, ovector.data(), pairs, &lines))
      return FinishOutput(out, out->position);
  }
  while (ws < we)
    if (!WindowStep(out, content, &ws, we, true, ovector.data(), pairs, &lines))
      return FinishOutput(out, out->position);
  return FinishOutput(out, we);
}

int ReplaceInContent(const unsigned char* content, std::size_t length, ReplaceOutput* out) {
  SearchMode mode;
  if (!out->context->settings.FindMode(&mode)) return 0;
  const ReplaceScan scan = FunctionsOf(mode).replace;
  return scan ? scan(content, length, out) : 0;
}
