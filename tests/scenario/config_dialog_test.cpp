// Trawlix's configuration dialog behind Configure: its items, the number checks, the
// field to blame, and what reaches the registry.
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "scenario/dialog_script.h"
#include "scenario/fixture.h"
#include "scenario/search_entries.h"
#include "src/common/message_ids.h"

namespace scenario {
namespace {

constexpr int kLinesField = 2;
constexpr int kLimitField = 4;
constexpr int kDelimiterField = 7;
constexpr int kNegationField = 9;
constexpr int kNoExtensionBox = 10;
constexpr int kThreadsField = 12;
constexpr int kEncodingsField = 14;
constexpr int kOkButton = 15;
constexpr int kCancel = 16;
constexpr int kItems = 17;

struct ConfigEntries {
  std::optional<std::string> lines = std::nullopt, limit = std::nullopt,
                             delimiter = std::nullopt, negation = std::nullopt,
                             threads = std::nullopt, encodings = std::nullopt;
  std::optional<bool> noExtension = std::nullopt;
};

void EnterConfig(FarDialogItem* items, const ConfigEntries& entries) {
  if (entries.lines) TypeText(items[kLinesField], *entries.lines);
  if (entries.limit) TypeText(items[kLimitField], *entries.limit);
  if (entries.threads) TypeText(items[kThreadsField], *entries.threads);
  if (entries.encodings) TypeText(items[kEncodingsField], *entries.encodings);
  if (entries.delimiter) TypeText(items[kDelimiterField], *entries.delimiter);
  if (entries.negation) TypeText(items[kNegationField], *entries.negation);
  if (entries.noExtension) items[kNoExtensionBox].Selected = *entries.noExtension;
}

class ConfigDialogTest : public ScenarioTest {
 protected:
  void StartTrawlix() {
    trawlix_ = LoadTrawlix();
    ASSERT_TRUE(trawlix_);
  }
  int Configure(DialogScript& script) {
    script.Attach(*host_);
    AcknowledgeMessages(*host_);
    return host_->Configure(trawlix_, 0);
  }
  // The entries at the first showing, OK; a second showing is recorded and cancelled.
  int ConfigureOnce(const ConfigEntries& entries, std::vector<FarDialogItem>* second = nullptr) {
    DialogScript script;
    script.steps = {[&](FarDialogItem* items) {
                      EnterConfig(items, entries);
                      return kOkButton;
                    },
                    [&](FarDialogItem* items) {
                      if (second) second->assign(items, items + kItems);
                      return kCancel;
                    }};
    return Configure(script);
  }
  std::vector<const host::ServiceCall*> Warnings(const char* topic = "QXInvalidNumber") {
    std::vector<const host::ServiceCall*> warnings;
    for (const host::ServiceCall* call : CallsOf("Message"))
      if (call->texts.at(0) == topic) warnings.push_back(call);
    return warnings;
  }
  // A new host on a registry of its own, for one case of a table.
  void UseFreshRegistry() {
    host_.reset();
    registry_.reset();
    registry_ = std::make_unique<Environment>(
        "QUARIX_REGISTRY", Folder("registry-" + std::to_string(++registries_)));
    host_ = MakeRecordingHost();
  }
  std::string RegistryFile() { return root_ + "/registry/Software/Far/Plugins/Quarix.reg"; }
  std::optional<std::string> RegistryBytes() {
    std::ifstream in(RegistryFile(), std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
  }

  host::Plugin* trawlix_ = nullptr;
  int registries_ = 0;
};

TEST_F(ConfigDialogTest, ItsItemsShowTheStoredSettings) {
  WriteStoredInt("SeveralLines", 7);
  WriteStoredInt("ReadAtOnceLimit", 300);
  WriteStoredInt("MaskDelimiter", ';');
  WriteStoredInt("MaskNegation", 0);
  WriteStoredInt("DotAsteriskMatchesNoExtension", 0);
  WriteStoredInt("Threads", 3);
  WriteStoredText("Encodings", "koi8-r 1251");
  StartTrawlix();
  DialogScript cancel;
  EXPECT_EQ(Configure(cancel), 0);
  ASSERT_EQ(CallsOf("Dialog").size(), 1u);
  const host::ServiceCall& dialog = *CallsOf("Dialog")[0];
  EXPECT_EQ(dialog.args, (std::vector<std::intptr_t>{-1, -1, 56, 19, kItems}));
  EXPECT_EQ(dialog.texts.at(0), "QXCfg");
  ASSERT_EQ(dialog.items.size(), static_cast<std::size_t>(kItems));
  const struct {
    int type, x1, y1, x2;
    std::string text;
  } expected[kItems] = {
      {DI_DOUBLEBOX, 3, 1, 52, trawlix_->messages.at(kMsgPluginTitle)},  // to row 17
      {DI_TEXT, 5, 2, 0, trawlix_->messages.at(kMsgWindowLines)},
      {DI_EDIT, 32, 2, 40, "7"},
      {DI_TEXT, 5, 4, 0, trawlix_->messages.at(kMsgReadLimit)},
      {DI_EDIT, 32, 4, 40, "300"},
      {DI_TEXT, 42, 4, 0, trawlix_->messages.at(kMsgKilobytes)},
      {DI_TEXT, 5, 6, 0, trawlix_->messages.at(kMsgMaskDelimiter)},
      {DI_FIXEDIT, 32, 6, 32, ";"},
      {DI_TEXT, 5, 7, 0, trawlix_->messages.at(kMsgMaskNegation)},
      {DI_FIXEDIT, 32, 7, 32, ""},  // character code 0
      {DI_CHECKBOX, 5, 9, 0, trawlix_->messages.at(kMsgDotStarNoExtension)},
      {DI_TEXT, 5, 11, 0, trawlix_->messages.at(kMsgThreads)},
      {DI_EDIT, 42, 11, 50, "3"},
      {DI_TEXT, 5, 12, 0, trawlix_->messages.at(kMsgEncodings)},
      {DI_EDIT, 5, 13, 50, "koi8-r 1251"},
      {DI_BUTTON, 0, 15, 0, trawlix_->messages.at(kMsgOk)},
      {DI_BUTTON, 0, 15, 0, trawlix_->messages.at(kMsgCancel)},
  };
  for (int i = 0; i < kItems; ++i) {
    SCOPED_TRACE("item " + std::to_string(i));
    const FarDialogItem& item = dialog.items[i];
    EXPECT_EQ(item.Type, expected[i].type);
    EXPECT_EQ(item.X1, expected[i].x1);
    EXPECT_EQ(item.Y1, expected[i].y1);
    EXPECT_EQ(item.X2, expected[i].x2);
    EXPECT_EQ(item.Focus, 0);
    EXPECT_EQ(item.Flags, i >= kOkButton ? DIF_CENTERGROUP : 0u);
    EXPECT_EQ(item.DefaultButton, i == kOkButton ? 1 : 0);
    EXPECT_EQ(std::string(item.Data), expected[i].text);
  }
  EXPECT_EQ(dialog.items[kNoExtensionBox].Selected, 0);
  EXPECT_EQ(dialog.items[0].Y2, 17);
}

TEST_F(ConfigDialogTest, NumbersAreCheckedAgainstTheirBounds) {
  enum Field { kLines, kLimit, kThreads };
  const struct {
    Field field;
    const char* typed;
    std::optional<int> taken;  // none: refused
  } cases[] = {
      {kLines, "255", 255},       {kLines, "1", 1},           {kLines, "0", std::nullopt},
      {kLines, "256", std::nullopt}, {kLines, "12abc", 12},   {kLines, " 7", 7},
      {kLines, "+3", 3},          {kLines, "abc", std::nullopt}, {kLines, "", std::nullopt},
      {kLines, "-5", std::nullopt}, {kLimit, "0", 0},        {kLimit, "131071", 131071},
      {kLimit, "131072", std::nullopt}, {kLimit, "-1", std::nullopt},
      {kLimit, "99999999999", std::nullopt},  // beyond any int: refused, not wrapped
      {kLimit, "4294967296", std::nullopt}, {kLimit, "\t64kb", 64},
      {kThreads, "0", 0},         {kThreads, "64", 64},       {kThreads, "65", std::nullopt},
      {kThreads, "-1", std::nullopt}, {kThreads, "8 threads", 8},
  };
  const char* const names[] = {"SeveralLines", "ReadAtOnceLimit", "Threads"};
  const int defaults[] = {5, 1024, 0};
  for (const auto& c : cases) {
    const char* name = names[c.field];
    SCOPED_TRACE(std::string(name) + " '" + c.typed + "'");
    UseFreshRegistry();
    StartTrawlix();
    ConfigEntries entries;
    (c.field == kLines ? entries.lines : c.field == kLimit ? entries.limit : entries.threads) =
        std::string(c.typed);
    EXPECT_EQ(ConfigureOnce(entries), c.taken ? 1 : 0);
    if (c.taken) {
      EXPECT_TRUE(Warnings().empty());
      EXPECT_EQ(ReadStoredInt(name), *c.taken) << "saved when accepted";
      continue;
    }
    ASSERT_EQ(Warnings().size(), 1u);
    const host::ServiceCall& warning = *Warnings()[0];
    EXPECT_EQ(warning.args, (std::vector<std::intptr_t>{FMSG_WARNING, 3, 1}));
    EXPECT_EQ(warning.texts,
              (std::vector<std::string>{"QXInvalidNumber", trawlix_->messages.at(kMsgPluginTitle),
                                        trawlix_->messages.at(kMsgInvalidNumber),
                                        trawlix_->messages.at(kMsgOk)}));
    EXPECT_FALSE(ReadStored(name)) << "nothing written while the dialog is not accepted";
    RestartHost();
    EXPECT_EQ(ReadStoredInt(name), defaults[c.field]) << "the old value is saved at exit";
  }
}

TEST_F(ConfigDialogTest, TheFocusGoesToTheFieldToBlame) {
  const struct {
    const char* lines;
    const char* limit;
    const char* threads;
    int blamed;
  } cases[] = {
      {"0", "-1", "1", kLinesField},
      {"x", "5", "99", kLinesField},
      {"9", "131072", "x", kLimitField},
      {"9", "5", "65", kThreadsField},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.lines) + " / " + c.limit + " / " + c.threads);
    UseFreshRegistry();
    StartTrawlix();
    std::vector<FarDialogItem> second;
    DialogScript script;
    script.steps = {[&](FarDialogItem* items) {
                      items[kNoExtensionBox].Focus = 1;  // as if the user had moved there
                      EnterConfig(items, {.lines = std::string(c.lines),
                                          .limit = std::string(c.limit),
                                          .threads = std::string(c.threads)});
                      return kOkButton;
                    },
                    [&](FarDialogItem* items) {
                      second.assign(items, items + kItems);
                      // Put right, the entries are taken.
                      EnterConfig(items, {.lines = std::string("4"), .limit = std::string("8"),
                                          .threads = std::string("2")});
                      return kOkButton;
                    }};
    EXPECT_EQ(Configure(script), 1);
    ASSERT_EQ(second.size(), static_cast<std::size_t>(kItems));
    for (int field : {kLinesField, kLimitField, kThreadsField, kNoExtensionBox})
      EXPECT_EQ(second[field].Focus, field == c.blamed ? 1 : 0) << "item " << field;
    // The user's entries came back as left.
    EXPECT_STREQ(second[kLinesField].Data, c.lines);
    EXPECT_STREQ(second[kLimitField].Data, c.limit);
    EXPECT_EQ(ReadStoredInt("SeveralLines"), 4);
    EXPECT_EQ(ReadStoredInt("ReadAtOnceLimit"), 8);
    EXPECT_EQ(ReadStoredInt("Threads"), 2);
  }
}

TEST_F(ConfigDialogTest, APassedNumberStaysAfterCancelButTheRestDoesNot) {
  StartTrawlix();
  EXPECT_EQ(ConfigureOnce({.lines = std::string("0"), .limit = std::string("77"),
                           .delimiter = std::string(";"), .negation = std::string("~"),
                           .noExtension = false}),
            0);
  EXPECT_EQ(Warnings().size(), 1u);
  EXPECT_FALSE(RegistryBytes()) << "Cancel writes nothing";
  RestartHost();  // the next save (ExitFAR) writes what is in effect
  EXPECT_EQ(ReadStoredInt("ReadAtOnceLimit"), 77);
  EXPECT_EQ(ReadStoredInt("SeveralLines"), 5);
  EXPECT_EQ(ReadStoredInt("MaskDelimiter"), ',');
  EXPECT_EQ(ReadStoredInt("MaskNegation"), '!');
  EXPECT_EQ(ReadStoredInt("DotAsteriskMatchesNoExtension"), 1);
}

TEST_F(ConfigDialogTest, AcceptedEntriesAreSavedAtOnce) {
  StartTrawlix();
  EXPECT_EQ(ConfigureOnce({.lines = std::string("9"), .limit = std::string("0"),
                           .delimiter = std::string("\xB3"), .negation = std::string(""),
                           .noExtension = false}),
            1);
  EXPECT_EQ(ReadStoredInt("SeveralLines"), 9);
  EXPECT_EQ(ReadStoredInt("ReadAtOnceLimit"), 0);
  EXPECT_EQ(ReadStoredInt("MaskDelimiter"), 0xB3) << "a character above 127 is not negative";
  EXPECT_EQ(ReadStoredInt("MaskNegation"), 0) << "an emptied field stores 0";
  EXPECT_EQ(ReadStoredInt("DotAsteriskMatchesNoExtension"), 0);
  // Shown again, an emptied field stays empty.
  DialogScript cancel;
  EXPECT_EQ(Configure(cancel), 0);
  const host::ServiceCall& again = *CallsOf("Dialog").back();
  EXPECT_STREQ(again.items[kNegationField].Data, "");
  EXPECT_STREQ(again.items[kDelimiterField].Data, "\xB3");
}

TEST_F(ConfigDialogTest, CancelAndEscapeWriteNothing) {
  WriteStoredInt("SeveralLines", 3);
  WriteStoredText("FText", "kept");
  std::optional<std::string> before = RegistryBytes();
  ASSERT_TRUE(before);
  StartTrawlix();
  for (int answer : {kCancel, -1, kLinesField}) {
    SCOPED_TRACE(answer);
    DialogScript script;
    script.steps = {[answer](FarDialogItem* items) {
      EnterConfig(items, {.lines = std::string("8"), .limit = std::string("9")});
      return answer;
    }};
    EXPECT_EQ(Configure(script), 0);
    EXPECT_EQ(RegistryBytes(), before);
    EXPECT_TRUE(Warnings().empty()) << "no check runs without OK";
  }
}

TEST_F(ConfigDialogTest, TheEncodingsListIsCheckedAndStoredAsTyped) {
  const struct {
    const char* typed;
    const char* unknown;  // null: taken as typed
  } cases[] = {
      {"auto", nullptr},
      {"windows-1251, KOI8-R", nullptr},
      {"1251 866\tutf-16le", nullptr},
      {"", nullptr},  // no name: files are read as they are, as with "auto"
      {"koi9", "koi9"},
      {"1251,,bogus 866", "bogus"},
      {"utf-32", "utf-32"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string("'") + c.typed + "'");
    UseFreshRegistry();
    StartTrawlix();
    std::vector<FarDialogItem> second;
    EXPECT_EQ(ConfigureOnce({.encodings = std::string(c.typed)}, &second), c.unknown ? 0 : 1);
    EXPECT_TRUE(Warnings().empty()) << "the numbers are not blamed";
    if (!c.unknown) {
      EXPECT_TRUE(Warnings("QXBadEncoding").empty());
      EXPECT_EQ(ReadStoredText("Encodings"), std::string(c.typed));
      continue;
    }
    ASSERT_EQ(Warnings("QXBadEncoding").size(), 1u);
    const std::vector<std::string>& texts = Warnings("QXBadEncoding")[0]->texts;
    ASSERT_GE(texts.size(), 6u);
    EXPECT_EQ(texts[1], trawlix_->messages.at(kMsgPluginTitle));
    EXPECT_EQ(texts[2], trawlix_->messages.at(kMsgUnknownEncoding));
    EXPECT_EQ(texts[3], c.unknown) << "the name to blame, alone on its line";
    EXPECT_EQ(texts[4], trawlix_->messages.at(kMsgKnownEncodings));
    std::string known;
    for (std::size_t i = 5; i + 1 < texts.size(); ++i) {
      EXPECT_LE(texts[i].size(), 56u) << "a line wider than the dialog";
      known += texts[i] + " ";
    }
    for (const char* name : {"auto,", "utf-8,", "cp866,", "windows-1251,", "koi8-r,", "iso-8859-5 "})
      EXPECT_NE(known.find(name), std::string::npos) << name << " in " << known;
    EXPECT_EQ(texts.back(), trawlix_->messages.at(kMsgOk));
    // The dialog came back with the list as typed and the cursor on it.
    ASSERT_EQ(second.size(), static_cast<std::size_t>(kItems));
    EXPECT_STREQ(second[kEncodingsField].Data, c.typed);
    for (int field : {kLinesField, kLimitField, kThreadsField, kEncodingsField})
      EXPECT_EQ(second[field].Focus, field == kEncodingsField ? 1 : 0) << "item " << field;
    EXPECT_FALSE(ReadStored("Encodings")) << "nothing written while the dialog is not accepted";
    RestartHost();
    EXPECT_EQ(ReadStoredText("Encodings"), "auto") << "a refused list is not kept";
  }
}

TEST_F(ConfigDialogTest, ABadNumberIsBlamedBeforeABadList) {
  StartTrawlix();
  std::vector<FarDialogItem> second;
  EXPECT_EQ(ConfigureOnce({.threads = std::string("99"), .encodings = std::string("nope")}, &second),
            0);
  EXPECT_EQ(Warnings().size(), 1u);
  EXPECT_TRUE(Warnings("QXBadEncoding").empty());
  ASSERT_EQ(second.size(), static_cast<std::size_t>(kItems));
  EXPECT_EQ(second[kThreadsField].Focus, 1);
  EXPECT_EQ(second[kEncodingsField].Focus, 0);
}

TEST_F(ConfigDialogTest, AStoredListLongerThanTheFieldIsKeptWhenLeftAlone) {
  std::string list;
  while (list.size() < 700) list += "windows-1251, ";
  list += "koi8-r";
  WriteStoredText("Encodings", list);
  StartTrawlix();
  EXPECT_EQ(ConfigureOnce({.lines = std::string("6")}), 1);
  EXPECT_EQ(ReadStoredText("Encodings"), list);
  EXPECT_EQ(ReadStoredInt("SeveralLines"), 6);
  // Typed over, the field's text is what is kept.
  EXPECT_EQ(ConfigureOnce({.encodings = std::string("866")}), 1);
  EXPECT_EQ(ReadStoredText("Encodings"), "866");
}

TEST_F(ConfigDialogTest, TheStoredListReadsFilesWithoutAMark) {
  const std::string tree = Folder("tree");
  WriteFile(tree + "/cp1251.txt", "\xC6\xF3\xEA in 1251\n");  // "Zhuk" in windows-1251
  WriteFile(tree + "/koi8.txt", "\xF6\xD5\xCB in koi8-r\n");   // the same word in KOI8-R
  WriteFile(tree + "/oem.txt", "\x86\xE3\xAA in 866\n");       // and in the OEM code page
  WriteStoredInt("FSearchAs", 0);
  WriteStoredInt("FCaseSensitive", 1);
  WriteStoredInt("FSearchIn", 3);
  const struct {
    const char* list;
    std::vector<std::string> found;
  } cases[] = {
      {"auto", {"oem.txt"}},
      {"1251", {"cp1251.txt", "oem.txt"}},
      {"koi8-r windows-1251", {"cp1251.txt", "koi8.txt", "oem.txt"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.list);
    RestartHost();
    StartTrawlix();
    ASSERT_EQ(ConfigureOnce({.encodings = std::string(c.list)}), 1);
    // A new host reads the list back from the registry.
    RestartHost();
    StartTrawlix();
    ShowFolder(tree);
    // The OEM spelling of the word, as the byte model's user types it.
    ASSERT_EQ(Search("\x86\xE3\xAA"), kResultsPanel);
    std::vector<std::string> names;
    for (const std::string& path : SortedPanelNames()) names.push_back(path.substr(tree.size() + 1));
    EXPECT_EQ(names, c.found);
  }
}

TEST_F(ConfigDialogTest, RussianTextsAreShownInUtf8InTheUtf8Model) {
  Environment model("QUARIX_TEXT", "utf-8");
  RestartHost();
  host_->language = "Russian";
  StartTrawlix();
  std::vector<FarDialogItem> second;
  EXPECT_EQ(ConfigureOnce({.encodings = std::string("cp1251 koi9")}, &second), 0);
  ASSERT_EQ(Warnings("QXBadEncoding").size(), 1u);
  const std::vector<std::string>& texts = Warnings("QXBadEncoding")[0]->texts;
  ASSERT_GE(texts.size(), 4u);
  EXPECT_EQ(texts[2], "Такая кодировка неизвестна:");
  EXPECT_EQ(texts[3], "koi9");
  ASSERT_EQ(second.size(), static_cast<std::size_t>(kItems));
  EXPECT_STREQ(second[kEncodingsField - 1].Data, "Кодировки файлов без метки порядка байтов:");
  EXPECT_STREQ(second[kCancel].Data, "Отмена");
}

}  // namespace
}  // namespace scenario
