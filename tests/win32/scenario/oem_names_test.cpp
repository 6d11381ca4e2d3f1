// Names the OEM code page cannot spell, through the real Trawlix.dll: the files it can
// spell are found, the others are counted in the results panel's title.
#include <string>
#include <vector>

#include "common/message_ids.h"
#include "win32/platform/wide_names.h"
#include "win32/scenario/fixture.h"

namespace win32scenario {
namespace {

TEST_F(DllTest, NamesOutsideTheOemCodePageAreCountedInThePanelTitle) {
  ASSERT_EQ(GetOEMCP(), 437u) << "the expectations below are code page 437's";
  const std::string tree = Folder("names");
  const std::wstring wideTree = win32test::Widen(tree);
  for (const wchar_t* name :
       {L"\u65e5\u672c.txt", L"\u0416\u0443\u043a.txt", L"caf\u00e9.txt", L"plain.txt"})
    ASSERT_TRUE(win32test::WriteWide(wideTree + L"\\" + name, "a needle here\r\n"));
  // One more that cannot be spelt, in a subfolder that can: counted as well.
  std::filesystem::create_directories(tree + "\\sub");
  ASSERT_TRUE(win32test::WriteWide(wideTree + L"\\sub\\\U0001F600.txt", "needle\r\n"));
  StoreInt("FSearchIn", 2);  // the folder and its subfolders
  StoreInt("FSearchAs", 0);
  StoreText("FMask", "*.*");
  host::Plugin* trawlix = Load("Trawlix.dll");
  ASSERT_NE(trawlix, nullptr);
  ShowFolder(tree);
  scenario::AcknowledgeMessages(*host_);
  ASSERT_EQ(host_->RunCommandLine("ff:needle"), kResultsPanel);
  EXPECT_EQ(SortedPanelNames(),
            (std::vector<std::string>{tree + "\\caf\x82.txt", tree + "\\plain.txt"}));
  const OpenPluginInfo& info = host_->activePanel().openInfo;
  ASSERT_NE(+info.PanelTitle, nullptr);
  EXPECT_EQ(std::string(info.PanelTitle), trawlix->messages.at(kMsgFoundFiles) + " (3 " +
                                              trawlix->messages.at(kMsgNamesNotSearched) + ")");
}

}  // namespace
}  // namespace win32scenario
