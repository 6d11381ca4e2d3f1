// Trawlix's settings as they reach the store: defaults, what survives a restart, and
// what a hand-edited value turns into.
#include <string>

#include "scenario/fixture.h"

namespace scenario {
namespace {

using SettingsTest = ScenarioTest;

struct IntSetting {
  const char* name;
  int value;
};

TEST_F(SettingsTest, WithoutAKeyEveryValueTakesItsDefaultAndIsWrittenAtExit) {
  ASSERT_TRUE(LoadTrawlix());
  EXPECT_FALSE(ReadStored("FMask")) << "nothing is written before the first save";
  RestartHost();
  const IntSetting defaults[] = {
      {"SeveralLines", 5},
      {"ReadAtOnceLimit", 1024},
      {"MaskDelimiter", ','},
      {"MaskNegation", '!'},
      {"DotAsteriskMatchesNoExtension", 1},
      {"FCaseSensitive", 0},
      {"FSearchAs", 1},
      {"FSearchIn", 1},
      {"FSInverse", 0},
      {"FROpenModified", 0},
      {"FRConfirmFile", 0},
      {"FRConfirmLine", 0},
      {"FRSaveOriginal", 0},
  };
  for (const IntSetting& setting : defaults)
    EXPECT_EQ(ReadStoredInt(setting.name), setting.value) << setting.name;
  EXPECT_EQ(ReadStoredText("FMask"), "*.*");
  EXPECT_EQ(ReadStoredText("FText"), "");
  EXPECT_EQ(ReadStoredText("FRReplace"), "");
  // Trawlix never writes the editor's values.
  for (const char* name : {"EText", "ERegExp", "ECaseSensitive", "ERReplace"})
    EXPECT_FALSE(ReadStored(name)) << name;
}

TEST_F(SettingsTest, StoredValuesSurviveRestarts) {
  const IntSetting stored[] = {
      {"FSearchAs", 5},
      {"FSearchIn", 4},
      {"FCaseSensitive", 1},
      {"FSInverse", 1},
      {"SeveralLines", 255},
      {"ReadAtOnceLimit", 131071},
      {"MaskNegation", '~'},
      {"FRSaveOriginal", 1},
      {"FRConfirmLine", 1},
      {"FRConfirmFile", 1},
      {"FROpenModified", 1},
      {"DotAsteriskMatchesNoExtension", 0},
      // Beyond what the dialogs offer: used as stored.
      {"SeveralLines", 1000},
      {"ReadAtOnceLimit", 500000},
  };
  for (const IntSetting& setting : stored) {
    SCOPED_TRACE(setting.name);
    WriteStoredInt(setting.name, setting.value);
    for (int restart = 0; restart < 2; ++restart) {
      ASSERT_TRUE(LoadTrawlix());
      RestartHost();
      EXPECT_EQ(ReadStoredInt(setting.name), setting.value);
    }
  }
  WriteStoredText("FMask", "*.c,!x*");
  WriteStoredText("FRReplace", "\\1-\\U$0");
  ASSERT_TRUE(LoadTrawlix());
  RestartHost();
  EXPECT_EQ(ReadStoredText("FMask"), "*.c,!x*");
  EXPECT_EQ(ReadStoredText("FRReplace"), "\\1-\\U$0");
}

TEST_F(SettingsTest, OutOfBoundsAndMistypedValuesReadAsDefaults) {
  const struct {
    const char* name;
    DWORD type;
    std::string bytes;
    int expected;
  } cases[] = {
      {"FSearchAs", platform::kRegDword, std::string("\xFF\xFF\xFF\xFF", 4), 1},
      {"FSearchIn", platform::kRegDword, std::string("\x00\x00\x00\x80", 4), 1},
      {"SeveralLines", platform::kRegDword, std::string(4, '\0'), 5},
      {"SeveralLines", platform::kRegDword, std::string("\xFD\xFF\xFF\xFF", 4), 5},
      {"ReadAtOnceLimit", platform::kRegSz, std::string("77\0", 3), 1024},
      {"MaskDelimiter", platform::kRegBinary, std::string(";\0\0\0", 4), ','},
      {"MaskNegation", platform::kRegDword, std::string("\xFF\xFF\xFF\xFF", 4), '!'},
      {"DotAsteriskMatchesNoExtension", platform::kRegDword, std::string("\x00\x00", 2), 1},
      {"FRSaveOriginal", platform::kRegDword, std::string("\xFF\xFF\xFF\xFF", 4), 0},
      {"FRConfirmFile", platform::kRegDword, std::string("\xF6\xFF\xFF\xFF", 4), 0},
      {"FCaseSensitive", platform::kRegSz, std::string("1\0", 2), 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    StoredKey().Write(c.name, c.type, c.bytes);
    ASSERT_TRUE(LoadTrawlix());
    RestartHost();
    EXPECT_EQ(ReadStoredInt(c.name), c.expected);
  }
  const struct {
    const char* name;
    DWORD type;
    std::string bytes;
    std::string expected;
  } texts[] = {
      {"FMask", platform::kRegDword, std::string(4, '\0'), "*.*"},
      {"FText", platform::kRegBinary, "abc", ""},
      {"FRReplace", platform::kRegDword, std::string(4, '\x01'), ""},
      // A text stored without its terminating zero is still read whole.
      {"FMask", platform::kRegSz, "*.txt", "*.txt"},
  };
  for (const auto& c : texts) {
    SCOPED_TRACE(c.name);
    StoredKey().Write(c.name, c.type, c.bytes);
    ASSERT_TRUE(LoadTrawlix());
    RestartHost();
    EXPECT_EQ(ReadStoredText(c.name), c.expected);
  }
}

TEST_F(SettingsTest, MaskCharactersAboveAsciiRoundTripAndSplitTheList) {
  const struct {
    int stored, expected;
  } cases[] = {{200, 200}, {255, 255}, {0, 0}, {0x1C8, 200}, {0x12C, 44}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.stored);
    WriteStoredInt("MaskDelimiter", c.stored);
    ASSERT_TRUE(LoadTrawlix());
    RestartHost();
    EXPECT_EQ(ReadStoredInt("MaskDelimiter"), c.expected);
  }
  // The character with code 200 separates the masks of the list.
  std::string tree = Folder("tree");
  MakeTree(tree, {"a.c", "b.h", "c.txt"});
  WriteStoredInt("MaskDelimiter", 200);
  WriteStoredInt("FSearchIn", 3);
  WriteStoredText("FMask", "*.c\xC8*.h");
  ASSERT_TRUE(LoadTrawlix());
  ShowFolder(tree);
  ASSERT_EQ(Search(), kResultsPanel);
  EXPECT_EQ(SortedPanelNames(), (std::vector<std::string>{tree + "/a.c", tree + "/b.h"}));
}

TEST_F(SettingsTest, VeryLongStoredTextsLoadWhole) {
  std::string text(100000, 'q');
  text += "end";
  std::string mask;
  for (int i = 0; i < 2000; ++i) mask += "*.none,";
  mask += "*.txt";
  WriteStoredText("FText", text);
  WriteStoredText("FMask", mask);
  std::string tree = Folder("tree");
  MakeTree(tree, {"keep.txt", "drop.log"});
  WriteStoredInt("FSearchIn", 3);
  ASSERT_TRUE(LoadTrawlix());
  ShowFolder(tree);
  ASSERT_EQ(Search(), kResultsPanel);
  EXPECT_EQ(PanelNames(), (std::vector<std::string>{tree + "/keep.txt"}));
  RestartHost();
  EXPECT_EQ(ReadStoredText("FMask"), mask);
  EXPECT_EQ(ReadStoredText("FText"), "");  // the command line's empty text replaced it
}

TEST_F(SettingsTest, ALongTextRoundTripsWhenNoSearchReplacesIt) {
  std::string text(70000, 'x');
  WriteStoredText("FText", text);
  ASSERT_TRUE(LoadTrawlix());
  RestartHost();
  EXPECT_EQ(ReadStoredText("FText"), text);
}

}  // namespace
}  // namespace scenario
