// The results list of the native Far 3 modules, compiled as they compile it: paths too long
// for the 1.x find record are carried beside it, and freed with their entry.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "filesearch/results.h"
#include "flavour/flavour.h"

namespace {

platform::FileRecord MakeRecord(const std::string& path, DWORD sizeLow) {
  platform::FileRecord record{};
  record.dwFileAttributes = platform::kAttrArchive;
  record.nFileSizeLow = sizeLow;
  std::memcpy(record.cFileName, path.c_str(), path.size() + 1);
  return record;
}

// A path of length bytes under C:\, ending with its own number, so that each differs.
std::string MakePath(std::size_t length, int number) {
  std::string path = "C:\\" + std::to_string(number) + "\\";
  path.resize(length, 'x');
  return path;
}

std::vector<std::string> NamesOf(const ResultsList& list) {
  std::vector<std::string> names;
  for (int i = 0; i < list.count; ++i)
    names.emplace_back(flavour::NameOfPanelItem(list.items[i]));
  return names;
}

TEST(LongNameTest, EveryPathTheWalkTakesIsKeptWhole) {
  const std::size_t lengths[] = {10, sizeof(FarFindData::cFileName) - 1,
                                 sizeof(FarFindData::cFileName), 342,
                                 static_cast<std::size_t>(platform::kMaxPath) - 1};
  ResultsList list;
  std::vector<std::string> paths;
  for (std::size_t length : lengths) {
    paths.push_back(MakePath(length, static_cast<int>(paths.size())));
    platform::FileRecord record = MakeRecord(paths.back(), static_cast<DWORD>(length));
    AddResult(&list, &record);
  }
  EXPECT_EQ(list.leftOut, 0);
  EXPECT_EQ(NamesOf(list), paths);
  for (int i = 0; i < list.count; ++i) {
    SCOPED_TRACE(lengths[i]);
    const PluginPanelItem& item = list.items[i];
    const bool fits = lengths[i] < sizeof(item.FindData.cFileName);
    // Only a path that does not fit is carried beside the record, which then holds none.
    EXPECT_EQ(item.LongName != nullptr, !fits);
    if (!fits) {
      EXPECT_EQ(item.FindData.cFileName[0], '\0');
    }
    EXPECT_EQ(+item.FindData.nFileSizeLow, static_cast<DWORD>(lengths[i]));
    EXPECT_EQ(+item.FindData.dwFileAttributes, platform::kAttrArchive);
  }
  ClearResults(&list);
  EXPECT_EQ(list.count, 0);
}

// Removing entries frees their paths and keeps the others' (the sanitizer's leak check
// sees a path that is not freed, or freed twice).
TEST(LongNameTest, RemovedEntriesTakeTheirPathsAlong) {
  struct Case {
    std::vector<int> remove;  // indices, one after the other
    std::vector<int> left;    // the paths that stay, by their first index
  };
  const Case cases[] = {
      {{0}, {1, 2, 3}}, {{1, 1}, {0, 3}}, {{3, 0}, {1, 2}}, {{9}, {0, 1, 2, 3}},
  };
  for (const Case& c : cases) {
    ResultsList list;
    std::vector<std::string> paths;
    for (int i = 0; i < 4; ++i) {
      // Short and long paths in turn.
      paths.push_back(MakePath(i % 2 ? 300 : 20, i));
      platform::FileRecord record = MakeRecord(paths.back(), 1);
      AddResult(&list, &record);
    }
    for (int index : c.remove) RemoveResult(&list, index);
    std::vector<std::string> expected;
    for (int i : c.left) expected.push_back(paths[static_cast<std::size_t>(i)]);
    EXPECT_EQ(NamesOf(list), expected);
    ClearResults(&list);
  }
}

TEST(LongNameTest, ARecordNameWithoutItsEndIsNoName) {
  PluginPanelItem item{};
  std::memset(item.FindData.cFileName, 'n', sizeof(item.FindData.cFileName));
  EXPECT_TRUE(flavour::NameOfPanelItem(item).empty());
  item.FindData.cFileName[5] = '\0';
  EXPECT_EQ(flavour::NameOfPanelItem(item), "nnnnn");
}

}  // namespace
