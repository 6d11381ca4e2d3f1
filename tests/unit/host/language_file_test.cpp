#include "host/language_file.h"

#include <gtest/gtest.h>

#include "scratch_folder.h"

namespace {

using host::LanguageFile;

struct ParseCase {
  const char* name;
  std::string bytes;
  bool parses;
  std::vector<std::string> messages;
};

class ParseLanguageFileTest : public testing::TestWithParam<ParseCase> {};

TEST_P(ParseLanguageFileTest, TakesTheQuotedTextsInOrder) {
  const ParseCase& c = GetParam();
  LanguageFile file;
  EXPECT_EQ(host::ParseLanguageFile(c.bytes, &file), c.parses);
  if (c.parses) {
    EXPECT_EQ(file.messages, c.messages);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ParseLanguageFileTest,
    testing::Values(
        ParseCase{
            "plain", ".Language=English,English\n\"OK\"\n\"Cancel\"\n", true, {"OK", "Cancel"}},
        ParseCase{"comments_and_blank_lines_skipped",
                  "// leading comment\n\n.Language=English,English\n// 0\n\"OK\"\n\n  // 1\n"
                  "\"Cancel\"\n",
                  true,
                  {"OK", "Cancel"}},
        ParseCase{
            "crlf_line_ends", ".Language=English,English\r\n\"OK\"\r\n\"\"\r\n", true, {"OK", ""}},
        ParseCase{"no_final_line_end", ".Language=English,English\n\"Last\"", true, {"Last"}},
        ParseCase{"inner_quotes_and_percent_kept",
                  ".Language=English,English\n\"Say \"hi\" %d\"  \n",
                  true,
                  {"Say \"hi\" %d"}},
        ParseCase{"unclosed_text_runs_to_line_end",
                  ".Language=English,English\n\"open\n",
                  true,
                  {"open"}},
        ParseCase{"comment_marker_inside_text_is_text",
                  ".Language=English,English\n\"a // b\"\n",
                  true,
                  {"a // b"}},
        ParseCase{"no_header", "\"OK\"\n\"Cancel\"\n", false, {}},
        ParseCase{"empty_file", "", false, {}},
        ParseCase{"header_without_name", ".Language=,English\n\"OK\"\n", false, {}}),
    [](const testing::TestParamInfo<ParseCase>& info) { return std::string(info.param.name); });

TEST(ParseLanguageFile, ReadsTheHeader) {
  LanguageFile file;
  ASSERT_TRUE(host::ParseLanguageFile(".language=Russian,Russian (x)\n\"a\"\n", &file));
  EXPECT_EQ(file.name, "Russian");
  EXPECT_EQ(file.description, "Russian (x)");
}

TEST(ParseLanguageFile, KeepsCodePage866BytesExactly) {
  // "Отмена" and "ё" in code page 866, with bytes that UTF-8 would reject.
  const std::string cancel = "\x8e\xe2\xac\xa5\xad\xa0";
  const std::string yo = "\xf1";
  LanguageFile file;
  ASSERT_TRUE(host::ParseLanguageFile(
      ".Language=Russian,\x90\xe3\xe1\xe1\xaa\xa8\xa9\n\"" + cancel + "\"\n\"" + yo + "\"\n",
      &file));
  ASSERT_EQ(file.messages.size(), 2u);
  EXPECT_EQ(file.messages[0], cancel);
  EXPECT_EQ(file.messages[1], yo);
  EXPECT_EQ(file.description, "\x90\xe3\xe1\xe1\xaa\xa8\xa9");
}

TEST(ReadLanguageFile, FailsForAMissingFile) {
  ScratchFolder folder;
  LanguageFile file;
  EXPECT_FALSE(host::ReadLanguageFile(folder.path() + "absent.lng", &file));
  EXPECT_TRUE(file.messages.empty());
}

TEST(ChooseLanguageFile, PrefersTheLanguageThenEnglishThenTheFirst) {
  ScratchFolder folder;
  folder.Write("a_german.lng", ".Language=German,Deutsch\n\"Abbrechen\"\n");
  folder.Write("b_english.lng", ".Language=English,English\n\"Cancel\"\n");
  folder.Write("c_russian.LNG", ".Language=Russian,Russian\n\"\x8e\"\n");
  folder.Write("d_broken.lng", "no header\n");
  folder.Write("notes.txt", ".Language=Klingon,Klingon\n");

  EXPECT_EQ(host::ChooseLanguageFile(folder.path(), "russian"), folder.path() + "c_russian.LNG");
  EXPECT_EQ(host::ChooseLanguageFile(folder.path(), "English"), folder.path() + "b_english.lng");
  EXPECT_EQ(host::ChooseLanguageFile(folder.path(), "Klingon"), folder.path() + "b_english.lng");

  ScratchFolder noEnglish;
  noEnglish.Write("z.lng", ".Language=Russian,Russian\n\"x\"\n");
  noEnglish.Write("m.lng", ".Language=German,Deutsch\n\"y\"\n");
  noEnglish.Write("a.lng", "not a language file\n");
  EXPECT_EQ(host::ChooseLanguageFile(noEnglish.path(), "French"), noEnglish.path() + "m.lng");
}

TEST(ChooseLanguageFile, PassesOverWhatIsNoLanguageFile) {
  ScratchFolder folder;
  folder.MakeFolder("a_folder.lng");
  // Far larger than any language file, with a valid header all the same.
  folder.Write("b_huge.lng", ".Language=English,English\n" + std::string(5 << 20, ' '));
  EXPECT_EQ(host::ChooseLanguageFile(folder.path(), "English"), "");
  folder.Write("c_english.lng", ".Language=English,English\n\"Cancel\"\n");
  EXPECT_EQ(host::ChooseLanguageFile(folder.path(), "English"), folder.path() + "c_english.lng");
}

TEST(ChooseLanguageFile, IsEmptyWithoutLanguageFiles) {
  ScratchFolder folder;
  folder.Write("readme.txt", "text");
  EXPECT_EQ(host::ChooseLanguageFile(folder.path(), "English"), "");
  EXPECT_EQ(host::ChooseLanguageFile(folder.path() + "missing/", "English"), "");
}

TEST(ConvertLanguageFile, PutsTheTextsInTheTextModel) {
  const std::string kOem = "\x8e\xe2\xac\xa5\xad\xa0";  // "Отмена" in code page 866
  const std::string kUtf8 = "\xD0\x9E\xD1\x82\xD0\xBC\xD0\xB5\xD0\xBD\xD0\xB0";
  const struct {
    std::string bytes;
    bool utf8Model;
    std::string description, text;
  } cases[] = {
      {".Language=Russian,R " + kOem + "\n\"" + kOem + " %d\"\n", true, "R " + kUtf8,
       kUtf8 + " %d"},
      {".Language=Russian,R " + kOem + "\n\"" + kOem + "\"\n", false, "R " + kOem, kOem},
      {"\xEF\xBB\xBF.Language=Russian,R " + kUtf8 + "\n\"" + kUtf8 + "\"\n", true, "R " + kUtf8,
       kUtf8},
      {"\xEF\xBB\xBF.Language=Russian,R " + kUtf8 + "\n\"" + kUtf8 + "\"\n", false, "R " + kOem,
       kOem},
      // What the OEM code page cannot spell, and bytes that are no UTF-8, become '?'.
      {"\xEF\xBB\xBF.Language=X,X\n\"a\xE2\x82\xAC" "b\xFF" "c\xD0\"\n", false, "X", "a?b?c?"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.bytes);
    LanguageFile file;
    ASSERT_TRUE(host::ParseLanguageFile(c.bytes, &file));
    host::ConvertLanguageFile(&file, c.utf8Model);
    EXPECT_EQ(file.description, c.description);
    ASSERT_EQ(file.messages.size(), 1u);
    EXPECT_EQ(file.messages[0], c.text);
    // Converted once, the texts stay as they are.
    host::ConvertLanguageFile(&file, c.utf8Model);
    EXPECT_EQ(file.messages[0], c.text);
  }
}

}  // namespace
