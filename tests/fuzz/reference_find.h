// Plain text found the naive way: compared at every position, folding only A-Z when the
// case does not count.
#pragma once

#include <string>

namespace fuzz {

inline unsigned char FoldAscii(unsigned char c) { return (c >= 'A' && c <= 'Z') ? c + 32 : c; }

inline bool ReferenceFind(const std::string& bytes, const std::string& text, bool exact) {
  for (std::size_t start = 0; start + text.size() <= bytes.size(); ++start) {
    std::size_t i = 0;
    for (; i < text.size(); ++i) {
      const auto a = static_cast<unsigned char>(bytes[start + i]);
      const auto b = static_cast<unsigned char>(text[i]);
      if (exact ? a != b : FoldAscii(a) != FoldAscii(b)) break;
    }
    if (i == text.size()) return true;
  }
  return false;
}

}  // namespace fuzz
