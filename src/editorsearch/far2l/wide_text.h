// Text between far2l's wide editor (one 32-bit value per character) and Linquo's core
// (UTF-8 bytes), without losing a value. Pure: no host, no editor.
//
// The editor may hold more than Unicode characters: far2l keeps a byte that is not UTF-8
// as three values, U+E5CA and two lower-case hex digits, and a line can hold surrogates
// or values beyond U+10FFFF. Here such a byte becomes that byte again (so a search sees
// the file's bytes), and every other value gets a byte form of its own, so that decoding
// what was encoded gives back exactly the values the editor held.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "common/line_units.h"

// The value far2l puts before the two hex digits of a byte that is not UTF-8.
constexpr wchar_t kByteEscape = 0xE5CA;

// Encodes length values; decoding the result gives them back unchanged.
Utf8Line EncodeWideLine(const wchar_t* text, std::size_t length);
// Any bytes to editor values: what EncodeWideLine made comes back as it was; a byte that
// starts no character becomes far2l's escape of that byte, so the editor saves it as it is.
std::wstring DecodeToWide(std::string_view bytes);
// The values of a line the core set to bytes, given the line's values before and their
// encoding: the bytes the core left as they were at the line's start and at its end keep
// the values they came from (cut at whole units); only the part between is decoded.
std::wstring MergeLineValues(const std::wstring& before, const Utf8Line& encoded,
                             std::string_view bytes);
// For texts that are not lines (dialogs, messages): the same encoding, without the map.
std::string EncodeWide(std::wstring_view text);
