// The language files shipped beside the modules: both languages hold the same numbering
// with texts that fit their places.
#include <gtest/gtest.h>

#include "host/language_file.h"
#include "src/common/message_ids.h"

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
  ASSERT_EQ(texts.messages.size(), static_cast<std::size_t>(kMessageCount));
  for (std::size_t n = 0; n < texts.messages.size(); ++n) {
    const std::string& text = texts.messages[n];
    EXPECT_LT(text.size(), 80u) << n;
    std::size_t conversions = 0;
    for (std::size_t at = text.find('%'); at != std::string::npos; at = text.find('%', at + 1))
      ++conversions;
    // Only the two progress lines and the title that counts files left out carry a
    // number, exactly one each.
    if (n == kMsgFilesTested || n == kMsgFilesFound || n == kMsgFoundFilesLeftOut) {
      EXPECT_EQ(conversions, 1u) << n;
      EXPECT_NE(text.find("%d"), std::string::npos) << n;
    } else {
      EXPECT_EQ(conversions, 0u) << n << ": " << text;
    }
  }
  // Every message holds a text but the unused slots, which only keep the numbering.
  for (int n = 0; n < kMessageCount; ++n) {
    const bool unused = n == kMsgUnused2 || n == kMsgUnused5 || n == kMsgUnused6;
    EXPECT_EQ(texts.messages[n].empty(), unused) << n;
  }
  EXPECT_EQ(texts.messages[kMsgPluginTitle], "Trawlix");
  // The editor's repeat entry repeats the last search or the last replace, and says so.
  EXPECT_NE(texts.messages[kMsgRepeat].find(GetParam().search), std::string::npos);
  EXPECT_NE(texts.messages[kMsgRepeat].find(GetParam().replace), std::string::npos);
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
  EXPECT_EQ(texts.messages[kMsgCancel], "\x8e\xe2\xac\xa5\xad\xa0");  // "Отмена"
  EXPECT_EQ(texts.description, "Russian (\x90\xe3\xe1\xe1\xaa\xa8\xa9)");
}

// The names stand for the texts the code means: a text put in the wrong line, or a name
// given the wrong number, shows here. One name at each end of every group of texts.
TEST(ShippedLanguageFiles, NamesMatchTheEnglishTexts) {
  host::LanguageFile texts;
  ASSERT_TRUE(host::ReadLanguageFile(QUARIX_SOURCE_DIR "/lng/QuarixEng.lng", &texts));
  ASSERT_EQ(texts.messages.size(), static_cast<std::size_t>(kMessageCount));
  const struct {
    MessageId id;
    const char* text;
  } cases[] = {
      {kMsgOk, "OK"},
      {kMsgCancel, "Cancel"},
      {kMsgFoundFiles, "Found files"},
      {kMsgRemoveKey, "Remove"},
      {kMsgPluginTitle, "Trawlix"},
      {kMsgReplaceTitle, "Replace"},
      {kMsgMasks, "File masks:"},
      {kMsgCaseSensitive, "Case sensitive"},
      {kMsgModePlain, "Plain text"},
      {kMsgModeRegexWindow, "Regular expression over a window of lines"},
      {kMsgModeRegexMultiLine, "Multi-line regular expression"},
      {kMsgModeRegexWords, "Words: regular expressions"},
      {kMsgScopeAllDrives, "All local drives"},
      {kMsgScopeSelectedFolders, "Selected folders"},
      {kMsgInverse, "Files without the text"},
      {kMsgFilesTested, "Files tested: %d"},
      {kMsgFilesFound, "Files found: %d"},
      {kMsgListChanged, "List changed files"},
      {kMsgKeepBackup, "Keep a .old backup"},
      {kMsgReplaceInFile, "Replace in this file?"},
      {kMsgCannotWrite, "Cannot write the file"},
      {kMsgWindowLines, "Lines in a window:"},
      {kMsgInvalidNumber, "The number is not valid or out of range"},
      {kMsgSearchText, "Search for:"},
      {kMsgCannotFind, "Cannot find the text"},
      {kMsgReplaceTheText, "Replace the text"},
      {kMsgWith, "with"},
      {kMsgSearchButton, "Search"},
      {kMsgSkipButton, "Skip"},
      {kMsgBacktrackingLimit, "The pattern search gave up: backtracking limit exceeded in"},
      {kMsgLaterNotReported, "Later files where this happens are not reported."},
      {kMsgChangedMeanwhile, "It was changed by another program since it was read"},
      {kMsgFoundFilesLeftOut, "Found files (%d more not listed: path too long)"},
  };
  for (const auto& c : cases) EXPECT_EQ(texts.messages[c.id], c.text) << c.id;
}

}  // namespace
