#include "common/template.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/pattern.h"

namespace {

struct Row {
  const char* name;
  std::string subject;
  std::vector<int> pairs;  // start/end offsets, two per pair
  int pairCount;
  std::string templateText;
  std::string lineBreak;
  std::string expected;
};

// A subject "ab" matched by "(a)b", and "m" matched by a pattern with one unused group.
const std::vector<int> kAB = {0, 2, 0, 1};
const std::vector<int> kM = {0, 1, -1, -1};

const Row kRows[] = {
    {"GroupInBrackets", "ab", kAB, 2, "[$1]", "\n", "[a]"},
    {"DollarAloneWithPairs", "ab", kAB, 2, "$", "\n", "$"},
    {"DollarBeforeNonDigitIsWholeMatch", "m", kM, 2, "x$y", "\n", "xmy"},
    {"DollarAtTheEnd", "ab", kAB, 2, "a$", "\n", "a$"},
    {"DollarWithPairCountZero", "ab", kAB, 0, "<$1$>", "\n", "<$1$>"},
    {"GroupBeyondThePairs", "abc", {0, 3, 0, 1, 1, 2}, 3, "$5", "\n", ""},
    {"GroupThatTookNoPart", "m", kM, 2, "[$1]", "\n", "[]"},
    {"TwoDigitGroup",
     "abcdefghijklm",
     {0, 13, 0, 1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13},
     14,
     "$12|$1|$0",
     "\n",
     "l|a|abcdefghijklm"},
    {"ManyDigitsNameNoGroup", "ab", kAB, 2, "[$0000000000000000000001]", "\n", "[a]"},
    {"HugeNumberNamesNoGroup", "ab", kAB, 2, "[$99999999999999999999]", "\n", "[]"},
    {"OctalAndHex", "", {}, 0, "\\101\\x42", "\n", "AB"},
    {"OctalStopsAtThreeDigits", "", {}, 0, "\\1012", "\n", "A2"},
    {"OctalTakesEightAndNine", "", {}, 0, "\\18|\\9|\\099", "\n", "\x10|\x09|\x51"},
    {"OctalKeepsTheLowEightBits", "", {}, 0, "\\777", "\n", "\xFF"},
    {"HexOneDigit", "", {}, 0, "\\x4g", "\n", "\x04g"},
    {"HexTwoDigitsThenLiteral", "", {}, 0, "\\x4a1", "\n", "J1"},
    {"HexWithoutDigitsAddsNothing", "", {}, 0, "a\\xzb", "\n", "azb"},
    {"ZeroCodesAddNothing", "", {}, 0, "a\\0b\\x00c\\000d", "\n", "abcd"},
    {"ControlEscapes", "", {}, 0, "\\a\\b\\e\\f\\r\\t\\v", "\n", "\x07\x08\x1B\x0C\x0D\x09\x0B"},
    {"LineBreakText", "", {}, 0, "a\\tb\\nc", "\r\n", "a\tb\r\nc"},
    {"LineBreakTextEmpty", "", {}, 0, "a\\nb", "", "ab"},
    {"EscapedDollarAndBackslash", "ab", kAB, 2, "\\$1\\\\", "\n", "$1\\"},
    {"EscapedDollarWithPairCountZero", "", {}, 0, "\\$1\\\\", "\n", "$1\\"},
    {"UnknownEscapeKeepsItsCharacter", "", {}, 0, "\\q\\\x80\\.", "\n", "q\x80."},
    {"TrailingBackslash", "", {}, 0, "ab\\", "\n", "ab\\"},
    {"PlainModeEscapesStillApply", "", {}, 0, "$1\\t$", "\n", "$1\t$"},
    {"UpperStretch", "", {}, 0, "\\Uabc\\Edef", "\n", "ABCdef"},
    {"LowerWithOneUpper", "", {}, 0, "\\L\\uhELLO", "\n", "Hello"},
    {"UpperWithOneLower", "", {}, 0, "\\U\\lHELLO", "\n", "hELLO"},
    {"StretchNeedsNoEnd", "", {}, 0, "x\\Uyz", "\n", "xYZ"},
    {"OneShotUpperOnItsOwn", "", {}, 0, "\\uabc", "\n", "Abc"},
    {"OneShotLowerOnItsOwn", "", {}, 0, "\\lABC", "\n", "aBC"},
    {"OneShotSkipsWhatHasNoCase", "", {}, 0, "\\u1abc", "\n", "1abc"},
    {"EndRightAfterAStretchCharacter", "", {}, 0, "\\Ua\\Eb", "\n", "Ab"},
    {"EndDropsAPendingOneShot", "", {}, 0, "\\u\\Eab", "\n", "ab"},
    {"EndInsideLowerStretch", "", {}, 0, "\\LAB\\ECD", "\n", "abCD"},
    {"GroupTextIsConverted", "ab", kAB, 2, "\\U$0-$1", "\n", "AB-A"},
    {"LineBreakIsConvertedToo", "", {}, 0, "\\U\\n", "x", "X"},
    {"NationalLettersUpper", "", {}, 0, "\\U\xA0\xA1\xAF", "\n", "\x80\x81\x8F"},
    {"NationalLettersLower", "", {}, 0, "\\L\x80\x81\x8F", "\n", "\xA0\xA1\xAF"},
    {"NationalOneShot", "", {}, 0, "\\u\xA0\xA1", "\n", "\x80\xA1"},
    // 0xC4, a box-drawing line, has no case: the one-shot waits for the next letter.
    {"BoxDrawingLeavesOneShotPending", "", {}, 0, "\\u\xC4z", "\n", "\xC4Z"},
};

class ExpandTemplateRows : public ::testing::TestWithParam<Row> {};

TEST_P(ExpandTemplateRows, Expands) {
  const Row& row = GetParam();
  std::string result =
      ExpandTemplate(row.subject.c_str(), row.pairs.empty() ? nullptr : row.pairs.data(),
                     row.pairCount, row.templateText.c_str(), row.lineBreak.c_str());
  EXPECT_EQ(result, row.expected) << "template " << row.templateText;
}

INSTANTIATE_TEST_SUITE_P(Template, ExpandTemplateRows, ::testing::ValuesIn(kRows),
                         [](const ::testing::TestParamInfo<Row>& info) { return info.param.name; });

TEST(ExpandTemplate, GroupStopsAtItsFirstZeroByte) {
  const std::string subject("a\0bc", 4);
  const int pairs[] = {0, 4};
  EXPECT_EQ(ExpandTemplate(subject.data(), pairs, 1, "[$0]", "\n"), "[a]");
}

// The case states belong to one expansion: nothing is left over for the next one.
TEST(ExpandTemplate, StatesStartFreshEveryCall) {
  EXPECT_EQ(ExpandTemplate("", nullptr, 0, "abc", "\n"), "abc");
  // A stretch left open by one expansion does not reach the next one.
  EXPECT_EQ(ExpandTemplate("", nullptr, 0, "\\Uab", "\n"), "AB");
  EXPECT_EQ(ExpandTemplate("", nullptr, 0, "cd", "\n"), "cd");
}

}  // namespace
