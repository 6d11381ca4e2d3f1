#include "filesearch/line_modes.h"

#include <cstring>
#include <string>

#include "common/pattern.h"
#include "filesearch/byte_scan.h"
#include "filesearch/match_context.h"

namespace {

bool IsLineEndByte(unsigned char c) { return c == '\r' || c == '\n'; }

// One pattern test: 1, 0, or minus the limit the engine gave up on. An Escape seen just
// before it stops the run and answers 0.
int TestSearchPattern(MatchContext& context, const unsigned char* bytes, std::size_t count,
                      int options, std::size_t from = 0) {
  if (context.PollWithinFile()) return 0;
  const int answer = AnswerOfMatch(MatchPattern(context.run.pattern(),
                                                reinterpret_cast<const char*>(bytes), count,
                                                from, options, nullptr, 0));
  if (answer < 0) context.LookAtClockSoon();
  return answer;
}

int TestSearchWindow(MatchContext& context, const unsigned char* bytes, std::size_t count,
                     bool endsRange) {
  return TestSearchPattern(context, bytes, count, endsRange ? 0 : kMatchNotEol);
}

// Takes one test's answer into the file's. True when the file's search is over: a match,
// or a stop. A test the engine gave up on leaves the answer open, to be settled by a
// match further on; the first such answer is kept in undecided.
bool SettleAnswer(const MatchContext& context, int answer, int* undecided) {
  if (answer < 0 && *undecided == 0) *undecided = answer;
  return answer > 0 || context.Stopped();
}

// Finds the next CR or LF, each searched once by memchr and remembered until passed.
class LineEndFinder {
 public:
  LineEndFinder(const unsigned char* bytes, std::size_t count)
      : cr_(bytes, count, '\r', false), lf_(bytes, count, '\n', false) {}
  std::size_t Next(std::size_t from) {
    const std::size_t cr = cr_.Next(from);
    const std::size_t lf = lf_.Next(from);
    return cr < lf ? cr : lf;
  }

 private:
  ByteFinder cr_;
  ByteFinder lf_;
};

std::size_t SkipLineEndAt(const unsigned char* bytes, std::size_t count, std::size_t at) {
  if (at < count && bytes[at] == '\r') ++at;
  if (at < count && bytes[at] == '\n') ++at;
  return at;
}

// The byte that drives the scan of mode 1: of the pattern's required bytes, the rarest.
// CR and LF never occur inside a line, so they cannot drive it.
bool ChooseDriverByte(const CompiledPattern* pattern, RequiredByte* driver) {
  RequiredByte required[2];
  const int count = GetRequiredBytes(pattern, required);
  int best = 1 << 30;
  for (int i = 0; i < count; ++i) {
    if (IsLineEndByte(required[i].value)) continue;
    const int rank = RankTextByte(required[i].value, required[i].eitherCase);
    if (rank < best) {
      best = rank;
      *driver = required[i];
    }
  }
  return best != (1 << 30);
}

// The places of the pattern's leading text, found as the last range suggests: the files
// of one tree are alike, and the context keeps the pairs the last range turned to.
struct LeadingTextPlaces {
  LeadingTextPlaces(MatchContext& context, const CompiledPattern* pattern,
                    const unsigned char* bytes, std::size_t count, const std::string& text,
                    bool caseless)
      : context(context),
        pattern(pattern),
        finder(bytes, count, text, caseless,
               context.pairsPattern == pattern ? &context.pairsOfPattern : nullptr) {}
  ~LeadingTextPlaces() {
    if (const TextPair* used = finder.UsedPair()) {
      context.pairsPattern = pattern;
      context.pairsOfPattern = *used;
    }
  }
  MatchContext& context;
  const CompiledPattern* pattern;
  TextFinder finder;
};

// Mode 1 for a pattern whose matches all start with a text: only the lines that
// hold the text are handed to the pattern.
int MatchLinesWithText(MatchContext& context, const unsigned char* bytes, std::size_t count,
                       LineEndFinder* ends) {
  bool caseless = false;
  const CompiledPattern* pattern = context.run.pattern();
  const std::string& text = PatternLeadingText(pattern, &caseless);
  LeadingTextPlaces leading(context, pattern, bytes, count, text, caseless);
  TextFinder& places = leading.finder;
  int undecided = 0;
  std::size_t from = 0;  // always a line start
  for (std::size_t at = places.Next(0); at < count; at = places.Next(at)) {
    std::size_t start = at;
    while (start > from && !IsLineEndByte(bytes[start - 1])) --start;
    const std::size_t end = ends->Next(at);
    const int answer = TestSearchPattern(context, bytes + start, end - start, 0);
    if (SettleAnswer(context, answer, &undecided)) return answer > 0 ? 1 : 0;
    from = at = SkipLineEndAt(bytes, count, end);
  }
  return undecided;
}

}  // namespace

