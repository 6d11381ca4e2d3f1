// Text between Far 3 (UTF-16) and the plugins' core (UTF-8 bytes), without losing a code
// unit. Pure: no host, no editor; built and tested on every target.
//
// A surrogate pair becomes its character's four bytes and counts two positions, as the
// host counts them. A surrogate without its partner becomes the three-byte form UTF-8
// would give its value: not UTF-8, so the core finds no character in it, yet it comes
// back as the same unit. Decoding what was encoded gives back exactly the units given.
#pragma once

#include <string>
#include <string_view>

#include "common/line_units.h"

// Encodes a line; the units map host positions (UTF-16 code units) to byte offsets.
Utf8Line EncodeUtf16Line(std::u16string_view text);
// For texts that are not lines (dialogs, messages, names): the same encoding.
std::string EncodeUtf16(std::u16string_view text);
// Any bytes to UTF-16: what the encoding made comes back as it was; a byte that starts no
// character (nor a lone surrogate's form) becomes U+FFFD.
std::u16string DecodeToUtf16(std::string_view bytes);
// A line the core set to bytes, keeping the units of the parts it left as they were.
std::u16string MergeUtf16Line(const std::u16string& before, const Utf8Line& encoded,
                              std::string_view bytes);
