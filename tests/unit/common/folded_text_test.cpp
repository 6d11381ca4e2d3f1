#include "common/folded_text.h"

#include <gtest/gtest.h>

#include <string>

#include "unit/text_model_scope.h"

namespace {

bool Needs(const std::string& text) { return NeedsUnicodeFold(text.data(), text.size()); }

// "start:end" of the first occurrence at or after from, or "-".
std::string Find(const std::string& text, const std::string& subject, std::size_t from = 0) {
  std::size_t start = 0;
  std::size_t end = 0;
  if (FindFoldedText(text.data(), text.size(), subject.data(), subject.size(), from, &start,
                     &end) != 1)
    return "-";
  return std::to_string(start) + ":" + std::to_string(end);
}

TEST(FoldedText, OnlyNonAsciiValidUtf8TextsInTheUtf8Model) {
  {
    TextModelScope utf8(true);
    EXPECT_TRUE(Needs("дом"));
    EXPECT_TRUE(Needs("a é"));
    EXPECT_FALSE(Needs("plain ascii"));  // the byte scans fold these
    EXPECT_FALSE(Needs("\xFF\xFE"));     // no UTF-8: compared as bytes
    EXPECT_FALSE(Needs("д\xD0"));
  }
  TextModelScope oem(false);
  EXPECT_FALSE(Needs("дом"));
}

TEST(FoldedText, FindsEveryCaseWithItsOwnLength) {
  TextModelScope utf8(true);
  EXPECT_EQ(Find("дом", "мой ДоМ"), "7:13");
  EXPECT_EQ(Find("ДОМ", "\xFF" "дом\xFF"), "1:7");
  EXPECT_EQ(Find("дом", "дом дом", 1), "7:13");
  EXPECT_EQ(Find("дом", "до"), "-");
  EXPECT_EQ(Find("ſ", "xs"), "1:2");  // the long s is one byte shorter as "s"
  EXPECT_EQ(Find("Σ", "ς"), "0:2");
  EXPECT_EQ(Find("é", "e\xCC\x81"), "-");  // a decomposed "é" is two characters
}

}  // namespace