void FindLineEnd(const unsigned char** cursor, std::size_t* remaining) {
  // The first LF, then a CR before it: each scan stops at the line's end, so a file
  // without CRs is not read to its end for every line.
  const unsigned char* p = *cursor;
  std::size_t left = *remaining;
  const void* lf = left ? std::memchr(p, '\n', left) : nullptr;
  const std::size_t line =
      lf ? static_cast<std::size_t>(static_cast<const unsigned char*>(lf) - p) : left;
  const void* cr = line ? std::memchr(p, '\r', line) : nullptr;
  const std::size_t passed =
      cr ? static_cast<std::size_t>(static_cast<const unsigned char*>(cr) - p) : line;
  *cursor = p + passed;
  *remaining = left - passed;
}

void SkipLineEnd(const unsigned char** cursor, std::size_t* remaining) {
  if (*remaining > 0 && **cursor == '\r') {
    ++*cursor;
    --*remaining;
  }
  if (*remaining > 0 && **cursor == '\n') {
    ++*cursor;
    --*remaining;
  }
}

// Each line alone, without its line end. A line that lacks a byte every match needs cannot
// match, so with such a byte only the lines that hold it are handed to the pattern.
int MatchLines(MatchContext& context, const unsigned char* bytes, std::size_t count) {
  const CompiledPattern* pattern = context.run.pattern();
  if (!pattern) return 0;
  LineEndFinder ends(bytes, count);
  bool caseless = false;
  if (!PatternLeadingText(pattern, &caseless).empty())
    return MatchLinesWithText(context, bytes, count, &ends);
  int undecided = 0;
  RequiredByte driver;
  if (!ChooseDriverByte(pattern, &driver)) {
    std::size_t start = 0;
    do {  // an empty range is one empty line; no empty line follows a final line end
      const std::size_t end = ends.Next(start);
      const int answer = TestSearchPattern(context, bytes + start, end - start, 0);
      if (SettleAnswer(context, answer, &undecided)) return answer > 0 ? 1 : 0;
      start = SkipLineEndAt(bytes, count, end);
    } while (start < count);
    return undecided;
  }
  ByteFinder candidates(bytes, count, driver.value, driver.eitherCase);
  std::size_t from = 0;  // always a line start
  while (from < count) {
    const std::size_t at = candidates.Next(from);
    if (at == count) break;
    std::size_t start = at;
    while (start > from && !IsLineEndByte(bytes[start - 1])) --start;
    const std::size_t end = ends.Next(at);
    const int answer = TestSearchPattern(context, bytes + start, end - start, 0);
    if (SettleAnswer(context, answer, &undecided)) return answer > 0 ? 1 : 0;
    from = SkipLineEndAt(bytes, count, end);
  }
  return undecided;
}

std::size_t FindFirstMatchStart(MatchContext& context, const CompiledPattern* pattern,
                                const unsigned char* bytes, std::size_t count) {
  bool caseless = false;
  const std::string& text = PatternLeadingText(pattern, &caseless);
  if (text.empty()) return 0;
  LeadingTextPlaces leading(context, pattern, bytes, count, text, caseless);
  return leading.finder.Next(0);
}

int MatchWholeFile(MatchContext& context, const unsigned char* bytes, std::size_t count) {
  const CompiledPattern* pattern = context.run.pattern();
  if (!pattern) return 0;
  // The engine starts where a match can: looking behind that place, it still sees the
  // bytes before it.
  const std::size_t from = FindFirstMatchStart(context, pattern, bytes, count);
  if (from == count && count > 0) return 0;
  return TestSearchPattern(context, bytes, count, 0, from);
}

namespace {

// The window walk; with moreFollows the range is not the file's end: only the windows of
// `lines` whole lines are tested, none of them ends the file, and *untested is where the
// first window not tested starts.
int WalkLineWindows(MatchContext& context, const unsigned char* bytes, std::size_t count,
                    int lines, RangeTest test, bool moreFollows, std::size_t* untested) {
  if (lines < 1) lines = 1;
  const unsigned char* windowStart = bytes;
  const unsigned char* cursor = bytes;
  std::size_t remaining = count;
  int k = 0;
  int undecided = 0;
  // Drops the window's first line with its line end.
  auto dropFirstLine = [&]() {
    std::size_t windowLength = static_cast<std::size_t>(cursor - windowStart);
    FindLineEnd(&windowStart, &windowLength);
    SkipLineEnd(&windowStart, &windowLength);
  };
  while (remaining > 0) {
    ++k;
    FindLineEnd(&cursor, &remaining);
    SkipLineEnd(&cursor, &remaining);
    if (k == lines) {
      const int answer = test(context, windowStart,
                              static_cast<std::size_t>(cursor - windowStart),
                              remaining == 0 && !moreFollows);
      if (SettleAnswer(context, answer, &undecided)) return answer > 0 ? 1 : 0;
      dropFirstLine();
      k = lines - 1;
    }
  }
  if (moreFollows) {
    *untested = static_cast<std::size_t>(windowStart - bytes);
    return undecided;
  }
  while (windowStart < cursor) {
    const int answer =
        test(context, windowStart, static_cast<std::size_t>(cursor - windowStart), true);
    if (SettleAnswer(context, answer, &undecided)) return answer > 0 ? 1 : 0;
    dropFirstLine();
  }
  return undecided;
}

}  // namespace

