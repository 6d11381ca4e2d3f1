// Caseless plain text in the UTF-8 text model. Comparing bytes with the ASCII letters
// folded cannot see that "Д" and "д" are one letter, so a text with letters beyond ASCII
// is found by the pattern engine as a caseless literal. ASCII texts keep the byte scans.
#pragma once

#include <cstddef>

// Whether a caseless plain search for the n bytes of text goes through FindFoldedText:
// the UTF-8 model, a byte beyond ASCII, and a text that is valid UTF-8 (an invalid one is
// compared byte by byte, as in the OEM model).
bool NeedsUnicodeFold(const char* text, std::size_t n);

// Finds the first occurrence of text (n bytes), without regard to case, that begins at or
// after from and ends within the subject's length bytes. 1 with its byte offsets in
// *start and *end (an occurrence may be longer or shorter than the text, as "K" and the
// Kelvin sign are), 0 when there is none, or minus a kLimit value (common/pattern.h) when
// the engine gave up.
int FindFoldedText(const char* text, std::size_t n, const char* subject, std::size_t length,
                   std::size_t from, std::size_t* start, std::size_t* end);

// Releases the texts this thread compiled (see ReleaseThreadMatchState, common/pattern.h).
void ReleaseThreadFoldedTexts();
