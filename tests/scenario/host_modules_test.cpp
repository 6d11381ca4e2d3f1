// The host loading a real module: its path, number, language file and startup record.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>

#include "host/host.h"
#include "scenario/fixture.h"
#include "src/common/message_ids.h"
#include "unit/host/scratch_folder.h"

namespace {

const std::string kLinquo = QUARIX_BIN_DIR "/Linquo.so";

class HostModulesTest : public testing::Test {
 protected:
  void SetUp() override { setenv("QUARIX_REGISTRY", (scratch.path() + "registry").c_str(), 1); }
  ScratchFolder scratch;
};

TEST_F(HostModulesTest, LoadsByFullPathWithTheLanguageOfItsFolder) {
  host::Host host;
  // A path with "." and ".." parts still names the module by its full path.
  host::Plugin* plugin = host.LoadPlugin(QUARIX_BIN_DIR "/./../bin/Linquo.so");
  ASSERT_NE(plugin, nullptr);
  std::string full = std::filesystem::canonical(kLinquo).string();
  EXPECT_EQ(plugin->path, full);
  EXPECT_STREQ(plugin->startup.ModuleName, full.c_str());
  EXPECT_NE(plugin->SetStartupInfo, nullptr);
  EXPECT_EQ(plugin->GetFindData, nullptr);  // Linquo opens no panels
  EXPECT_EQ(plugin->languageFile,
            std::filesystem::path(full).parent_path().string() + "/QuarixEng.lng");
  EXPECT_STREQ(plugin->startup.GetMsg(plugin->startup.ModuleNumber, kMsgPluginTitle), "Trawlix");
  EXPECT_STREQ(plugin->startup.RootKey, "Software\\Far\\Plugins");

  // The same file again is the same instance.
  EXPECT_EQ(host.LoadPlugin(full), plugin);
  EXPECT_EQ(host.plugins().size(), 1u);
}

TEST_F(HostModulesTest, PicksTheHostsLanguage) {
  host::Host host;
  host.language = "russian";
  host::Plugin* plugin = host.LoadPlugin(kLinquo);
  ASSERT_NE(plugin, nullptr);
  ASSERT_GT(plugin->messages.size(), 1u);
  EXPECT_EQ(plugin->messages[kMsgCancel], "\x8e\xe2\xac\xa5\xad\xa0");  // "Отмена" in code page 866
}

TEST_F(HostModulesTest, RefusesMissingFilesAndPathsTooLongForTheModuleName) {
  host::Host host;
  EXPECT_EQ(host.LoadPlugin(scratch.path() + "absent.so"), nullptr);
  scratch.Write("not-a-module.so", "text");
  EXPECT_EQ(host.LoadPlugin(scratch.path() + "not-a-module.so"), nullptr);

  std::string deep = "d";
  while ((scratch.path() + deep + "/Linquo.so").size() < static_cast<std::size_t>(kMaxPath))
    deep += "/" + std::string(40, 'd');
  scratch.MakeFolder(deep);
  std::filesystem::copy_file(kLinquo, scratch.path() + deep + "/Linquo.so");
  EXPECT_EQ(host.LoadPlugin(scratch.path() + deep + "/Linquo.so"), nullptr);
  EXPECT_TRUE(host.plugins().empty());
}

TEST_F(HostModulesTest, LanguageFilesAreGivenInTheTextModel) {
  // A language file that says it is UTF-8, beside a copy of the module.
  scratch.MakeFolder("marked");
  std::filesystem::copy_file(kLinquo, scratch.path() + "marked/Linquo.so");
  scratch.Write("marked/QuarixUtf.lng",
                "\xEF\xBB\xBF.Language=English,English (\xD0\xAF)\n\"OK\"\n"
                "\"\xD0\x9E\xD1\x82\xD0\xBC\xD0\xB5\xD0\xBD\xD0\xB0 \xE2\x82\xAC\"\n");
  const struct {
    const char* model;
    std::string module;
    std::string language;
    std::string cancel;
  } cases[] = {
      // The shipped Russian file is in code page 866: "Отмена" either way.
      {"utf-8", kLinquo, "Russian", "\xD0\x9E\xD1\x82\xD0\xBC\xD0\xB5\xD0\xBD\xD0\xB0"},
      {"bytes", kLinquo, "Russian", "\x8e\xe2\xac\xa5\xad\xa0"},
      // The marked file: its UTF-8 without the mark, or in 866 where the euro sign is none.
      {"utf-8", scratch.path() + "marked/Linquo.so", "English",
       "\xD0\x9E\xD1\x82\xD0\xBC\xD0\xB5\xD0\xBD\xD0\xB0 \xE2\x82\xAC"},
      {"bytes", scratch.path() + "marked/Linquo.so", "English", "\x8e\xe2\xac\xa5\xad\xa0 ?"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.model) + " " + c.module);
    // The text model the host and the plugins speak.
    scenario::Environment model("QUARIX_TEXT", std::string(c.model));
    host::Host host;
    host.language = c.language;
    host::Plugin* plugin = host.LoadPlugin(c.module);
    ASSERT_NE(plugin, nullptr);
    ASSERT_GT(plugin->messages.size(), 1u);
    EXPECT_EQ(plugin->messages[kMsgOk], "OK");
    EXPECT_EQ(plugin->messages[kMsgCancel], c.cancel);
    EXPECT_STREQ(plugin->startup.GetMsg(plugin->startup.ModuleNumber, kMsgCancel), c.cancel.c_str());
  }
}

}  // namespace
