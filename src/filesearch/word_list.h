// Word lists (modes 4 and 5): words that must occur ("+"), must not occur ("-") or of
// which one must occur (no sign); quotes " ' ` make a phrase with blanks one word.
#pragma once

#include <cstddef>

class MatchContext;
struct CompiledSearch;

// The word buffer holds 511 characters and the terminating zero.
constexpr int kWordBufferSize = 512;

// Moves the first word of list into word (kWordBufferSize bytes) and removes it, with the
// blanks after it, from the front of list. Returns 1, or 0 when the word is longer than
// the buffer holds: the word is then removed all the same, word holds its first 511
// characters, and the caller must not test it (see MatchWordList).
int TakeWord(char* list, char* word);

// 1 when the word occurs, 0 when it does not, negative when the test cannot tell.
using WordTest = int (*)(MatchContext& context, const unsigned char* bytes, std::size_t count,
                         const char* word);

// 1 when the run's text as a word list is satisfied by the bytes under the word test, 0
// when it is not, or the negative answer of a word when that word leaves it open.
int MatchWordList(MatchContext& context, const unsigned char* bytes, std::size_t count,
                  WordTest test);

// The word test of mode 5: the word compiled as a pattern, matched over the whole range.
// An empty word is found; a word that does not compile (only in a run whose words were not
// compiled before: see CompileWordPatterns) shows the error, stops the run and is not
// found; a word the engine gave up on answers minus the kLimit value.
int FindWordPattern(MatchContext& context, const unsigned char* bytes, std::size_t count,
                    const char* word);

// The matchers of modes 4 and 5.
int MatchLiteralWords(MatchContext& context, const unsigned char* bytes, std::size_t count);
int MatchPatternWords(MatchContext& context, const unsigned char* bytes, std::size_t count);

// Compiles every word of list as mode 5 will into compiled->words, each word once; shows
// the first error and returns 0 then (with no words kept).
int CompileWordPatterns(const char* list, bool caseSensitive, CompiledSearch* compiled);
