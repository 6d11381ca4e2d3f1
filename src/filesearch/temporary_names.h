// The names of the replace's temporary files: the new version of NAME is written as
// NAME.qxnew-SERIAL-ATTEMPT beside it. A walk leaves such names out and removes those no
// live process holds, so the naming is made and recognized in this one place.
#pragma once

#include <cstdint>
#include <string>

// The name of the temporary file for target with the given mark ("qxnew", or "qxold"
// for the copy of an old version), serial (only its low 40 bits count) and attempt.
std::string MakeTemporaryName(const std::string& target, const char* mark,
                              std::uint64_t serial, unsigned attempt);
// The highest attempt MakeTemporaryName is asked for, plus one.
constexpr unsigned kTemporaryAttempts = 64;
// True when name is exactly what MakeTemporaryName makes with the mark "qxnew" for a
// file of non-empty name; then *targetLength is the length of that file's name.
bool IsNewVersionName(const char* name, std::size_t* targetLength = nullptr);
