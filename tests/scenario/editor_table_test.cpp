// Linquo in an editor that shows its file in the ANSI table: the typed texts (OEM) are
// converted to the editor's table before they are looked for or written, and what the
// question shows of a line comes back in OEM. The host's tables here: OEM 866, ANSI 1251.
#include "editor_fixture.h"
#include "platform/platform.h"
#include "src/common/message_ids.h"

namespace scenario {
namespace {

// "кот" (cat) and "пёс" (dog) as each table spells them.
const std::string kCatOem = "\xAA\xAE\xE2";
const std::string kCatAnsi = "\xEA\xEE\xF2";
const std::string kDogOem = "\xAF\xF1\xE1";
const std::string kDogAnsi = "\xEF\xB8\xF1";

class EditorTable : public EditorScenario {
 protected:
  void SetUp() override {
    EditorScenario::SetUp();
    ASSERT_EQ(platform::CharacterOfOem(0xAA), U'\u043a') << "the tests expect OEM 866";
    unsigned char ansi = 0;
    ASSERT_TRUE(platform::ConvertOemToAnsi(0xAA, &ansi));
    ASSERT_EQ(ansi, 0xEA) << "the tests expect ANSI 1251";
  }
  host::EditorBuffer& OpenInAnsi(const std::string& bytes, int line = 0, int pos = 0) {
    host::EditorBuffer& editor = Open(bytes, line, pos);
    editor.ansiTable = true;
    return editor;
  }
  int Conversions(int command) {
    int count = 0;
    for (const host::ServiceCall* call : CallsOf("EditorControl"))
      count += call->args.at(0) == command;
    return count;
  }
};

TEST_F(EditorTable, TypedTextIsFoundInTheAnsiTable) {
  // In plain text and as a pattern; the OEM bytes of the word are something else in the
  // ANSI line, placed before it so that a search without the conversion finds them.
  for (bool regex : {false, true}) {
    SCOPED_TRACE(regex);
    OpenInAnsi("x " + kCatOem + " y " + kCatAnsi + "\n");
    Search({.text = regex ? "\xAA(\xAE)\xE2" : kCatOem, .regex = regex, .caseSensitive = true});
    EXPECT_EQ(Selection(), At(0, 8, 3));
    EXPECT_TRUE(TakeWarnings().empty());
  }
}

TEST_F(EditorTable, ReplacementIsWrittenInTheAnsiTableAndTheQuestionShowsOem) {
  OpenInAnsi(kCatAnsi + " " + kCatAnsi + "\n");
  Replace({.text = kCatOem, .with = kDogOem, .regex = false, .caseSensitive = true},
          {kReplace, kAll});
  EXPECT_EQ(Editor().Text(), kDogAnsi + " " + kDogAnsi + "\n");
  const host::ServiceCall* question = nullptr;
  for (const host::ServiceCall* call : CallsOf("Message"))
    if (call->texts.at(0) == "QXAskReplace" && !question) question = call;
  ASSERT_NE(question, nullptr);
  EXPECT_EQ(question->texts.at(3), "\"" + kCatOem + "\"");
  EXPECT_EQ(question->texts.at(5), "\"" + kDogOem + "\"");
  // A template's own text is converted too; what it takes from the match stays as read.
  OpenInAnsi(kCatAnsi + "\n");
  Replace({.text = "(\xAA)\xAE\xE2", .with = kDogOem + "$1", .regex = true}, {kAll});
  EXPECT_EQ(Editor().Text(), kDogAnsi + "\xEA\n");
}

TEST_F(EditorTable, RepeatFollowsTheTableTheEditorShowsNow) {
  host::EditorBuffer& editor = Open(kCatOem + " " + kCatAnsi + "\n");
  Search({.text = kCatOem, .regex = true, .caseSensitive = true});
  EXPECT_EQ(Selection(), At(0, 0, 3));
  // The user switches to ANSI: the repeat looks for the ANSI spelling.
  editor.ansiTable = true;
  editor.curPos = 0;
  Repeat();
  EXPECT_EQ(Selection(), At(0, 4, 3));
}

TEST_F(EditorTable, AnOemEditorIsAskedForNoConversion) {
  Open(kCatOem + "\n");
  host_->calls.clear();
  Replace({.text = kCatOem, .with = kDogOem, .caseSensitive = true}, {kReplace});
  EXPECT_EQ(Editor().Text(), kDogOem + "\n");
  EXPECT_EQ(Conversions(ECTL_OEMTOEDITOR) + Conversions(ECTL_EDITORTOOEM), 0);
}

}  // namespace
}  // namespace scenario
