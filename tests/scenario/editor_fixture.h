// Scenarios of Linquo in the host's editor: the real module, a buffer in the host's
// editor, scripted dialogs and answers to the questions.
#pragma once

#include <unistd.h>

#include <deque>
#include <functional>

#include "fixture.h"

namespace scenario {

// The search or replace dialog as the user fills it; unset fields keep what is shown.
struct EditorFields {
  std::optional<std::string> text = std::nullopt;
  std::optional<std::string> with = std::nullopt;  // the replace dialog only
  std::optional<bool> regex = std::nullopt;
  std::optional<bool> caseSensitive = std::nullopt;
  std::optional<bool> backward = std::nullopt;
  std::optional<bool> inSelection = std::nullopt;  // the search dialog only
};

enum EditorEntry { kSearchEntry = 0, kReplaceEntry = 1, kRepeatEntry = 2 };
enum Answer { kEscape = -1, kReplace = 0, kAll = 1, kSkip = 2, kCancel = 3 };

class EditorScenario : public ScenarioTest {
 protected:
  void SetUp() override {
    ScenarioTest::SetUp();
    alarm(120);  // a run that never ends fails instead of hanging the suite
    linquo_ = LoadLinquo();
    ASSERT_NE(linquo_, nullptr);
    host_->QueryPluginInfo(linquo_);
    InstallDriver();
  }
  void TearDown() override {
    alarm(0);
    ScenarioTest::TearDown();
  }

  void InstallDriver() {
    host_->driver.dialog = [this](int, const char*, FarDialogItem* items, int count) {
      if (dialogs_.empty()) return -1;  // nothing scripted: Escape
      auto answer = std::move(dialogs_.front());
      dialogs_.pop_front();
      return answer(items, count);
    };
    host_->driver.message = [this](const host::MessageRequest& request) {
      messages_.push_back(request);
      if (request.buttons <= 1) return 0;
      if (answers_.empty()) {
        ADD_FAILURE() << "an unexpected question";
        return -1;
      }
      int answer = answers_.front();
      answers_.pop_front();
      return answer;
    };
  }

  host::EditorBuffer& Open(const std::string& bytes, int line = 0, int pos = 0) {
    host::EditorBuffer& editor = host_->OpenEditorText(bytes, root_ + "/edited.txt");
    editor.curLine = line;
    editor.curPos = pos;
    return editor;
  }
  host::EditorBuffer& Editor() { return *host_->editor(); }

  static void SetText(FarDialogItem& item, const std::string& text) {
    std::snprintf(item.Data, sizeof item.Data, "%s", text.c_str());
  }
  static void SetCheck(FarDialogItem& item, std::optional<bool> state) {
    if (state) item.Selected = *state ? 1 : 0;
  }

  // Scripts the next search dialog: filled, then closed with the search button.
  void ScriptSearch(const EditorFields& fields) {
    dialogs_.push_back([fields](FarDialogItem* items, int count) {
      EXPECT_EQ(count, 10);
      if (fields.text) SetText(items[2], *fields.text);
      SetCheck(items[4], fields.regex);
      SetCheck(items[5], fields.caseSensitive);
      SetCheck(items[6], fields.backward);
      if (items[7].Type == DI_CHECKBOX) SetCheck(items[7], fields.inSelection);
      return 8;
    });
  }
  void ScriptReplace(const EditorFields& fields) {
    dialogs_.push_back([fields](FarDialogItem* items, int count) {
      EXPECT_EQ(count, 11);
      if (fields.text) SetText(items[2], *fields.text);
      if (fields.with) SetText(items[4], *fields.with);
      SetCheck(items[6], fields.regex);
      SetCheck(items[7], fields.caseSensitive);
      SetCheck(items[8], fields.backward);
      return 9;
    });
  }

  void Run(EditorEntry entry) {
    EXPECT_EQ(host_->OpenPlugin(linquo_, OPEN_EDITOR, entry), FAR_INVALID_HANDLE);
  }
  void Search(const EditorFields& fields) {
    ScriptSearch(fields);
    Run(kSearchEntry);
  }
  void Replace(const EditorFields& fields, std::initializer_list<int> answers = {}) {
    ScriptReplace(fields);
    answers_.insert(answers_.end(), answers.begin(), answers.end());
    Run(kReplaceEntry);
  }
  void Repeat(std::initializer_list<int> answers = {}) {
    answers_.insert(answers_.end(), answers.begin(), answers.end());
    Run(kRepeatEntry);
  }

  // The selected block on one line as (line, start, width), or none.
  std::optional<std::tuple<int, int, int>> Selection() {
    const host::EditorBlock& block = Editor().block;
    if (block.type == BTYPE_NONE) return std::nullopt;
    EXPECT_EQ(block.startLine, block.endLine);
    return std::make_tuple(block.startLine, block.startPos, block.endPos - block.startPos);
  }
  std::pair<int, int> Cursor() { return {Editor().curLine, Editor().curPos}; }
  void Select(int line, int start, int endLine, int end) {
    Editor().Select(host::EditorBlock{BTYPE_STREAM, line, start, endLine, end});
  }

  const std::string& Msg(int n) { return linquo_->messages.at(static_cast<std::size_t>(n)); }

  // The not-found warnings shown since the last call, by their title.
  std::vector<std::string> TakeWarnings() {
    std::vector<std::string> titles;
    for (const host::MessageRequest& message : messages_)
      if (message.helpTopic == "QXCannotFind") {
        EXPECT_EQ(message.flags, FMSG_WARNING);
        titles.push_back(message.lines.at(0));
      }
    messages_.clear();
    return titles;
  }
  int Questions() const {
    int count = 0;
    for (const host::MessageRequest& message : messages_)
      count += message.helpTopic == "QXAskReplace";
    return count;
  }

  host::Plugin* linquo_ = nullptr;
  std::deque<std::function<int(FarDialogItem*, int)>> dialogs_;
  std::deque<int> answers_;
  std::vector<host::MessageRequest> messages_;
};

using Hit = std::optional<std::tuple<int, int, int>>;
inline Hit At(int line, int start, int width) { return std::make_tuple(line, start, width); }
inline std::pair<int, int> Pos(int line, int pos) { return {line, pos}; }

}  // namespace scenario
