// A file's whole content to a matcher, read in the file's encoding: decoded when a byte
// order mark names one; otherwise as it is, then, while nothing is found, through each
// reading of the "Encodings" setting in turn.
#pragma once

#include <cstddef>

#include "filesearch/matchers.h"

class MatchContext;

// The matcher's answer for the content: 1 as soon as one reading finds it; otherwise 0, or
// minus a kLimit value when the engine gave up on a reading.
int MatchInEncoding(MatchContext& context, const unsigned char* bytes, std::size_t count,
                    Matcher matcher);
