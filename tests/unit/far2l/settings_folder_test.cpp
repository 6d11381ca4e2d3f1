// Where the far2l flavour keeps its settings: below the profile far2l runs with.
#include "platform/posix/settings_folder.h"

#include <gtest/gtest.h>

namespace {

TEST(Far2lSettingsFolderTest, FollowsFar2lsChoiceOfProfile) {
  struct Case {
    const char* farSettings;
    const char* xdg;
    const char* home;
    const char* folder;
  };
  const Case cases[] = {
      // far2l -u /p (or FARSETTINGS=/p) wins over everything.
      {"/p", "/x", "/h", "/p/.config/plugins/quarix"},
      // A relative FARSETTINGS is not taken, as far2l does not take it.
      {"p", "/x", "/h", "/x/far2l/plugins/quarix"},
      {"", "/x", "/h", "/x/far2l/plugins/quarix"},
      {nullptr, "/x", "/h", "/x/far2l/plugins/quarix"},
      {nullptr, "x", "/h", "/h/.config/far2l/plugins/quarix"},
      {nullptr, nullptr, "/h", "/h/.config/far2l/plugins/quarix"},
      // Nothing absolute to go by: no folder, so nothing is written to a relative place.
      {nullptr, nullptr, "", ""},
      {"p", "x", "h", ""},
  };
  for (const Case& c : cases)
    EXPECT_EQ(platform::posix::ComposeFar2lSettingsFolder(c.farSettings, c.xdg, c.home),
              c.folder)
        << (c.farSettings ? c.farSettings : "(unset)") << " " << (c.xdg ? c.xdg : "(unset)")
        << " " << c.home;
}

}  // namespace
