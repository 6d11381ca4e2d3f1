// The text model of both plugins: SetTextIsUtf8(bool) / TextIsUtf8().
//
// Off (the default): every string and file is 8-bit text in the console's OEM code page;
// patterns, plain-text comparisons and masks fold only the ASCII letters, and only the
// template's case escapes convert national letters (through the ANSI code page).
// On: text is UTF-8, as a host that speaks UTF-8 hands it over. Patterns compile in UTF
// mode and still search invalid UTF-8 (binary files) without rejecting it; caseless
// search, masks and the template's case escapes fold every letter Unicode gives a case.
//
// Set it once at start-up, before anything is compiled: a pattern keeps the model it was
// compiled under.
#pragma once

#include <cstddef>

void SetTextIsUtf8(bool on);
bool TextIsUtf8();

// Steps over one character of text under the current model. In the OEM model, and in
// UTF-8 where the bytes are no valid sequence, a character is one byte.
// The byte count of the character at at (at < length).
std::size_t CharacterLengthAt(const char* text, std::size_t length, std::size_t at);
// Where the character that ends at at begins (0 < at).
std::size_t CharacterStartBefore(const char* text, std::size_t at);
