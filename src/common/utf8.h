// UTF-8 as the UTF-8 text model reads and writes it: strict decoding (no overlong forms,
// no surrogates, nothing above U+10FFFF), so that what counts as a character here is what
// the pattern engine takes for one.
#pragma once

#include <cstddef>
#include <string>

// The byte count of a sequence that begins with lead: 1 for ASCII, 2 to 4 for a lead byte
// that can begin a valid sequence, 0 for any other byte.
int Utf8SequenceLength(unsigned char lead);
// The length (1 to 4) of the valid sequence at p, with its code point in *c; 0 when the
// bytes there (at most left of them) are no valid sequence.
int DecodeUtf8(const unsigned char* p, std::size_t left, char32_t* c);
// Appends the UTF-8 form of a code point.
void AppendUtf8(std::string& out, char32_t c);
// Whether one of the n bytes is not ASCII.
bool HasNonAscii(const char* text, std::size_t n);
