#include "filesearch/matchers.h"

#include <cstdint>
#include <vector>

#include "filesearch/limit_warning.h"
#include "filesearch/match_context.h"
#include "filesearch/match_encoded.h"
#include "filesearch/mode_functions.h"
#include "filesearch/results.h"
#include "filesearch/search_run.h"
#include "filesearch/walker.h"
#include "platform/platform.h"

int MatchLiteralText(MatchContext& context, const unsigned char* bytes, std::size_t count) {
  return FindLiteral(context, bytes, count, context.settings.text.c_str());
}

// A match starts in the last bytes of a piece or later: as many bytes as the text has
// characters, of up to four bytes each when a caseless text is matched by characters.
int MatchLiteralTextPiece(MatchContext& context, const unsigned char* bytes, std::size_t count,
                          bool moreFollows, std::size_t* keepFrom) {
  if (moreFollows) {
    const std::size_t overlap = 4 * context.settings.text.size();
    *keepFrom = count > overlap ? count - overlap : 0;
  }
  return MatchLiteralText(context, bytes, count);
}

namespace {

struct GuardedMatch {
  MatchContext& context;
  Matcher matcher;
  const unsigned char* bytes;
  std::size_t count;
  int result = 0;
};

void RunGuardedMatch(void* arg) {
  auto* match = static_cast<GuardedMatch*>(arg);
  match->result = MatchInEncoding(match->context, match->bytes, match->count, match->matcher);
}

// The file opened for reading, whose size was size when it was opened, in 64 bits: a file
// above 4 GiB is one range, not its size's low half.
int ScanOpenedFile(MatchContext& context, platform::File& file, std::uint64_t size,
                   const char* path, Matcher matcher, PieceMatcher pieces) {
  if (size == 0) return 0;
  // A matcher that takes pieces reads no further than its answer: the files a frequent
  // text is found in early are not read to their ends. A file read several ways is read
  // whole.
  const bool inPieces = pieces && context.settings.readings.empty();
  if (inPieces) {
    bool tooLong = false;
    const int answer = ScanInPieces(context, file, size, pieces, &tooLong);
    if (!tooLong) return answer;
  }
  // Setting up a mapping costs more than reading a small file, and a search opens tens
  // of thousands of them: those are read into one reused buffer, the others mapped.
  if (!inPieces && size < kReadIntoBufferBelow) {
    std::vector<unsigned char>& buffer = context.wholeBuffer;
    if (buffer.size() < size) buffer.resize(static_cast<std::size_t>(size));
    // Asking for exactly the size it has when opened reads it in one call; a file cut
    // short since is read as it is.
    std::int64_t got = file.Read(buffer.data(), size);
    if (got <= 0) return 0;
    return MatchInEncoding(context, buffer.data(), static_cast<std::size_t>(got), matcher);
  }
  file.Close();
  platform::FileView view;
  if (!view.Open(path)) return 0;
  if (view.size() == 0 || view.size() > SIZE_MAX) return 0;
  // Another program may cut the file short while it is read: the pages past its new end
  // then read as zeros, and what the matcher made of them is no answer.
  GuardedMatch match{context, matcher, view.data(), static_cast<std::size_t>(view.size())};
  if (!platform::RunGuarded(view.data(), view.size(), RunGuardedMatch, &match)) return 0;
  return match.result;
}

}  // namespace

int ScanMappedFile(MatchContext& context, const char* path, Matcher matcher) {
  platform::File file;
  std::uint64_t size = 0;
  if (!file.OpenForReading(path, &size)) return 0;
  return ScanOpenedFile(context, file, size, path, matcher, nullptr);
}

int ScanFoundFile(MatchContext& context, FoundFile& found, Matcher matcher, PieceMatcher pieces) {
  platform::File file;
  std::uint64_t size = 0;
  if (!found.Open(&file, &size)) return 0;
  return ScanOpenedFile(context, file, size, found.path(), matcher, pieces);
}

int MatchFoundFile(FoundFile& file, MatchContext& context) {
  SearchMode mode;
  if (!context.settings.FindMode(&mode)) return 0;
  const ModeFunctions& functions = FunctionsOf(mode);
  return ScanFoundFile(context, file, functions.whole, functions.pieces);
}

FileOutcome TestFileContent(FoundFile& file, MatchContext& context) {
  FileOutcome outcome;
  // No text: no content test, every file contains it.
  outcome.found = context.settings.text.empty() ? 1 : MatchFoundFile(file, context);
  outcome.stopped = context.Stopped();
  return outcome;
}

void TakeSearchAnswer(FoundFile& file, FileOutcome& outcome, MatchContext& context) {
  SearchRun& run = context.run;
  // A search stopped inside this file (a word that is no pattern, Escape) has no answer
  // for it.
  if (outcome.stopped) return;
  // Nor has one on which the pattern engine gave up: the file was shown neither to hold
  // the text nor to lack it.
  if (outcome.found < 0) {
    WarnPatternLimit(run, file.path(), -outcome.found, false);
    return;
  }
  if ((outcome.found != 0) != run.settings.inverse && file.Complete())
    AddResult(run.results, &file.record());
}

void TestFoundFile(FoundFile& file, MatchContext& context) {
  FileOutcome outcome = TestFileContent(file, context);
  TakeSearchAnswer(file, outcome, context);
}
