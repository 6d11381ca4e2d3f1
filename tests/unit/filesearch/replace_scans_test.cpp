// The replace scans on byte ranges: what goes to the output for each mode.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "common/pattern.h"
#include "filesearch/replace/scans.h"
#include "unit/filesearch/search_run_fixture.h"
#include "unit/text_model_scope.h"

namespace {

const unsigned char* Data(const std::string& s) {
  return reinterpret_cast<const unsigned char*>(s.data());
}

struct ScanRun {
  std::optional<std::string> output;  // none when nothing was written
  int begins = 0;
  int matches = 0;
  int result = 0;
};

// Runs the scan of the mode on content with every match accepted (or, with keep, every
// match left as it is).
ScanRun Replace(int mode, const std::string& text, const std::string& with,
            const std::string& content, int severalLines = 3, bool keep = false,
            int caseSensitive = 1) {
  SearchSettings settings = MakeSettings(text, mode, caseSensitive, severalLines);
  settings.replacement = with;
  TestRun test(settings);
  ScanRun run;
  std::string written;
  OutputSink sink;
  sink.begin = [&] {
    ++run.begins;
    return 1;
  };
  sink.confirm = [&](const unsigned char*, std::size_t, const std::string&) {
    ++run.matches;
    return keep ? 0 : 1;
  };
  sink.write = [&](const unsigned char* bytes, std::size_t count) {
    written.append(reinterpret_cast<const char*>(bytes), count);
    return 1;
  };
  ReplaceOutput out;
  out.context = &test.context;
  out.sink = &sink;
  run.result = ReplaceInContent(Data(content), content.size(), &out);
  if (out.open) run.output = written;
  return run;
}

std::string Output(int mode, const std::string& text, const std::string& with,
                   const std::string& content, int severalLines = 3) {
  ScanRun run = Replace(mode, text, with, content, severalLines);
  EXPECT_EQ(run.result, run.output ? 1 : 0);
  return run.output.value_or("<nothing>");
}

TEST(ReplaceScans, NoMatchWritesNothing) {
  for (int mode : {0, 1, 2}) {
    SCOPED_TRACE(mode);
    ScanRun run = Replace(mode, "zzz", "X", "hello\nworld\n");
    EXPECT_FALSE(run.output);
    EXPECT_EQ(run.begins, 0);
    EXPECT_EQ(run.result, 0);
  }
}

TEST(ReplaceScans, PlainText) {
  const struct {
    std::string text, with, content, expected;
  } cases[] = {
      {"wor", "X", "hello world", "hello Xld"},       // the rest after the last match stays
      {"ld", "X", "hello world", "hello worX"},       // a match at the very end
      {"aa", "b", "aaaaa", "bba"},                    // matches never overlap
      {"o", "$1\\n", "foo", "f$1\\n$1\\n"},           // the replacement is literal
      {"l", "", "hello", "heo"},                      // an empty replacement removes
      {"x\r\ny", "-", "ax\r\nyb", "a-b"},             // line breaks are ordinary bytes
      {std::string("\0z", 2), "!", std::string("a\0zb", 4), "a!b"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(Output(0, c.text, c.with, c.content), c.expected);
  }
}

TEST(ReplaceScans, PlainTextFoldsOnlyAsciiLettersWhenCaseIsIgnored) {
  SearchSettings settings = MakeSettings("ab\xC0", 0, 0);
  settings.replacement = "-";
  TestRun test(settings);
  std::string written;
  OutputSink sink{[] { return 1; },
                  [](const unsigned char*, std::size_t, const std::string&) { return 1; },
                  [&](const unsigned char* b, std::size_t n) {
                    written.append(reinterpret_cast<const char*>(b), n);
                    return 1;
                  }};
  ReplaceOutput out;
  out.context = &test.context;
  out.sink = &sink;
  std::string content = "AB\xC0 ab\xE0 aB\xC0";
  EXPECT_EQ(ReplacePlainText(Data(content), content.size(), &out), 1);
  EXPECT_EQ(written, "- ab\xE0 -");
}

TEST(ReplaceScans, EmptySearchTextInPlainModeReplacesNothing) {
  ScanRun run = Replace(0, "", "X", "abc");
  EXPECT_FALSE(run.output);
}

TEST(ReplaceScans, AnchorAfterAReplacedMatch) {
  // Line by line the point after a replacement is a subject start; in the window mode it
  // is not the beginning of a line.
  EXPECT_EQ(Output(1, "^a", "b", "aaa"), "bbb");
  EXPECT_EQ(Output(2, "^a", "b", "aaa"), "baa");
  EXPECT_EQ(Output(1, "^a", "b", "aaa\naaa\n"), "bbb\nbbb\n");
}

TEST(ReplaceScans, LineModeNeverTakesInABreak) {
  EXPECT_EQ(Output(1, "a\\s*b", "X", "a\nb a b\r\n"), "a\nb X\r\n");
  EXPECT_EQ(Output(1, "$", "!", "ab\r\ncd"), "ab!\r\ncd!");
}

TEST(ReplaceScans, Windows) {
  const struct {
    int lines;
    std::string pattern, content, expected;
  } cases[] = {
      {3, "x\\r\\ny", "ax\r\nyb\r\n", "a-b\r\n"},                  // across a break
      {3, "a\\nb\\nc\\nd", "a\nb\nc\nd\n", "<nothing>"},              // four lines never fit
      {3, "a\\nb\\nc", "a\nb\nc\nd\n", "-\nd\n"},                  // three lines do
      {1, "a\\n", "a\na\nb", "--b"},                               // one line with its break
      {1, "a\\nb", "a\nb\n", "<nothing>"},
      {2, "b\\nc", "a\nb\nc\nd", "a\n-\nd"},
      {3, "d$", "a\nb\nc\nd", "a\nb\nc\n-"},                      // the last line, no break
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.pattern + " in " + std::to_string(c.lines));
    EXPECT_EQ(Output(2, c.pattern, "-", c.content, c.lines), c.expected);
  }
}

TEST(ReplaceScans, WindowsSeeTheFilesOwnLineStartsAndEnds) {
  const struct {
    int lines;
    std::string pattern, with, content, expected;  // expected: what perl -0pe s///mg gives
  } cases[] = {
      // After a match that ends with a line break the next search starts at a line start.
      {5, "^a\\n", "X\\n", "a\na\na\n", "X\nX\nX\n"},
      {2, "^a\\n", "X\\n", "a\na\na\na\na\n", "X\nX\nX\nX\nX\n"},
      {3, "^\\n", "", "a\n\n\n\nb\n", "a\nb\n"},
      // The end of a window inside the file is no line end: "$" stays on its own line.
      {2, "$", ";", "a\nb\nc\n", "a;\nb;\nc;\n;"},
      {1, "$", ";", "a\nb\n", "a;\nb;\n;"},
      {2, "b\\n$", "-", "a\nb\nc\n", "<nothing>"},
      // The next window starts where the last match ends when that is a line start, so a
      // match that the window's end cut off is found in the next window.
      {2, "x\\n|y\\nz", "-", "x\ny\nz\n", "--\n"},
      {3, "\\n\\n", "\\n", "x;\n\ny;\n\nz\n", "x;\ny;\nz\n"},
      // The same inside a line: the rest of the line is searched again in the next window.
      {3, ";\\n  (\\w)", ";\\n  <$1>", "x;\n  y;\n  z;\n  w;\n",
       "x;\n  <y>;\n  <z>;\n  <w>;\n"},
      // Inside a line the point after a match is still no line start.
      {3, "^a", "b", "aaa\naa\n", "baa\nba\n"},
      // A CR LF pair is one break: between its two bytes no line starts.
      {3, "a\\r|^\\n", "-", "a\r\nb\r\n", "-\nb\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.pattern + " over " + std::to_string(c.lines) + " lines");
    EXPECT_EQ(Output(2, c.pattern, c.with, c.content, c.lines), c.expected);
  }
}

TEST(ReplaceScans, TheLastLineWithoutABreakIsSearched) {
  EXPECT_EQ(Output(1, "z", "Z", "a\nz"), "a\nZ");
  EXPECT_EQ(Output(2, "z", "Z", "a\nz"), "a\nZ");
  EXPECT_EQ(Output(0, "z", "Z", "a\nz"), "a\nZ");
}

TEST(ReplaceScans, EmptyMatchesEnd) {
  // After an empty match the same place is tried for a longer match, then the search goes
  // on behind the byte there (the results are perl's).
  EXPECT_EQ(Output(1, "x*", "-", "abc"), "-a-b-c-");
  EXPECT_EQ(Output(1, "[0-9]*?", "-", "a12"), "-a-----");
  EXPECT_EQ(Output(1, "|a", "-", "ab"), "---b-");
  EXPECT_EQ(Output(1, "a??", "-", "baa"), "-b-----");
  EXPECT_EQ(Output(2, "(?:)|b", "-", "ab\nb", 2), "-a---\n---");
  EXPECT_EQ(Output(1, "x*", "-", "ax\nb"), "-a--\n-b-");
  EXPECT_EQ(Output(1, "", "-", "ab"), "<nothing>");  // no pattern: nothing matches
  EXPECT_EQ(Output(2, "x*", "-", "ab\nc", 2), "-a-b-\n-c-");
  EXPECT_EQ(Output(1, "\\b", "|", "ab cd"), "|ab| |cd|");
}

TEST(ReplaceScans, TemplateLineBreakIsOneLfInCrLfFiles) {
  EXPECT_EQ(Output(1, "x", "a\\nb", "1x2\r\n"), "1a\nb2\r\n");
  EXPECT_EQ(Output(1, "(\\w+)=(\\w+)", "$2=$1", "k=v\r\n"), "v=k\r\n");
}

TEST(ReplaceScans, MatchesLeftUnchangedStillWriteTheWholeFile) {
  ScanRun run = Replace(1, "o", "0", "foo\nbar\n", 3, /*keep=*/true);
  ASSERT_TRUE(run.output);
  EXPECT_EQ(*run.output, "foo\nbar\n");
  EXPECT_EQ(run.matches, 2);
  EXPECT_EQ(run.begins, 1);
  EXPECT_EQ(run.result, 1);
}

TEST(ReplaceScans, AFailedWriteStopsAndReportsIncomplete) {
  SearchSettings settings = MakeSettings("o", 0, 1);
  settings.replacement = "0";
  TestRun test(settings);
  int writes = 0;
  OutputSink sink{[] { return 1; },
                  [](const unsigned char*, std::size_t, const std::string&) { return 1; },
                  [&](const unsigned char*, std::size_t) { return ++writes < 2 ? 1 : 0; }};
  ReplaceOutput out;
  out.context = &test.context;
  out.sink = &sink;
  std::string content = "foo foo foo";
  EXPECT_EQ(ReplaceInContent(Data(content), content.size(), &out), 0);
  EXPECT_TRUE(out.failed);
  EXPECT_EQ(writes, 2);  // nothing more is tried after the failure
}

TEST(ReplaceScans, ADeclinedFileWritesNothing) {
  TestRun test(MakeSettings("o", 0, 1));
  int writes = 0;
  OutputSink sink{[] { return 0; },
                  [](const unsigned char*, std::size_t, const std::string&) { return 1; },
                  [&](const unsigned char*, std::size_t) { return ++writes, 1; }};
  ReplaceOutput out;
  out.context = &test.context;
  out.sink = &sink;
  std::string content = "foo";
  EXPECT_EQ(ReplaceInContent(Data(content), content.size(), &out), 0);
  EXPECT_FALSE(out.open);
  EXPECT_EQ(writes, 0);
}

// In the UTF-8 text model: caseless plain text folds every script, groups convert case
// as whole characters, and an empty match steps over a whole character.
TEST(ReplaceScans, Utf8Text) {
  TextModelScope utf8(true);
  const struct {
    int mode;
    const char* text;
    const char* with;
    std::string content;
    int caseSensitive;
    const char* expected;
  } cases[] = {
      {0, "дом", "хата", "Дом, ДОМ и дом\n", 0, "хата, хата и хата\n"},
      {0, "дом", "хата", "Дом, ДОМ и дом\n", 1, "Дом, ДОМ и хата\n"},
      {0, "ſ", "-", "Ss ſ", 0, "-- -"},  // occurrences of other lengths than the text's
      {1, "(\\w+)@", "\\U$1", "жук@ Éte@\n", 1, "ЖУК ÉTE\n"},
      {2, "д(\\w)", "\\u$1", "дом дуб\n", 1, "Ом Уб\n"},
      {1, "x*", "-", "дом\n", 1, "-д-о-м-\n"},
      {2, "x*", "-", "日\n", 1, "-日-\n-"},
      {1, "м$", "M", "до\xFFм\n\xFF", 1, "до\xFFM\n\xFF"},  // invalid bytes kept as they are
  };
  for (const auto& c : cases) {
    ScanRun run = Replace(c.mode, c.text, c.with, c.content, 3, false, c.caseSensitive);
    ASSERT_TRUE(run.output.has_value()) << c.text;
    EXPECT_EQ(*run.output, c.expected) << c.text;
  }
}

}  // namespace
