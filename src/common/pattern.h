// Regular expressions for both plugins: fixed options (multi-line, caseless when asked),
// the library's default character tables, JIT compilation where the library offers it,
// and a host message pointing at the error when a pattern does not compile. Nothing else
// in the plugins talks to the pattern library.
#pragma once

#include <string>

#include <cstddef>
#include <cstdint>

struct CompiledPattern;

// Passed to MatchPattern: the subject's start is not the beginning of a line.
constexpr int kMatchNotBol = 0x80;
// Passed to MatchPattern: the subject's end is not the end of a line ("$" does not match
// there, though it still matches before a line break that ends the subject).
constexpr int kMatchNotEol = 0x200;
// Passed to MatchPattern: a match may not be empty at the start offset (it may be empty
// further on). After an empty match, this finds what the pattern matches at the same
// place with at least one byte, as perl does, before the scan moves past that byte.
constexpr int kMatchNotEmptyAtStart = 0x100;

// Compiles text into *pattern. An empty text compiles nothing and succeeds, leaving
// *pattern as it is (callers set it to null first). On a syntax error the error message
// is shown, *pattern is null and the result is 0; otherwise 1.
int CompilePattern(CompiledPattern** pattern, const char* text, int caseSensitive);
// Compiles length bytes of plain text as a caseless literal in UTF-8 (for the UTF-8 text
// model's caseless plain search, which folds every letter with a case). Shows nothing:
// 0, with *pattern null, when the text is not valid UTF-8 or memory runs out.
int CompileFoldedText(CompiledPattern** pattern, const char* text, std::size_t length);
// Releases a compiled pattern and sets it to null.
void ReleasePattern(CompiledPattern** pattern);
// Releases what this thread keeps for matching: each pattern's match data and the texts
// compiled for caseless search. Kept again as the thread matches again. A thread that
// matched calls it before it ends, and the host's thread when the plugin exits.
void ReleaseThreadMatchState();
// Matches the subject from startOffset. Fills up to pairs offset pairs into ovector (which
// may be null when pairs is 0): pair 0 the whole match, then one per group, -1 for a group
// that took no part. Returns a value of 0 or more on a match (0: the vector had fewer pairs
// than the match set), negative otherwise: no match, an error, or a match whose offsets do
// not fit an int (only possible with pairs above 0 on subjects above 2 GiB).
int MatchPattern(const CompiledPattern* pattern, const char* subject, std::size_t length,
                 std::size_t startOffset, int options, int* ovector, int pairs);
// Matches as MatchPattern does, for the whole match only, whatever the subject's size:
// 1 with the match's byte offsets in *start and *end, or MatchPattern's result as an answer
// (see AnswerOfMatch below).
int FindPatternMatch(const CompiledPattern* pattern, const char* subject, std::size_t length,
                     std::size_t startOffset, int options, std::size_t* start, std::size_t* end);
// Why the engine gave up on a match instead of answering it (a limit of the engine, not
// a missing match): the negative results of MatchPattern that mean "cannot tell".
constexpr int kLimitBacktracking = 1;  // the match limit: too many backtracking steps
constexpr int kLimitDepth = 2;         // the depth limit: backtracking nested too deep
constexpr int kLimitMemory = 3;        // the heap limit, or no memory left
// MatchPattern's result as an answer: 1 a match, 0 none, or minus a kLimit value when the
// engine gave up. Inline for the common answers, as it follows every test of a line.
int AnswerOfFailedMatch(int result);
inline int AnswerOfMatch(int result) {
  constexpr int kNoMatch = -1;  // the library's own "no match"
  return result >= 0 ? 1 : result == kNoMatch ? 0 : AnswerOfFailedMatch(result);
}
// The number of capturing groups.
int PatternGroupCount(const CompiledPattern* pattern);
// At least as many bytes before the start offset as a match may read (lookbehinds,
// anchors, \b). A subject that begins that many bytes before the start offset finds what
// the whole subject finds (with kMatchNotBol when it does not begin at the line's start).
std::size_t PatternLookbehindReach(const CompiledPattern* pattern);
// True when no match can take in an LF (common/pattern_facts.h): where every line ends with
// an LF, a match lies inside one line.
bool PatternStaysInLine(const CompiledPattern* pattern);
// The text every match starts with, in either ASCII case when *caseless (the pattern was
// compiled caseless); empty when there is none to rely on (common/pattern_facts.h).
const std::string& PatternLeadingText(const CompiledPattern* pattern, bool* caseless);

// A byte that every match must contain, for scanners that skip what cannot match.
struct RequiredByte {
  unsigned char value;
  bool eitherCase;  // the pattern may match it in either ASCII case
};
// Fills up to two required bytes (the pattern's first and last literal code units) and
// returns how many there are. eitherCase is set for every ASCII letter unless the pattern
// is case-sensitive throughout (compiled so, with no inline option group).
int GetRequiredBytes(const CompiledPattern* pattern, RequiredByte* bytes);

// Case states of one template expansion: 0 no change, 1 upper, 2 lower.
struct CaseStates {
  int sticky = 0;
  int oneShot = 0;
};
// The character to emit for one OEM character under the case states.
unsigned char ConvertCase(CaseStates& states, unsigned char ch);
// The same for one Unicode character, in the UTF-8 text model: every character takes the
// pending one-shot state, and letters convert by Unicode's simple case mapping.
char32_t ConvertCaseOfCharacter(CaseStates& states, char32_t c);
