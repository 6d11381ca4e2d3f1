#include <gtest/gtest.h>

#include <string>

#include "common/pattern.h"

namespace {

// The states the last Convert left.
CaseStates States;

// Runs the text through ConvertCase from the given states.
std::string Convert(int sticky, int oneShot, const std::string& text) {
  States = {sticky, oneShot};
  std::string out;
  for (unsigned char c : text) out += static_cast<char>(ConvertCase(States, c));
  return out;
}

TEST(ConvertCase, OneShotUpperThenStickyLower) {
  EXPECT_EQ(Convert(2, 1, "hELLO"), "Hello");
  EXPECT_EQ(States.oneShot, 2);
}

TEST(ConvertCase, StickyStatesConvertNationalLetters) {
  // Code page 866: 0x80..0x9F capitals, 0xA0..0xAF small letters.
  EXPECT_EQ(Convert(1, 1, "a\xA0\xA1z"), "A\x80\x81Z");
  EXPECT_EQ(Convert(2, 2, "A\x80\x81Z"), "a\xA0\xA1z");
}

TEST(ConvertCase, OneShotActsOnItsOwnOutsideAStretch) {
  EXPECT_EQ(Convert(0, 1, "abc"), "Abc");
  EXPECT_EQ(Convert(0, 2, "ABC"), "aBC");
  EXPECT_EQ(States.oneShot, 0);
}

TEST(ConvertCase, BoxDrawingCharacterLeavesTheOneShotPending) {
  // 0xC4 is a box-drawing line in code page 866, without a counterpart in 1251.
  EXPECT_EQ(Convert(0, 1, "\xC4"), "\xC4");
  EXPECT_EQ(States.oneShot, 1);
  States.sticky = 0;
  EXPECT_EQ(ConvertCase(States, 'x'), 'X');
  EXPECT_EQ(ConvertCase(States, 'y'), 'y');
}

}  // namespace
