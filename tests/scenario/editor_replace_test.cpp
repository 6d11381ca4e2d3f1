#include <sys/stat.h>
#include <unistd.h>

#include <sstream>

#include "editor_fixture.h"
#include "src/common/message_ids.h"

namespace scenario {
namespace {

using EditorReplace = EditorScenario;

TEST_F(EditorReplace, QuestionShowsMatchAndReplacement) {
  Open("one cat\n");
  Replace({.text = "c(a)t", .with = "d$1g", .regex = true}, {kReplace});
  EXPECT_EQ(Editor().Text(), "one dag\n");
  const host::ServiceCall* question = nullptr;
  for (const host::ServiceCall* call : CallsOf("Message"))
    if (call->texts.at(0) == "QXAskReplace") question = call;
  ASSERT_NE(question, nullptr);
  EXPECT_EQ(question->args, (std::vector<std::intptr_t>{0, 9, 4}));
  EXPECT_EQ(question->texts, (std::vector<std::string>{
                                 "QXAskReplace", Msg(kMsgReplaceTitle), Msg(kMsgReplaceTheText),
                                 "\"cat\"", Msg(kMsgWith), "\"dag\"", Msg(kMsgReplaceButton),
                                 Msg(kMsgAllButton), Msg(kMsgSkipButton), Msg(kMsgCancel)}));
  // The run reached the end: the warning under the replace title, after a replacement too.
  EXPECT_EQ(TakeWarnings(), std::vector<std::string>{Msg(kMsgReplaceTitle)});
  EXPECT_EQ(Selection(), std::nullopt);
  EXPECT_EQ(Cursor(), Pos(0, 7));
  const host::ServiceCall* dialog = CallsOf("Dialog").front();
  EXPECT_EQ(dialog->args, (std::vector<std::intptr_t>{-1, -1, 76, 14, 11}));
  EXPECT_EQ(dialog->texts.at(0), "ReplaceDlg");
  EXPECT_STREQ(dialog->items.at(4).History, "ReplaceText");
}

struct AnswerCase {
  const char* name;
  std::vector<int> answers;
  std::string text;  // afterwards
  bool warned;
  Hit selection;
};

void PrintTo(const AnswerCase& c, std::ostream* out) { *out << c.name; }

class EditorReplaceAnswers : public EditorScenario,
                             public ::testing::WithParamInterface<AnswerCase> {};

TEST_P(EditorReplaceAnswers, LeaveWhatTheyShould) {
  const AnswerCase& c = GetParam();
  Open("a1 a2 a3\n");
  ScriptReplace({.text = "a", .with = "<A>", .regex = false});
  answers_.assign(c.answers.begin(), c.answers.end());
  Run(kReplaceEntry);
  EXPECT_TRUE(answers_.empty()) << "questions asked: " << Questions();
  EXPECT_EQ(Editor().Text(), c.text);
  EXPECT_EQ(TakeWarnings().size(), c.warned ? 1u : 0u);
  EXPECT_EQ(Selection(), c.selection);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, EditorReplaceAnswers,
    ::testing::Values(
        AnswerCase{
            "ReplaceEach", {kReplace, kReplace, kReplace}, "<A>1 <A>2 <A>3\n", true, std::nullopt},
        AnswerCase{"SkipThenReplace", {kSkip, kReplace, kSkip}, "a1 <A>2 a3\n", true, At(0, 8, 1)},
        AnswerCase{"AllAfterTheFirst", {kReplace, kAll}, "<A>1 <A>2 <A>3\n", false, std::nullopt},
        AnswerCase{
            "CancelKeepsWhatWasDone", {kReplace, kCancel}, "<A>1 a2 a3\n", false, At(0, 5, 1)},
        AnswerCase{"EscapeIsCancel", {kSkip, kEscape}, "a1 a2 a3\n", false, At(0, 3, 1)}),
    [](const ::testing::TestParamInfo<AnswerCase>& info) { return info.param.name; });

TEST_F(EditorReplace, CancelLeavesTheCursorAtTheMatch) {
  Open("x\ny\nxx a", 0, 0);
  Replace({.text = "a", .with = "b", .regex = false}, {kCancel});
  EXPECT_EQ(Cursor(), Pos(2, 3));
  EXPECT_EQ(Editor().topScreenLine, 2);  // the match's line is shown at the top
  EXPECT_EQ(Selection(), At(2, 3, 1));
  EXPECT_EQ(Editor().redraws, 1);  // so the match is visible behind the question
  EXPECT_FALSE(Editor().modified);
}

TEST_F(EditorReplace, DoublingALetterEnds) {
  Open("banana\nab\n");
  Replace({.text = "a", .with = "aa", .regex = false}, {kAll});
  EXPECT_EQ(Editor().Text(), "baanaanaa\naab\n");
  EXPECT_EQ(Questions(), 1);
  EXPECT_TRUE(TakeWarnings().empty());
}

TEST_F(EditorReplace, EmptyMatchesEnd) {
  // After an empty match the run goes on one character further; an empty region (the end
  // of a line, an empty line) holds no match.
  struct Case {
    const char* pattern;
    const char* with;
    bool backward;
    const char* expected;
  } cases[] = {
      {"x*", "-", false, "-a-b\n-c\n"},
      {"x*", "", false, "ab\nc\n"},
      {"x*", "-", true, "-ab\n-c\n"},
      {"$", "!", false, "ab!\nc!\n"},
      // Backward the subject ends at the cursor, so "$" matches there too.
      {"$", "!", true, "a!b!\nc!\n"},
      {"a|", "_", false, "__b\n_c\n"},
  };
  for (const Case& c : cases) {
    if (c.backward)
      Open("ab\nc\n", 2, 0);
    else
      Open("ab\nc\n");
    Replace({.text = c.pattern, .with = c.with, .regex = true, .backward = c.backward}, {kAll});
    EXPECT_EQ(Editor().Text(), c.expected) << c.pattern << (c.backward ? " backward" : "");
  }
}

TEST_F(EditorReplace, SkippingEmptyMatchesEnds) {
  Open("abc");
  Replace({.text = "x*", .with = "-", .regex = true}, {kSkip, kSkip, kSkip});
  EXPECT_EQ(Editor().Text(), "abc");
  EXPECT_EQ(Questions(), 3);  // at 0, 1 and 2; the line's end is an empty region
  EXPECT_EQ(TakeWarnings().size(), 1u);
}

TEST_F(EditorReplace, BackwardSkipFindsTheMatchEndingAtItsStart) {
  Open("abab", 0, 4);
  Replace({.text = "ab", .with = "X", .regex = false, .backward = true}, {kSkip, kReplace});
  EXPECT_EQ(Editor().Text(), "Xab");
  EXPECT_EQ(Cursor(), Pos(0, 0));
}

TEST_F(EditorReplace, LineBreakEscapeInsertsTheLineOwnEnd) {
  Open("a;b\r\nc;d\ne;f");
  Replace({.text = ";", .with = "\\n", .regex = false}, {kAll});
  // The last line has no end of its own: there the escape inserts nothing.
  EXPECT_EQ(Editor().Text(), "a\r\nb\r\nc\nd\nef");
  EXPECT_EQ(Editor().lines.size(), 3u);  // one text per line, as handed to the editor
}

TEST_F(EditorReplace, PlainModeLeavesGroupReferences) {
  Open("x.y");
  Replace({.text = ".", .with = "$1\\t$0", .regex = false}, {kReplace});
  EXPECT_EQ(Editor().Text(), "x$1\t$0y");
}

TEST_F(EditorReplace, RepeatAfterAllAsksNoMore) {
  Open("a\na\na\na\n");
  Replace({.text = "a", .with = "b", .regex = false}, {kReplace, kCancel});
  EXPECT_EQ(Editor().Text(), "b\na\na\na\n");
  Repeat({kAll});
  EXPECT_EQ(Editor().Text(), "b\nb\nb\nb\n");
  Open("a\na\n");
  Repeat();  // still "all": no question, no warning
  EXPECT_EQ(Editor().Text(), "b\nb\n");
  EXPECT_TRUE(TakeWarnings().empty());
  EXPECT_EQ(Questions(), 0);
  // Confirming the dialog again brings the questions back.
  Open("a\na\n");
  Replace({.text = "a", .with = "c", .regex = false}, {kReplace, kSkip});
  EXPECT_EQ(Editor().Text(), "c\na\n");
  EXPECT_EQ(Questions(), 2);
}

TEST_F(EditorReplace, NationalLettersChangeCase) {
  // Code page 866: 0xA0..0xA2 are small letters, 0x80..0x82 their capitals.
  Open("\xA0\xA1\xA2 \x80\x81\x82\n");
  Replace({.text = "(\\S+) (\\S+)", .with = "\\U$1\\E \\L$2", .regex = true}, {kReplace});
  EXPECT_EQ(Editor().Text(), "\x80\x81\x82 \xA0\xA1\xA2\n");
}

TEST_F(EditorReplace, InSelectionStopsAfterTheFirstReplacement) {
  Open("a a a");
  Select(0, 0, 0, 5);
  Search({.text = "a", .regex = false, .inSelection = true});
  EXPECT_EQ(Selection(), At(0, 0, 1));
  Editor().curPos = 0;
  Editor().Select(host::EditorBlock{BTYPE_STREAM, 0, 0, 0, 5});
  Replace({.text = "a", .with = "b"}, {kReplace});
  EXPECT_EQ(Editor().Text(), "b a a");
  EXPECT_EQ(Questions(), 1);
}

// "All" answered at the first question leaves what answering "Replace" to every question
// leaves: the text, the cursor and the window's top line.
TEST_F(EditorReplace, AllLeavesWhatEveryReplaceLeaves) {
  struct Case {
    const char* pattern;
    const char* with;
    bool regex;
    bool backward;
  } cases[] = {
      {"(?<=b)a", "b", true, false},      // matches made by the replacements before them
      {"^[a-z]", "X\\n", true, false},   // a line start after an inserted line feed
      {"(?<=(.))a", "[$1]", true, false},
      {"x*", "-", true, false},
      {"a", "aa", false, false},
      {"a", "<$0>", false, true},
      {"a?", "_", true, true},
  };
  const std::string text = "baaa a\nxbaab\n\naab";
  for (const Case& c : cases) {
    const EditorFields fields{.text = c.pattern, .with = c.with, .regex = c.regex,
                              .backward = c.backward};
    Open(text, c.backward ? 3 : 0, c.backward ? 3 : 0);
    std::vector<int> each(500, kReplace);
    ScriptReplace(fields);
    answers_.assign(each.begin(), each.end());
    Run(kReplaceEntry);
    const std::string replacedEach = Editor().Text();
    const auto cursorEach = Cursor();
    const int topEach = Editor().topScreenLine;
    ASSERT_FALSE(answers_.empty()) << c.pattern;

    Open(text, c.backward ? 3 : 0, c.backward ? 3 : 0);
    Replace(fields, {kAll});
    EXPECT_EQ(Editor().Text(), replacedEach) << c.pattern;
    EXPECT_EQ(Cursor(), cursorEach) << c.pattern;
    EXPECT_EQ(Editor().topScreenLine, topEach) << c.pattern;
    EXPECT_EQ(Selection(), std::nullopt) << c.pattern;
  }
}

// Once nothing is asked a line is handed to the editor once, however many matches it
// holds: the work per line does not grow with its matches.
TEST_F(EditorReplace, AllSetsEachLineOnce) {
  for (int matches : {10, 1000}) {
    std::string line;
    for (int i = 0; i < matches; ++i) line += "ab ";
    Open(line + "\n" + line + "\nnone\n" + line);
    host_->calls.clear();
    Replace({.text = "a(b)", .with = "<$1>", .regex = true}, {kAll});
    std::string expected;
    for (int i = 0; i < matches; ++i) expected += "<b> ";
    EXPECT_EQ(Editor().Text(), expected + "\n" + expected + "\nnone\n" + expected);
    int sets = 0;
    int editorCalls = 0;
    for (const host::ServiceCall* call : CallsOf("EditorControl")) {
      ++editorCalls;
      sets += call->args.at(0) == ECTL_SETSTRING;
    }
    // The answered match, the rest of its line, then each further line with a match.
    EXPECT_EQ(sets, 4) << matches;
    EXPECT_LT(editorCalls, 30) << matches;
  }
}

// Standard input as the console the plugins poll for Escape, for one test.
class ConsoleInput {
 public:
  explicit ConsoleInput(const std::string& keys) {
    int ends[2];
    if (pipe(ends) != 0) return;
    saved_ = dup(STDIN_FILENO);
    if (write(ends[1], keys.data(), keys.size()) != static_cast<ssize_t>(keys.size())) return;
    dup2(ends[0], STDIN_FILENO);
    close(ends[0]);
    writer_ = ends[1];
  }
  ~ConsoleInput() {
    if (saved_ >= 0) {
      dup2(saved_, STDIN_FILENO);
      close(saved_);
    }
    if (writer_ >= 0) close(writer_);
  }
  ConsoleInput(const ConsoleInput&) = delete;
  ConsoleInput& operator=(const ConsoleInput&) = delete;

