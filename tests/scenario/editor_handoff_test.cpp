// The file search hands its text to the editor: Trawlix reaches the Linquo instance the
// host has loaded, or a fresh one whose stored settings the host's instance reads later.
#include "editor_fixture.h"

namespace scenario {
namespace {

class EditorHandOff : public EditorScenario {
 protected:
  void FileSearch(const std::string& text, int mode) {
    const std::string folder = Folder("tree");
    WriteFile(folder + "/main.c", "int main() { return 0; } // TODO\n");
    WriteStoredInt("FSearchIn", 2);  // the panel's folder and its subfolders
    WriteStoredInt("FSearchAs", mode);
    ASSERT_NE(LoadTrawlix(), nullptr);
    ShowFolder(folder);
    EXPECT_EQ(host_->RunCommandLine("ff:" + text), kResultsPanel);
  }
};

TEST_F(EditorHandOff, ReachesTheLoadedInstance) {
  Open("zzz\nfirst TODO\nsecond TODO\n");
  Search({.text = "zz+", .regex = true});  // the repeat now searches, with this pattern
  EXPECT_EQ(Selection(), At(0, 0, 3));
  FileSearch("TO+DO", 1);
  Repeat();
  // The new text, compiled for the repeat; no dialog in between.
  EXPECT_EQ(CallsOf("Dialog").size(), 1u);
  EXPECT_EQ(Selection(), At(1, 6, 4));
  Repeat();
  EXPECT_EQ(Selection(), At(2, 7, 4));
}

TEST_F(EditorHandOff, PlainModeFollowsTheFileSearch) {
  Open("a.c a+c\n");
  Search({.text = "q", .regex = true});
  FileSearch("a+c", 0);  // plain text: "+" is a letter like any other
  Open("a.c a+c aac\n");
  Repeat();
  EXPECT_EQ(Selection(), At(0, 4, 3));
}

TEST_F(EditorHandOff, ReachesAnInstanceLoadedLater) {
  host_->UnloadPlugin(linquo_);
  linquo_ = nullptr;
  FileSearch("TODO", 1);
  linquo_ = LoadLinquo();
  ASSERT_NE(linquo_, nullptr);
  Open("one\ntwo TODO\n");
  dialogs_.push_back([](FarDialogItem* items, int) {
    EXPECT_STREQ(items[2].Data, "TODO");
    EXPECT_EQ(items[4].Selected, 1);  // the file search's pattern mode
    return 8;
  });
  Repeat();  // the first command of this instance: the search dialog
  EXPECT_EQ(Selection(), At(1, 4, 4));
}

}  // namespace
}  // namespace scenario
