// The settings key's path below the host's root key, and far2l's rule that both modules
// share one key whatever root key far2l hands each of them.
#include <gtest/gtest.h>

#include <string>

#include "common/settings_store.h"
#ifndef _WIN32
#include "unit/platform/scratch.h"
#endif

namespace {

TEST(SettingsKeyPathTest, LiesBelowTheHostsRootKey) {
  EXPECT_EQ(ComposeSettingsKeyPath("Software\\Far\\Plugins", false),
            "Software\\Far\\Plugins\\Quarix");
  EXPECT_EQ(ComposeSettingsKeyPath("", false), "\\Quarix");
  EXPECT_EQ(ComposeSettingsKeyPath(nullptr, false), "\\Quarix");
  // The host's key buffer holds 256 bytes with the terminator.
  EXPECT_EQ(ComposeSettingsKeyPath(std::string(248, 'k').c_str(), false).size(), 255u);
  EXPECT_EQ(ComposeSettingsKeyPath(std::string(249, 'k').c_str(), false), "");
}

#ifndef _WIN32  // far2l runs on posix only; its store is a folder of files
// far2l gives multibyte-API plugins (Trawlix) an empty root key and wide-API ones (its
// Linquo) "Software/Far2/Plugins"; a far2l that fixed the first would give both the
// second. Every one of them must reach the same stored values.
TEST(SettingsKeyPathTest, IsOneKeyForEveryRootKeyFar2lGives) {
  scratch::Folder folder;
  scratch::Environment store("QUARIX_REGISTRY", folder.path());
  const char* roots[] = {"", nullptr, "Software/Far2/Plugins", "Software\\Far2\\Plugins"};
  std::string first = ComposeSettingsKeyPath(roots[0], true);
  ASSERT_FALSE(first.empty());

  platform::RegistryKey* key = platform::OpenRegistryKey(first.c_str());
  ASSERT_NE(key, nullptr);
  const std::uint32_t mode = 3;
  ASSERT_TRUE(platform::SetRegistryValue(key, "FSearchAs", platform::kRegDword, &mode, 4));
  ASSERT_EQ(platform::CloseRegistryKey(key), 0);

  for (const char* root : roots) {
    std::string path = ComposeSettingsKeyPath(root, true);
    EXPECT_EQ(path, first) << (root ? root : "(null)");
    key = platform::OpenRegistryKey(path.c_str());
    ASSERT_NE(key, nullptr) << (root ? root : "(null)");
    std::uint32_t type = 0;
    std::uint32_t value = 0;
    std::uint32_t size = sizeof(value);
    EXPECT_TRUE(platform::QueryRegistryValue(key, "FSearchAs", &type, &value, &size));
    EXPECT_EQ(value, mode);
    platform::CloseRegistryKey(key);
  }
  // Below the root key, the wide module's "/" path would not even open: the reason the
  // root key is left out there.
  EXPECT_EQ(platform::OpenRegistryKey(ComposeSettingsKeyPath("Software/Far2/Plugins", false).c_str()),
            nullptr);
}

#endif

}  // namespace