 private:
  int saved_ = -1;
  int writer_ = -1;
};

TEST_F(EditorReplace, EscapeStopsAReplaceAll) {
  Open("a a a a\na\n");
  {
    ConsoleInput keys("\x1b");
    Replace({.text = "a", .with = "b", .regex = false}, {kAll});
  }
  // The answered match is replaced; the Escape waiting in the input ends the run there.
  EXPECT_EQ(Editor().Text(), "b a a a\na\n");
  EXPECT_TRUE(TakeWarnings().empty());
  // Other keys are no Escape.
  Open("a a\na\n");
  {
    ConsoleInput keys("q");
    Replace({.text = "a", .with = "b", .regex = false}, {kAll});
  }
  EXPECT_EQ(Editor().Text(), "b b\nb\n");
}

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

TEST_F(EditorReplace, MixedLineEndsKeepEveryUntouchedByte) {
  const std::string path = root_ + "/mixed.txt";
  const char bytes[] = "one\r\ntwo TODO\n\rthree\r\n\xFF\0x\rTODO";
  const std::string before(bytes, sizeof bytes - 1);
  WriteFile(path, before);
  chmod(path.c_str(), 0604);
  ASSERT_TRUE(host_->OpenEditor(path));
  Replace({.text = "TODO", .with = "DONE", .regex = false}, {kAll});
  ASSERT_TRUE(Editor().modified);
  ASSERT_TRUE(host_->SaveEditor());
  std::string expected = before;
  expected.replace(expected.find("TODO"), 4, "DONE");
  expected.replace(expected.rfind("TODO"), 4, "DONE");
  EXPECT_EQ(ReadAll(path), expected);
  struct stat st;
  ASSERT_EQ(stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0604u);
}

TEST_F(EditorReplace, CancelledDialogChangesNothing) {
  Open("a");
  dialogs_.push_back([](FarDialogItem* items, int) {
    SetText(items[2], "a");
    SetText(items[4], "b");
    return 10;  // the cancel button
  });
  Run(kReplaceEntry);
  EXPECT_EQ(Editor().Text(), "a");
  host_->UnloadPlugin(linquo_);
  linquo_ = nullptr;
  EXPECT_EQ(ReadStoredText("ERReplace"), "");
}

}  // namespace
}  // namespace scenario
