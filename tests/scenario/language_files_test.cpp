// The language files shipped beside the modules: both languages hold the same numbering
// with texts that fit their places.
#include <gtest/gtest.h>

#include "host/language_file.h"

namespace {

struct Shipped {
  const char* file;
  const char* language;
  const char* search;   // the words for a search and a replace, in the file's code page
  const char* replace;
};

class ShippedLanguageFileTest : public testing::TestWithParam<Shipped> {};

TEST_P(ShippedLanguageFileTest, HoldsEveryMessageInItsPlace) {
  host::LanguageFile texts;
  ASSERT_TRUE(
      host::ReadLanguageFile(std::string(QUARIX_SOURCE_DIR "/lng/") + GetParam().file, &texts));
  EXPECT_EQ(texts.name, GetParam().language);
  ASSERT_EQ(texts.messages.size(), 61u);
  for (std::size_t n = 0; n < texts.messages.size(); ++n) {
    const std::string& text = texts.messages[n];
    EXPECT_LT(text.size(), 80u) << n;
    std::size_t conversions = 0;
    for (std::size_t at = text.find('%'); at != std::string::npos; at = text.find('%', at + 1))
      ++conversions;
    // Only the two progress lines and the title that counts files left out carry a
    // number, exactly one each.
    if (n == 24 || n == 25 || n == 60) {
      EXPECT_EQ(conversions, 1u) << n;
      EXPECT_NE(text.find("%d"), std::string::npos) << n;
    } else {
      EXPECT_EQ(conversions, 0u) << n << ": " << text;
    }
  }
  for (int used :
       {0, 1, 3, 4, 7, 8, 9, 10, 11, 30, 41, 42, 46, 49, 50, 51, 52, 53, 54, 55, 56, 57, 58,
        59, 60})
    EXPECT_FALSE(texts.messages[used].empty()) << used;
  EXPECT_EQ(texts.messages[7], "Trawlix");
  // The editor's repeat entry repeats the last search or the last replace, and says so.
  EXPECT_NE(texts.messages[45].find(GetParam().search), std::string::npos);
  EXPECT_NE(texts.messages[45].find(GetParam().replace), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Languages, ShippedLanguageFileTest,
                         testing::Values(Shipped{"QuarixEng.lng", "English", "search", "replace"},
                                         // "поиск", "замен" in code page 866
                                         Shipped{"QuarixRus.lng", "Russian",
                                                 "\xaf\xae\xa8\xe1\xaa",
                                                 "\xa7\xa0\xac\xa5\xad"}),
                         [](const testing::TestParamInfo<Shipped>& info) {
                           return std::string(info.param.language);
                         });

TEST(ShippedLanguageFiles, RussianIsInCodePage866) {
  host::LanguageFile texts;
  ASSERT_TRUE(host::ReadLanguageFile(QUARIX_SOURCE_DIR "/lng/QuarixRus.lng", &texts));
  EXPECT_EQ(texts.messages[1], "\x8e\xe2\xac\xa5\xad\xa0");  // "Отмена"
  EXPECT_EQ(texts.description, "Russian (\x90\xe3\xe1\xe1\xaa\xa8\xa9)");
}

}  // namespace
