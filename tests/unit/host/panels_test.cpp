#include <gtest/gtest.h>

#include <cstring>

#include "fake_plugin.h"
#include "host/host.h"
#include "scratch_folder.h"

namespace {

std::vector<std::string> Names(const host::Panel& panel) {
  std::vector<std::string> names;
  for (const PluginPanelItem& item : panel.items) names.push_back(item.FindData.cFileName);
  return names;
}

std::vector<std::string> Names(const PluginPanelItem* items, int count) {
  std::vector<std::string> names;
  for (int i = 0; i < count; ++i) names.push_back(items[i].FindData.cFileName);
  return names;
}

class PanelsTest : public testing::Test {
 protected:
  void SetUp() override {
    tree.Write("b.txt", "b");
    tree.Write("a.c", "a");
    tree.Write("sub/inner.h", "i");
    tree.Write(".hidden/x", "x");
    plugin = host.AddPlugin(fake::MakePlugin());
    info = plugin->startup;
  }
  PanelInfo Info(HANDLE handle, int command) {
    PanelInfo panelInfo;
    std::memset(&panelInfo, 0x5a, sizeof(panelInfo));
    EXPECT_EQ(info.Control(handle, command, &panelInfo), 1);
    return panelInfo;
  }
  ScratchFolder tree;
  host::Host host;
  host::Plugin* plugin = nullptr;
  PluginStartupInfo info{};
};

TEST_F(PanelsTest, ShowFolderListsDotsFirstThenBareNamesWithTheFolderBit) {
  host::Panel& panel = host.activePanel();
  ASSERT_TRUE(host.ShowFolder(panel, tree.path().substr(0, tree.path().size() - 1)));
  EXPECT_EQ(panel.folder, tree.path());
  EXPECT_EQ(Names(panel), (std::vector<std::string>{"..", ".hidden", "sub", "a.c", "b.txt"}));
  for (const PluginPanelItem& item : panel.items) {
    bool folder = item.FindData.dwFileAttributes & kAttrDirectory;
    std::string name = item.FindData.cFileName;
    EXPECT_EQ(folder, name == ".." || name == "sub" || name == ".hidden") << name;
  }
  EXPECT_EQ(static_cast<DWORD>(panel.items[3].FindData.nFileSizeLow), 1u);
  EXPECT_EQ(panel.type, PTYPE_FILEPANEL);
  EXPECT_EQ(panel.plugin, nullptr);

  ASSERT_TRUE(host.ShowFolder(panel, "/"));
  EXPECT_EQ(panel.folder, "/");
  ASSERT_FALSE(panel.items.empty());
  EXPECT_STRNE(panel.items[0].FindData.cFileName, "..");

  EXPECT_FALSE(host.ShowFolder(panel, tree.path() + "missing"));
  EXPECT_EQ(panel.folder, "/");  // left as it was
  EXPECT_FALSE(host.ShowFolder(panel, "/" + std::string(kMaxPath, 'd')));
}

TEST_F(PanelsTest, ControlDescribesTheActiveAndTheOtherPanel) {
  ASSERT_TRUE(host.ShowFolder(host.activePanel(), tree.path()));
  ASSERT_TRUE(host.ShowFolder(host.otherPanel(), tree.path() + "sub"));
  host.SelectItem(host.activePanel(), "a.c");
  host.SelectItem(host.activePanel(), "b.txt");
  host.SetCurrentItem(host.activePanel(), "sub");

  PanelInfo active = Info(FAR_INVALID_HANDLE, FCTL_GETPANELINFO);
  EXPECT_EQ(active.PanelType, PTYPE_FILEPANEL);
  EXPECT_EQ(active.Plugin, 0);
  EXPECT_EQ(active.Focus, 1);
  EXPECT_EQ(active.Visible, 1);
  EXPECT_STREQ(active.CurDir, tree.path().c_str());
  EXPECT_EQ(Names(active.PanelItems, active.ItemsNumber), Names(host.activePanel()));
  EXPECT_EQ(Names(active.SelectedItems, active.SelectedItemsNumber),
            (std::vector<std::string>{"a.c", "b.txt"}));
  EXPECT_EQ(active.CurrentItem, 2);
  // The plugin gets copies: writing into them leaves the panel alone.
  std::strcpy(active.PanelItems[1].FindData.cFileName, "changed");
  EXPECT_STREQ(host.activePanel().items[1].FindData.cFileName, ".hidden");

  PanelInfo other = Info(FAR_INVALID_HANDLE, FCTL_GETANOTHERPANELINFO);
  EXPECT_EQ(other.Focus, 0);
  EXPECT_STREQ(other.CurDir, (tree.path() + "sub/").c_str());
  EXPECT_EQ(Names(other.PanelItems, other.ItemsNumber),
            (std::vector<std::string>{"..", "inner.h"}));

  EXPECT_EQ(info.Control(FAR_INVALID_HANDLE, FCTL_GETPANELINFO, nullptr), 0);
  EXPECT_EQ(info.Control(FAR_INVALID_HANDLE, 99, nullptr), 0);
  // No plugin panel shows handle 1: nothing to describe or close.
  PanelInfo unused;
  EXPECT_EQ(info.Control(reinterpret_cast<HANDLE>(1), FCTL_GETPANELINFO, &unused), 0);
  EXPECT_EQ(info.Control(FAR_INVALID_HANDLE, FCTL_CLOSEPLUGIN, nullptr), 0);
}

TEST_F(PanelsTest, WithNothingSelectedTheCurrentEntryIsTheOnlySelectedOne) {
  ASSERT_TRUE(host.ShowFolder(host.activePanel(), tree.path()));
  host.SetCurrentItem(host.activePanel(), "b.txt");
  PanelInfo panelInfo = Info(FAR_INVALID_HANDLE, FCTL_GETPANELINFO);
  EXPECT_EQ(Names(panelInfo.SelectedItems, panelInfo.SelectedItemsNumber),
            std::vector<std::string>{"b.txt"});

  host.activePanel().items.clear();  // an empty panel has nothing to report
  host.activePanel().selected.clear();
  panelInfo = Info(FAR_INVALID_HANDLE, FCTL_GETPANELINFO);
  EXPECT_EQ(panelInfo.ItemsNumber, 0);
  EXPECT_EQ(panelInfo.SelectedItemsNumber, 0);
}

TEST_F(PanelsTest, CurDirIsCutToTheBufferNeverOverflowed) {
  host.activePanel().folder = "/" + std::string(400, 'a');
  PanelInfo panelInfo = Info(FAR_INVALID_HANDLE, FCTL_GETPANELINFO);
  EXPECT_EQ(std::strlen(panelInfo.CurDir), sizeof(panelInfo.CurDir) - 1);
}

TEST_F(PanelsTest, PluginPanelShowsItsItemsAfterDotsAndIsFoundByItsHandle) {
  ASSERT_TRUE(host.ShowFolder(host.activePanel(), tree.path()));
  ASSERT_TRUE(host.ShowFolder(host.otherPanel(), tree.path()));
  fake::state.items = {fake::Item("/x/one"), fake::Item("/x/two")};
  HANDLE handle = host.OpenPlugin(plugin, OPEN_PLUGINSMENU, 0);
  ASSERT_EQ(handle, reinterpret_cast<HANDLE>(1));
  host::Panel& panel = host.activePanel();
  EXPECT_EQ(panel.plugin, plugin);
  EXPECT_EQ(panel.folderBeforePlugin, tree.path());
  EXPECT_EQ(Names(panel), (std::vector<std::string>{"..", "/x/one", "/x/two"}));

  PanelInfo own = Info(handle, FCTL_GETPANELINFO);
  EXPECT_EQ(own.Plugin, 1);
  EXPECT_EQ(own.ItemsNumber, 3);
  // The other side is the file panel, even when the plugin panel is not the active one.
  host.SwitchPanels();
  own = Info(handle, FCTL_GETPANELINFO);
  EXPECT_EQ(own.Plugin, 1);
  EXPECT_EQ(own.Focus, 0);
  EXPECT_EQ(Info(handle, FCTL_GETANOTHERPANELINFO).Plugin, 0);
  host.SwitchPanels();

  fake::state.flags = 0;
  fake::state.items = {fake::Item("/x/one")};
  panel.current = 2;
  EXPECT_EQ(info.Control(handle, FCTL_UPDATEPANEL, nullptr), 1);
  EXPECT_EQ(Names(panel), std::vector<std::string>{"/x/one"});
  EXPECT_EQ(panel.current, 0);  // kept within the list
  EXPECT_EQ(panel.updates, 1);
  EXPECT_EQ(info.Control(handle, FCTL_REDRAWPANEL, nullptr), 1);
  EXPECT_EQ(info.Control(handle, FCTL_REDRAWANOTHERPANEL, nullptr), 1);
  EXPECT_EQ(panel.redraws, 1);
  EXPECT_EQ(host.otherPanel().redraws, 1);
}

TEST_F(PanelsTest, InvalidOrNullHandleOpensNoPanel) {
  ASSERT_TRUE(host.ShowFolder(host.activePanel(), tree.path()));
  for (HANDLE result : {FAR_INVALID_HANDLE, static_cast<HANDLE>(nullptr)}) {
    fake::state.openResult = result;
    EXPECT_EQ(host.OpenPlugin(plugin, OPEN_PLUGINSMENU, 0), result);
    EXPECT_EQ(host.activePanel().plugin, nullptr);
    EXPECT_EQ(host.activePanel().folder, tree.path());
  }
}

TEST_F(PanelsTest, CloseRequestIsCarriedOutWhenThePluginsCallReturns) {
  const std::string root = tree.path();
  struct Case {
    const char* dir;
    std::string shows;
  } cases[] = {{nullptr, tree.path() + "sub/"},
               {"..", tree.path() + "sub/"},
               {root.c_str(), root},
               {"/no/such/folder", tree.path() + "sub/"}};
  for (const Case& c : cases) {
    ASSERT_TRUE(host.ShowFolder(host.activePanel(), tree.path() + "sub"));
    ASSERT_NE(host.OpenPlugin(plugin, OPEN_PLUGINSMENU, 0), FAR_INVALID_HANDLE);
    fake::state.calls.clear();
    fake::state.closeOnKey = true;
    fake::state.closeTo = c.dir;
    EXPECT_EQ(host.PressKey(VK_F7), 1);
    EXPECT_TRUE(fake::state.panelWasOpenWhileClosing) << (c.dir ? c.dir : "null");
    EXPECT_EQ(fake::state.calls, (std::vector<std::string>{"ProcessKey 118", "ClosePlugin"}));
    EXPECT_EQ(host.activePanel().plugin, nullptr);
    EXPECT_EQ(host.activePanel().folder, c.shows) << (c.dir ? c.dir : "null");
  }
}

TEST_F(PanelsTest, ChangeDirectoryGoesToThePluginOrMovesTheFilePanel) {
  ASSERT_TRUE(host.ShowFolder(host.activePanel(), tree.path()));
  EXPECT_EQ(host.ChangeDirectory("sub"), 1);
  EXPECT_EQ(host.activePanel().folder, tree.path() + "sub/");
  EXPECT_EQ(host.ChangeDirectory(".."), 1);
  EXPECT_EQ(host.activePanel().folder, tree.path());
  EXPECT_STREQ(host.activePanel().items[host.activePanel().current].FindData.cFileName, "sub");
  EXPECT_EQ(host.ChangeDirectory("missing"), 0);
  EXPECT_EQ(host.activePanel().folder, tree.path());

  ASSERT_NE(host.OpenPlugin(plugin, OPEN_PLUGINSMENU, 0), FAR_INVALID_HANDLE);
  fake::state.calls.clear();
  EXPECT_EQ(host.ChangeDirectory(".."), 1);  // the fake closes its panel from SetDirectory
  EXPECT_EQ(fake::state.calls, (std::vector<std::string>{"SetDirectory ..", "ClosePlugin"}));
  EXPECT_EQ(host.activePanel().folder, tree.path());
}

TEST_F(PanelsTest, ClosePluginPanelReturnsToTheFolder) {
  ASSERT_TRUE(host.ShowFolder(host.activePanel(), tree.path()));
  ASSERT_NE(host.OpenPlugin(plugin, OPEN_PLUGINSMENU, 0), FAR_INVALID_HANDLE);
  fake::state.calls.clear();
  host.ClosePluginPanel(host.activePanel());
  EXPECT_EQ(fake::state.calls, std::vector<std::string>{"ClosePlugin"});
  EXPECT_EQ(host.activePanel().folder, tree.path());
  EXPECT_EQ(host.activePanel().plugin, nullptr);
}

TEST_F(PanelsTest, CommandLineGoesToThePluginWithThatPrefix) {
  ASSERT_TRUE(host.ShowFolder(host.activePanel(), tree.path()));
  fake::state.prefix = "zz:FF";
  host.QueryPluginInfo(plugin);
  EXPECT_NE(host.RunCommandLine("ff:a:b c"), FAR_INVALID_HANDLE);
  EXPECT_EQ(fake::state.commandText, "a:b c");
  EXPECT_EQ(fake::state.calls.back(), "GetFindData");
  EXPECT_NE(std::find(fake::state.calls.begin(), fake::state.calls.end(), "OpenPlugin 4"),
            fake::state.calls.end());
  host.ClosePluginPanel(host.activePanel());

  for (const char* line : {"f:x", "zzz:x", "ff", ":x", ""}) {
    fake::state.calls.clear();
    EXPECT_EQ(host.RunCommandLine(line), FAR_INVALID_HANDLE) << line;
    EXPECT_TRUE(fake::state.calls.empty()) << line;
  }
  EXPECT_NE(host.RunCommandLine("ZZ:"), FAR_INVALID_HANDLE);
  EXPECT_EQ(fake::state.commandText, "");
}

}  // namespace
