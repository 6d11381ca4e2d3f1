// The results list as the far2l flavour builds it: far2l's panel record, filled from the
// listing record, and full paths too long for it left out and counted.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "filesearch/results.h"

namespace {

platform::FileRecord MakeRecord(const std::string& path) {
  platform::FileRecord record;
  std::memset(&record, 0, sizeof(record));
  record.dwFileAttributes = kAttrArchive | kAttrReadOnly;
  record.ftCreationTime = platform::FileTime{1, 2};
  record.ftLastAccessTime = platform::FileTime{3, 4};
  record.ftLastWriteTime = platform::FileTime{5, 6};
  record.nFileSizeHigh = 2;
  record.nFileSizeLow = 0x10;
  record.dwReserved0 = 0100644;  // the listing's Unix mode
  std::memcpy(record.cFileName, path.c_str(), path.size() + 1);
  return record;
}

TEST(Far2lPanelRecordTest, TakesEveryFieldOverInFar2lsLayout) {
  ResultsList list;
  platform::FileRecord record = MakeRecord("/data/дом/notes.txt");
  AddResult(&list, &record);
  ASSERT_EQ(list.count, 1);
  const PluginPanelItem& item = list.items[0];
  EXPECT_STREQ(item.FindData.cFileName, "/data/дом/notes.txt");
  EXPECT_EQ(+item.FindData.nFileSize, 0x200000010u);
  EXPECT_EQ(+item.FindData.nPhysicalSize, 0x200000010u);
  EXPECT_EQ(+item.FindData.dwFileAttributes, kAttrArchive | kAttrReadOnly);
  EXPECT_EQ(+item.FindData.dwUnixMode, 0100644u);
  EXPECT_EQ(item.FindData.ftCreationTime.dwHighDateTime, 2u);
  EXPECT_EQ(item.FindData.ftLastAccessTime.dwLowDateTime, 3u);
  EXPECT_EQ(item.FindData.ftLastWriteTime.dwHighDateTime, 6u);
  EXPECT_EQ(+item.UserData, 0u);
  EXPECT_EQ(+item.Group, nullptr);
  EXPECT_EQ(+item.CRC32, 0u);
  EXPECT_EQ(list.leftOut, 0);
  ClearResults(&list);
}

// far2l's name field holds 254 bytes and the terminator: a longer full path is never cut
// (the panel would show, and open, another name) but left out and counted.
TEST(Far2lPanelRecordTest, LeavesOutPathsLongerThan254BytesAndCountsThem) {
  struct Case {
    std::size_t length;
    bool listed;
  };
  const Case cases[] = {{1, true}, {253, true}, {254, true}, {255, false}, {259, false}};
  ResultsList list;
  int listed = 0;
  int leftOut = 0;
  for (const Case& c : cases) {
    std::string path = "/" + std::string(c.length - 1, 'a');
    platform::FileRecord record = MakeRecord(path);
    AddResult(&list, &record);
    (c.listed ? listed : leftOut)++;
    ASSERT_EQ(list.count, listed) << c.length;
    ASSERT_EQ(list.leftOut, leftOut) << c.length;
    if (c.listed) {
      EXPECT_EQ(std::string(list.items[list.count - 1].FindData.cFileName), path);
    }
  }
  // A multibyte name counts in bytes: "/a" and 126 two-byte letters make 254 and fit;
  // one letter more does not.
  std::string fits = "/a";
  for (int i = 0; i < 126; ++i) fits += "д";
  platform::FileRecord record = MakeRecord(fits);
  AddResult(&list, &record);
  EXPECT_EQ(list.count, listed + 1);
  record = MakeRecord(fits + "д");
  AddResult(&list, &record);
  EXPECT_EQ(list.leftOut, leftOut + 1);

  ClearResults(&list);
  EXPECT_EQ(list.count, 0);
  EXPECT_EQ(list.leftOut, 0);
}

}  // namespace
