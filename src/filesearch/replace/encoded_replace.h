// The replace scan over a file's content in the file's own encoding: a file with a byte
// order mark, or one read through a code page of the "Encodings" setting, is searched as
// text in the plugin's text model, and its new version keeps the file's own bytes wherever
// nothing was replaced (the byte order mark and invalid sequences included), with each
// replacement written in the file's encoding.
#pragma once

#include <cstddef>

#include "filesearch/replace/scans.h"

// Runs the run's replace scan over the content as the file's encoding asks, as
// ReplaceInContent does. A file without byte order mark is scanned as it is first, then,
// while nothing matched, through each reading of the setting in turn. *unspellable is set
// when the file must stay as it is because a replacement cannot be written in its
// encoding (the scan's result is then 0).
int ReplaceInEncodedContent(const unsigned char* content, std::size_t length, ReplaceOutput* out,
                            bool* unspellable);
