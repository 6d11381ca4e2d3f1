#include <gtest/gtest.h>

#include <string>

#include "common/pattern.h"

namespace {

// Runs the text through ConvertCase from the given states.
std::string Convert(int sticky, int oneShot, const std::string& text) {
  CaseSticky = sticky;
  CaseOneShot = oneShot;
  std::string out;
  for (unsigned char c : text) out += static_cast<char>(ConvertCase(c));
  return out;
}

TEST(ConvertCase, OneShotUpperThenStickyLower) {
  EXPECT_EQ(Convert(2, 1, "hELLO"), "Hello");
  EXPECT_EQ(CaseOneShot, 2);
}

TEST(ConvertCase, StickyStatesConvertNationalLetters) {
  // Code page 866: 0x80..0x9F capitals, 0xA0..0xAF small letters.
  EXPECT_EQ(Convert(1, 1, "a\xA0\xA1z"), "A\x80\x81Z");
  EXPECT_EQ(Convert(2, 2, "A\x80\x81Z"), "a\xA0\xA1z");
}

TEST(ConvertCase, OneShotActsOnItsOwnOutsideAStretch) {
  EXPECT_EQ(Convert(0, 1, "abc"), "Abc");
  EXPECT_EQ(Convert(0, 2, "ABC"), "aBC");
  EXPECT_EQ(CaseOneShot, 0);
}

TEST(ConvertCase, BoxDrawingCharacterLeavesTheOneShotPending) {
  // 0xC4 is a box-drawing line in code page 866, without a counterpart in 1251.
  EXPECT_EQ(Convert(0, 1, "\xC4"), "\xC4");
  EXPECT_EQ(CaseOneShot, 1);
  CaseSticky = 0;
  EXPECT_EQ(ConvertCase('x'), 'X');
  EXPECT_EQ(ConvertCase('y'), 'y');
}

}  // namespace
