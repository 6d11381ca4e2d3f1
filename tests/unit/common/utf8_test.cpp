#include "common/utf8.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/text_model.h"
#include "unit/text_model_scope.h"

namespace {

TEST(DecodeUtf8, AcceptsValidSequencesOnly) {
  struct Case {
    std::string bytes;
    int length;  // 0: no valid sequence
    char32_t code;
  } cases[] = {
      {"a", 1, U'a'},
      {"\xD0\xB4", 2, U'д'},
      {"\xE6\x97\xA5", 3, U'日'},
      {"\xF0\x9D\x84\x9E", 4, U'\U0001D11E'},
      {"\xC0\xAF", 0, 0},              // overlong "/"
      {"\xE0\x80\xAF", 0, 0},          // overlong, three bytes
      {"\xF0\x80\x80\xAF", 0, 0},      // overlong, four bytes
      {"\xED\xA0\x80", 0, 0},          // a surrogate
      {"\xF4\x90\x80\x80", 0, 0},      // above U+10FFFF
      {"\xB4", 0, 0},                  // a lone continuation byte
      {"\xD0", 0, 0},                  // cut short
      {"\xE6\x97", 0, 0},              // cut short
      {"\xD0" "a", 0, 0},              // no continuation
      {"\xFF", 0, 0},
  };
  for (const Case& c : cases) {
    char32_t code = 0;
    const int length = DecodeUtf8(reinterpret_cast<const unsigned char*>(c.bytes.data()),
                                  c.bytes.size(), &code);
    EXPECT_EQ(length, c.length) << c.bytes;
    if (c.length > 0) {
      EXPECT_EQ(code, c.code) << c.bytes;
    }
  }
}

TEST(AppendUtf8, WritesWhatDecodeReads) {
  for (char32_t c : {U'a', U'\x7F', U'\x80', U'д', U'\x7FF', U'\x800', U'日', U'\xFFFF',
                     U'\U00010000', U'\U0001D11E', U'\U0010FFFF'}) {
    std::string bytes;
    AppendUtf8(bytes, c);
    char32_t back = 0;
    EXPECT_EQ(DecodeUtf8(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(),
                         &back),
              static_cast<int>(bytes.size()));
    EXPECT_EQ(back, c);
  }
}

TEST(CharacterSteps, WholeCharactersInUtf8AndBytesOtherwise) {
  const std::string text = "a\xD0\xB4\xE6\x97\xA5\xFF\xB4" "b";  // a д 日 two bad bytes b
  {
    TextModelScope utf8(true);
    std::vector<std::size_t> starts;
    for (std::size_t at = 0; at < text.size(); at += CharacterLengthAt(text.data(), text.size(), at))
      starts.push_back(at);
    EXPECT_EQ(starts, (std::vector<std::size_t>{0, 1, 3, 6, 7, 8}));
    std::vector<std::size_t> back;
    for (std::size_t at = text.size(); at > 0; at = CharacterStartBefore(text.data(), at))
      back.push_back(at);
    EXPECT_EQ(back, (std::vector<std::size_t>{9, 8, 7, 6, 3, 1}));
    // A character cut short by the text's end is single bytes.
    EXPECT_EQ(CharacterLengthAt("\xE6\x97", 2, 0), 1u);
  }
  TextModelScope oem(false);
  EXPECT_EQ(CharacterLengthAt(text.data(), text.size(), 1), 1u);
  EXPECT_EQ(CharacterStartBefore(text.data(), 6), 5u);
}

TEST(TextModel, OffUnlessSwitchedOn) {
  EXPECT_FALSE(TextIsUtf8());
  {
    TextModelScope utf8(true);
    EXPECT_TRUE(TextIsUtf8());
  }
  EXPECT_FALSE(TextIsUtf8());
}

}  // namespace
