#include "filesearch/results.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <set>
#include <string>

namespace {

platform::FileRecord MakeRecord(const std::string& path, DWORD sizeLow) {
  platform::FileRecord record;
  std::memset(&record, 0x77, sizeof(record));
  record.dwFileAttributes = platform::kAttrArchive;
  record.nFileSizeLow = sizeLow;
  std::snprintf(record.cFileName, sizeof(record.cFileName), "%s", path.c_str());
  return record;
}

// The panel record holds every field of the listing record as it is. The panel record is
// packed: each field is read as a value, never bound to a reference.
void ExpectSameRecord(const FarFindData& shown, const platform::FileRecord& record) {
  EXPECT_EQ(+shown.dwFileAttributes, record.dwFileAttributes);
  const FILETIME times[] = {shown.ftCreationTime, shown.ftLastAccessTime, shown.ftLastWriteTime};
  const platform::FileTime expected[] = {record.ftCreationTime, record.ftLastAccessTime,
                                         record.ftLastWriteTime};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(times[i].dwLowDateTime, expected[i].dwLowDateTime) << i;
    EXPECT_EQ(times[i].dwHighDateTime, expected[i].dwHighDateTime) << i;
  }
  EXPECT_EQ(+shown.nFileSizeHigh, record.nFileSizeHigh);
  EXPECT_EQ(+shown.nFileSizeLow, record.nFileSizeLow);
  EXPECT_EQ(+shown.dwReserved0, record.dwReserved0);
  EXPECT_EQ(+shown.dwReserved1, record.dwReserved1);
  EXPECT_EQ(std::memcmp(shown.cFileName, record.cFileName, sizeof shown.cFileName), 0);
  EXPECT_EQ(std::memcmp(shown.cAlternateFileName, record.cAlternateFileName,
                        sizeof shown.cAlternateFileName),
            0);
}

TEST(AddResultTest, CopiesTheListingRecordAndZeroesEveryOtherField) {
  ResultsList list;
  platform::FileRecord record = MakeRecord("/data/notes.txt", 1234);
  AddResult(&list, &record);
  ASSERT_EQ(list.count, 1);
  const PluginPanelItem& item = list.items[0];
  ExpectSameRecord(item.FindData, record);
  EXPECT_EQ(+item.PackSizeHigh, 0u);
  EXPECT_EQ(+item.PackSize, 0u);
  EXPECT_EQ(+item.Flags, 0u);
  EXPECT_EQ(+item.NumberOfLinks, 0u);
  EXPECT_EQ(+item.Description, nullptr);
  EXPECT_EQ(+item.Owner, nullptr);
  EXPECT_EQ(+item.CustomColumnData, nullptr);
  EXPECT_EQ(+item.CustomColumnNumber, 0);
  EXPECT_EQ(+item.UserData, 0u);
  DWORD reserved[3];
  std::memcpy(reserved, item.Reserved, sizeof(reserved));
  for (DWORD word : reserved) EXPECT_EQ(word, 0u);
  ClearResults(&list);
}

TEST(AddResultTest, LeavesOutANameWithoutItsEndAndCountsIt) {
  ResultsList list;
  platform::FileRecord record = MakeRecord("/a", 1);
  std::memset(record.cFileName, 'n', sizeof(record.cFileName));
  AddResult(&list, &record);
  EXPECT_EQ(list.count, 0);
  EXPECT_EQ(list.leftOut, 1);
  ClearResults(&list);
}

TEST(AddResultTest, KeepsTheOrderAndGrowsGeometrically) {
  constexpr int kCount = 100000;
  ResultsList list;
  std::set<int> capacities;
  for (int i = 0; i < kCount; ++i) {
    platform::FileRecord record = MakeRecord("/f/" + std::to_string(i), static_cast<DWORD>(i));
    AddResult(&list, &record);
    capacities.insert(list.capacity);
  }
  ASSERT_EQ(list.count, kCount);
  // A handful of reallocations, not one per result.
  EXPECT_LT(capacities.size(), 20u);
  EXPECT_GE(list.capacity, kCount);
  for (int i : {0, 1, 4095, kCount - 1}) {
    EXPECT_STREQ(list.items[i].FindData.cFileName, ("/f/" + std::to_string(i)).c_str());
    EXPECT_EQ(+list.items[i].FindData.nFileSizeLow, static_cast<DWORD>(i));
  }
  ClearResults(&list);
}

TEST(RemoveResultTest, TakesOutOneEntryAndKeepsTheOrderOfTheRest) {
  struct Case {
    int index;
    std::string left;  // the names that stay, in order
  };
  const Case cases[] = {
      {0, "bcd"}, {2, "abd"}, {3, "abc"},           // first, middle, last
      {-1, "abcd"}, {4, "abcd"}, {1000, "abcd"},    // no such entry: nothing changes
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.index);
    ResultsList list;
    for (const char* name : {"a", "b", "c", "d"}) {
      platform::FileRecord record = MakeRecord(name, 1);
      AddResult(&list, &record);
    }
    RemoveResult(&list, c.index);
    std::string left;
    for (int i = 0; i < list.count; ++i) left += list.items[i].FindData.cFileName;
    EXPECT_EQ(left, c.left);
    platform::FileRecord record = MakeRecord("e", 1);
    AddResult(&list, &record);  // the list grows on from where it stands
    EXPECT_STREQ(list.items[list.count - 1].FindData.cFileName, "e");
    ClearResults(&list);
  }
}

TEST(ClearResultsTest, LeavesAnEmptyListThatCanGrowAgain) {
  ResultsList list;
  platform::FileRecord record = MakeRecord("/a", 1);
  AddResult(&list, &record);
  ClearResults(&list);
  EXPECT_EQ(list.items, nullptr);
  EXPECT_EQ(list.count, 0);
  ClearResults(&list);  // clearing an empty list is harmless
  AddResult(&list, &record);
  EXPECT_EQ(list.count, 1);
  ClearResults(&list);
}

}  // namespace
