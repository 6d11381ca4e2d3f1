// Content matchers: they take bytes and answer whether the search text occurs in them.
#pragma once

#include <cstddef>
#include <cstdint>

#include "far/plugin.h"
#include "filesearch/results.h"

// A matcher over a byte range: 1 when it contains what is looked for, 0 when it does not,
// or minus a kLimit value (common/pattern.h) when the pattern engine gave up.
using Matcher = int (*)(const unsigned char* bytes, std::size_t count);

// The search's per-file action: tests the file's content and lists it when it is found
// (or, with FSInverse, when it is not).
void TestFoundFile(FarFindData* file, ResultsList* results);
// Reads or maps the file and runs the matcher on it; 0 when the file cannot be read or
// was cut short while it was read.
int ScanMappedFile(const char* path, Matcher matcher);
// The same for the file the walk handed to the action, opened relative to its folder.
int ScanFoundFile(const FarFindData* found, Matcher matcher);
// Files below this size are read with one call into a buffer kept between files; larger
// ones are mapped. Both give the matcher the same bytes.
constexpr std::uint64_t kReadIntoBufferBelow = 1 << 20;
// 1 when text occurs in the bytes, under FCaseSensitive.
int FindLiteral(const unsigned char* bytes, std::size_t count, const char* text);
