// The results panel as the host drives it: its description, F7, the way out, closing.
#include <string>
#include <vector>

#include "scenario/fixture.h"
#include "src/common/message_ids.h"

namespace scenario {
namespace {

class ResultsPanelTest : public ScenarioTest {
 protected:
  void SetUp() override {
    ScenarioTest::SetUp();
    tree_ = Folder("tree");
    MakeTree(tree_, {"a.txt", "b.txt", "c.txt", "d.txt"});
    WriteStoredInt("FSearchIn", 3);
    ASSERT_TRUE(trawlix_ = LoadTrawlix());
    ShowFolder(tree_);
    ASSERT_EQ(Search(), kResultsPanel);
    ASSERT_EQ(PanelNames().size(), 4u);
    host::Panel& panel = host_->activePanel();
    updatesBefore_ = panel.updates;
    redrawsBefore_ = panel.redraws;
  }

  std::vector<std::string> Paths(std::vector<std::string> names) {
    for (std::string& name : names) name = tree_ + "/" + name;
    return names;
  }

  std::string tree_;
  host::Plugin* trawlix_ = nullptr;
  int updatesBefore_ = 0;
  int redrawsBefore_ = 0;
};

TEST_F(ResultsPanelTest, DescribesItselfToTheHost) {
  const OpenPluginInfo& info = host_->activePanel().openInfo;
  EXPECT_EQ(+info.StructSize, static_cast<int>(sizeof(OpenPluginInfo)));
  EXPECT_EQ(+info.Flags, 175u);
  EXPECT_EQ(+info.HostFile, nullptr);
  ASSERT_NE(+info.CurDir, nullptr);
  EXPECT_STREQ(info.CurDir, "");
  EXPECT_EQ(+info.Format, trawlix_->messages.at(kMsgFoundFiles));
  EXPECT_EQ(+info.PanelTitle, trawlix_->messages.at(kMsgFoundFiles));
  EXPECT_EQ(+info.InfoLinesNumber, 0);
  EXPECT_EQ(+info.DescrFilesNumber, 0);
  EXPECT_EQ(+info.PanelModesNumber, 0);
  EXPECT_EQ(+info.StartPanelMode, '4');
  ASSERT_NE(+info.KeyBar, nullptr);
  // Only the plain F7 label is the plugin's own.
  const KeyBarTitles& keys = *info.KeyBar;
  for (int i = 0; i < 12; ++i) {
    if (i == 6)
      EXPECT_EQ(+keys.Titles[i], trawlix_->messages.at(kMsgRemoveKey));
    else
      EXPECT_EQ(+keys.Titles[i], nullptr) << "F" << i + 1;
    EXPECT_EQ(+keys.CtrlTitles[i], nullptr);
    EXPECT_EQ(+keys.AltTitles[i], nullptr);
    EXPECT_EQ(+keys.ShiftTitles[i], nullptr);
  }
  // The entries carry real full paths, after the dots entry the host adds.
  EXPECT_STREQ(host_->activePanel().items.at(0).FindData.cFileName, "..");
  EXPECT_EQ(SortedPanelNames(), Paths({"a.txt", "b.txt", "c.txt", "d.txt"}));
}

TEST_F(ResultsPanelTest, F7RemovesTheSelectedEntriesOrTheCurrentOne) {
  std::vector<std::string> before = PanelNames();
  const struct {
    const char* what;
    std::vector<int> selected;  // indexes into before
    int current;                // index into before, -1 for the dots entry
    std::vector<int> kept;
  } cases[] = {
      {"two selected", {1, 3}, 0, {0, 2}},
      {"nothing selected: the current entry", {}, 2, {0, 1, 3}},
      {"the dots entry current: nothing", {}, -1, {0, 1, 2, 3}},
      {"everything selected", {0, 1, 2, 3}, 0, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_EQ(Search(), FAR_INVALID_HANDLE) << "no search from a results panel";
    host_->ClosePluginPanel(host_->activePanel());
    ASSERT_EQ(host_->activePanel().folder, tree_ + "/");
    ASSERT_EQ(Search(), kResultsPanel);
    ASSERT_EQ(PanelNames(), before) << "a new search lists the same files in the same order";
    host::Panel& panel = host_->activePanel();
    for (int i : c.selected) ASSERT_TRUE(host_->SelectItem(panel, before[i]));
    ASSERT_TRUE(host_->SetCurrentItem(panel, c.current < 0 ? ".." : before[c.current]));
    int updates = panel.updates, redraws = panel.redraws;
    EXPECT_EQ(host_->PressKey(VK_F7), 1);
    std::vector<std::string> expected;
    for (int i : c.kept) expected.push_back(before[i]);
    EXPECT_EQ(PanelNames(), expected);
    // The panel is reread and redrawn even when nothing was removed.
    EXPECT_EQ(panel.updates, updates + 1);
    EXPECT_EQ(panel.redraws, redraws + 1);
    EXPECT_NE(panel.plugin, nullptr);
    EXPECT_STREQ(panel.items.at(0).FindData.cFileName, "..");
    // Nothing on disk is touched.
    for (const std::string& path : before) EXPECT_TRUE(fs::exists(path)) << path;
  }
}

TEST_F(ResultsPanelTest, F7WithShiftCtrlOrAltAndOtherKeysAreLeftToTheHost) {
  host::Panel& panel = host_->activePanel();
  ASSERT_TRUE(host_->SelectItem(panel, PanelNames()[0]));
  const struct {
    int key;
    unsigned state;
  } keys[] = {
      {VK_F7, PKF_SHIFT}, {VK_F7, PKF_CONTROL}, {VK_F7, PKF_ALT}, {VK_F7, PKF_CONTROL | PKF_ALT},
      {VK_F7 + 1, 0},     {VK_F7 - 1, 0},       {13, 0}};
  for (const auto& k : keys) {
    EXPECT_EQ(host_->PressKey(k.key, k.state), 0) << k.key << "/" << k.state;
  }
  EXPECT_EQ(PanelNames().size(), 4u);
  EXPECT_EQ(panel.updates, updatesBefore_);
  EXPECT_EQ(panel.redraws, redrawsBefore_);
}

TEST_F(ResultsPanelTest, F7RefreshesAQuickViewOnTheOtherSideOnly) {
  const struct {
    int type;
    int refreshes;
  } cases[] = {
      {PTYPE_QVIEWPANEL, 1}, {PTYPE_FILEPANEL, 0}, {PTYPE_TREEPANEL, 0}, {PTYPE_INFOPANEL, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.type);
    host::Panel& other = host_->otherPanel();
    host_->ShowFolder(other, tree_);
    other.type = c.type;
    int updates = other.updates, redraws = other.redraws;
    EXPECT_EQ(host_->PressKey(VK_F7), 1);
    EXPECT_EQ(other.updates, updates + c.refreshes);
    EXPECT_EQ(other.redraws, redraws + c.refreshes);
  }
}

TEST_F(ResultsPanelTest, TheDotsEntryClosesThePanelTheRootRequestDoesNot) {
  for (const char* root : {"\\", "/"}) {
    EXPECT_EQ(host_->ChangeDirectory(root), 0) << root;
    EXPECT_NE(host_->activePanel().plugin, nullptr);
  }
  // The host's own file search looking into panels is refused too.
  EXPECT_EQ(trawlix_->SetDirectory(kResultsPanel, "..", OPM_FIND), 0);
  EXPECT_NE(host_->activePanel().plugin, nullptr);

  EXPECT_EQ(host_->ChangeDirectory(".."), 1);
  host::Panel& panel = host_->activePanel();
  EXPECT_EQ(panel.plugin, nullptr);
  EXPECT_EQ(panel.folder, tree_ + "/");
  // Closing the panel emptied the list.
  PluginPanelItem* items = reinterpret_cast<PluginPanelItem*>(1);
  int count = -1;
  EXPECT_EQ(trawlix_->GetFindData(kResultsPanel, &items, &count, 0), 1);
  EXPECT_EQ(count, 0);
  EXPECT_EQ(items, nullptr);
}

TEST_F(ResultsPanelTest, OneListServesEveryPanelOfThePlugin) {
  PluginPanelItem* items = nullptr;
  int count = 0;
  ASSERT_EQ(trawlix_->GetFindData(kResultsPanel, &items, &count, 0), 1);
  EXPECT_EQ(count, 4);
  host_->ClosePluginPanel(host_->activePanel());
  ASSERT_EQ(trawlix_->GetFindData(kResultsPanel, &items, &count, 0), 1);
  EXPECT_EQ(count, 0);
}

}  // namespace
}  // namespace scenario
