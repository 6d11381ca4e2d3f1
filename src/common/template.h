// Replacement templates: literal text with group references ("$" and a number), escapes
// for control characters, the line break and case conversion. Every character produced
// goes through ConvertCase.
#pragma once

#include <string>

// Expands templateText for one match. ovector holds pairCount start/end pairs of offsets
// into subject (pair 0 the whole match, -1 for a group that took no part); with a pair
// count of 0 "$" is an ordinary character. lineBreak is what "\n" stands for.
std::string ExpandTemplate(const char* subject, const int* ovector, int pairCount,
                           const char* templateText, const char* lineBreak);
