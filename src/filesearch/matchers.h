// Content matchers: they take bytes and answer whether the search text occurs in them.
#pragma once

#include <cstddef>
#include <cstdint>

#include "filesearch/file_work.h"
#include "platform/platform.h"

class FoundFile;
class MatchContext;

// A matcher over a byte range: 1 when it contains what is looked for, 0 when it does not,
// or minus a kLimit value (common/pattern.h) when the pattern engine gave up. It reads the
// run through the context and changes nothing but the context, so the matchers may run on
// several threads, each with its own context.
using Matcher = int (*)(MatchContext& context, const unsigned char* bytes, std::size_t count);
// A matcher that can take a file in pieces read in turn. Without moreFollows the range is
// the rest of the file and the answer is the Matcher's. With it, more bytes follow: the
// matcher answers for what it can decide from the range and sets *keepFrom to where the
// bytes it still needs start; they begin the next piece. *keepFrom 0 asks for a longer
// piece.
using PieceMatcher = int (*)(MatchContext& context, const unsigned char* bytes,
                             std::size_t count, bool moreFollows, std::size_t* keepFrom);

// The search's per-file action: tests the file's content and lists it when it is found
// (or, with the inverse search, when it is not). Its two halves: the test, which any
// thread may run, and the take, which lists the file or warns, on the host's thread.
void TestFoundFile(FoundFile& file, MatchContext& context);
FileOutcome TestFileContent(FoundFile& file, MatchContext& context);
void TakeSearchAnswer(FoundFile& file, FileOutcome& outcome, MatchContext& context);
// Tests the file's content under the run's mode: 1 found, 0 not found or not readable,
// minus a kLimit value when the pattern engine gave up. No host call: any thread may.
int MatchFoundFile(FoundFile& file, MatchContext& context);
// Reads or maps the file and runs the matcher on it; 0 when the file cannot be read or
// was cut short while it was read.
int ScanMappedFile(MatchContext& context, const char* path, Matcher matcher);
// The same for the file the walk handed to the action, opened relative to its folder.
// Where the matcher takes pieces, the file is read in pieces.
int ScanFoundFile(MatchContext& context, FoundFile& found, Matcher matcher,
                  PieceMatcher pieces = nullptr);
// Where the matcher takes pieces, files are read in pieces of kPieceSize (the first of
// kFirstPiece) into a buffer kept between files, and mapped only when a piece would grow
// beyond kLongestPiece. For the other matchers, which need the whole file at once, files
// below kReadIntoBufferBelow are read with one call into a buffer kept between files, and
// larger ones mapped. Every way gives the matcher the same bytes.
constexpr std::uint64_t kReadIntoBufferBelow = 1 << 20;
constexpr std::size_t kPieceSize = 256 << 10;
constexpr std::size_t kFirstPiece = 64 << 10;  // the first piece of a file is no longer
constexpr std::size_t kLongestPiece = 64 << 20;
// Reads the open file of the given size in pieces of pieceSize (the first no longer than
// kFirstPiece) into the matcher; 0 when it cannot be read. *tooLong when the matcher asked
// for a piece longer than longestPiece: then the answer is none.
int ScanInPieces(MatchContext& context, platform::File& file, std::uint64_t size,
                 PieceMatcher matcher, bool* tooLong, std::size_t pieceSize = kPieceSize,
                 std::size_t longestPiece = kLongestPiece);
// 1 when text occurs in the bytes, under the run's case setting.
int FindLiteral(MatchContext& context, const unsigned char* bytes, std::size_t count,
                const char* text);
// The matchers of mode 0: the run's text as it is.
int MatchLiteralText(MatchContext& context, const unsigned char* bytes, std::size_t count);
int MatchLiteralTextPiece(MatchContext& context, const unsigned char* bytes, std::size_t count,
                          bool moreFollows, std::size_t* keepFrom);