int TestLineWindows(MatchContext& context, const unsigned char* bytes, std::size_t count,
                    int lines, RangeTest test) {
  return WalkLineWindows(context, bytes, count, lines, test, false, nullptr);
}

std::size_t FindLastLineCut(const unsigned char* bytes, std::size_t count, bool* holdsCr) {
  if (holdsCr) *holdsCr = false;
  if (count == 0) return 0;
  const unsigned char* lf = FindLastByte(bytes, count, '\n');
  // A CR as the last byte may be the first of a pair.
  const unsigned char* cr = FindLastByte(bytes, count - 1, '\r');
  const auto after = [bytes](const unsigned char* at) {
    return at ? static_cast<std::size_t>(at - bytes) + 1 : 0;
  };
  const std::size_t afterLf = after(lf);
  const std::size_t afterCr = after(cr);
  if (holdsCr) *holdsCr = cr != nullptr;
  return afterLf > afterCr ? afterLf : afterCr;
}

std::size_t FindLastLinesStart(const unsigned char* bytes, std::size_t count, int n) {
  std::size_t at = count;
  for (int i = 0; i < n && at > 0; ++i) {
    // Back over the line end (a CR before an LF is its pair), then the line's bytes.
    if (bytes[at - 1] == '\n') {
      --at;
      if (at > 0 && bytes[at - 1] == '\r') --at;
    } else if (bytes[at - 1] == '\r') {
      --at;
    }
    while (at > 0 && !IsLineEndByte(bytes[at - 1])) --at;
  }
  return at;
}

namespace {

// A window without the byte every match needs cannot match: it is answered without the
// pattern. The context holds the occurrences of that byte.
int TestWindowWithCandidate(MatchContext& context, const unsigned char* bytes, std::size_t count,
                            bool endsRange) {
  const std::size_t from = static_cast<std::size_t>(bytes - context.windowsBase);
  if (context.windowCandidates->Next(from) - from >= count) return 0;
  return TestSearchWindow(context, bytes, count, endsRange);
}

}  // namespace

int MatchSeveralLines(MatchContext& context, const unsigned char* bytes, std::size_t count) {
  return MatchSeveralLinesPiece(context, bytes, count, false, nullptr);
}

int MatchLinesPiece(MatchContext& context, const unsigned char* bytes, std::size_t count,
                    bool moreFollows, std::size_t* keepFrom) {
  if (!moreFollows) return MatchLines(context, bytes, count);
  const std::size_t cut = FindLastLineCut(bytes, count);
  *keepFrom = cut;
  return cut > 0 ? MatchLines(context, bytes, cut) : 0;
}

int MatchSeveralLinesPiece(MatchContext& context, const unsigned char* bytes, std::size_t count,
                           bool moreFollows, std::size_t* keepFrom) {
  const CompiledPattern* pattern = context.run.pattern();
  const int severalLines = context.settings.severalLines;
  // A piece is walked up to its last line end; the lines after the last window tested
  // start the next piece's windows.
  bool holdsCr = false;
  if (moreFollows) count = FindLastLineCut(bytes, count, &holdsCr);
  const auto untestedFrom = [&]() {
    if (moreFollows) *keepFrom = FindLastLinesStart(bytes, count, severalLines - 1);
  };
  if (!pattern || count == 0) {
    untestedFrom();
    return 0;
  }
  // Where every line ends with an LF, a window holds a match of a pattern that stays in
  // one line exactly when one of its lines does: each line is tested once, not once for
  // every window it is in.
  if (!moreFollows) holdsCr = std::memchr(bytes, '\r', count) != nullptr;
  if (PatternStaysInLine(pattern) && !holdsCr) {
    if (moreFollows) *keepFrom = count;
    const int answer = MatchLines(context, bytes, count);
    if (answer > 0 || context.Stopped() || moreFollows || bytes[count - 1] != '\n') return answer;
    // The last window has one place no line has: after the file's final LF, where "$"
    // still matches (and "(?<!a)$" may).
    const std::size_t last = FindLastLinesStart(bytes, count, 1);
    const int end = TestSearchWindow(context, bytes + last, count - last, true);
    if (end > 0) return 1;
    return answer != 0 ? answer : end;
  }
  RequiredByte driver;
  if (!ChooseDriverByte(pattern, &driver))
    return WalkLineWindows(context, bytes, count, severalLines, TestSearchWindow, moreFollows,
                           keepFrom);
  ByteFinder candidates(bytes, count, driver.value, driver.eitherCase);
  // Windows start in file order, so the finder only moves forward.
  if (candidates.Next(0) == count) {  // no window can hold a match
    untestedFrom();
    return 0;
  }
  context.windowCandidates = &candidates;
  context.windowsBase = bytes;
  const int answer = WalkLineWindows(context, bytes, count, severalLines, TestWindowWithCandidate,
                                     moreFollows, keepFrom);
  context.windowCandidates = nullptr;
  return answer;
}
