// Linquo's settings in the store: its defaults and ReloadEText, called as Trawlix calls it.
#include <string>

#include "scenario/fixture.h"

namespace scenario {
namespace {

class LinquoSettingsTest : public ScenarioTest {
 protected:
  int CallReloadEText(host::Plugin* linquo) {
    auto reload =
        reinterpret_cast<ReloadETextFn>(platform::FindModuleExport(linquo->module, "ReloadEText"));
    EXPECT_NE(reload, nullptr);
    return reload ? reload() : -1;
  }
};

TEST_F(LinquoSettingsTest, WithoutAKeyTheDefaultsAreWrittenAtExit) {
  ASSERT_TRUE(LoadLinquo());
  RestartHost();
  EXPECT_EQ(ReadStoredText("EText"), "");
  EXPECT_EQ(ReadStoredInt("ERegExp"), 1);
  EXPECT_EQ(ReadStoredInt("ECaseSensitive"), 0);
  EXPECT_EQ(ReadStoredText("ERReplace"), "");
  for (const char* name : {"FText", "FSearchAs", "FCaseSensitive", "FMask"})
    EXPECT_FALSE(ReadStored(name)) << "Linquo never writes " << name;
}

TEST_F(LinquoSettingsTest, ReloadETextFollowsTheFileSearch) {
  const struct {
    const char* what;
    std::optional<int> searchAs;
    std::optional<int> caseSensitive;
    std::string text;
    int regExp;
    int caseAfter;
  } cases[] = {
      {"plain text", 0, 1, "file text", 0, 1},
      {"a pattern", 1, 0, "file text", 1, 0},
      {"a mode of its own: text and mode stay", 2, 1, "editor text", 0, 1},
      {"no mode stored: the mode stays, the text follows", std::nullopt, 1, "file text", 0, 1},
      {"a negative mode reads as none", -4, std::nullopt, "file text", 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    RestartHost();
    fs::remove_all(root_ + "/registry");
    WriteStoredText("EText", "editor text");
    WriteStoredInt("ERegExp", 0);
    WriteStoredInt("ECaseSensitive", 1);
    WriteStoredText("ERReplace", "replacement");
    WriteStoredText("FText", "file text");
    if (c.searchAs) WriteStoredInt("FSearchAs", *c.searchAs);
    if (c.caseSensitive) WriteStoredInt("FCaseSensitive", *c.caseSensitive);
    host::Plugin* linquo = LoadLinquo();
    ASSERT_TRUE(linquo);
    // Stored values Linquo must not take as its own.
    WriteStoredText("ERReplace", "changed behind its back");
    EXPECT_EQ(CallReloadEText(linquo), 0) << "the key closed cleanly";
    EXPECT_EQ(ReadStoredText("EText"), c.text);
    EXPECT_EQ(ReadStoredInt("ERegExp"), c.regExp);
    EXPECT_EQ(ReadStoredInt("ECaseSensitive"), c.caseAfter);
    EXPECT_EQ(ReadStoredText("ERReplace"), "changed behind its back") << "not written";
    EXPECT_EQ(ReadStoredText("FText"), "file text");
    RestartHost();
    // The exit writes what ReloadEText left in memory, and the replacement it loaded.
    EXPECT_EQ(ReadStoredText("EText"), c.text);
    EXPECT_EQ(ReadStoredInt("ERegExp"), c.regExp);
    EXPECT_EQ(ReadStoredText("ERReplace"), "replacement");
  }
}

}  // namespace
}  // namespace scenario
