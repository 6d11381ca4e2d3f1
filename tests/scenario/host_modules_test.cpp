// The host loading a real module: its path, number, language file and startup record.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>

#include "host/host.h"
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

}  // namespace
