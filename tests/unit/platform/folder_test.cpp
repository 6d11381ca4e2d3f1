// Folders held open for a walk: entries with their kinds, records on demand that equal the
// listing's, and subfolders and files opened relative to the folder.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <map>
#include <string>

#include "platform/platform.h"
#include "unit/platform/scratch.h"

namespace {

struct FolderCloser {
  void operator()(platform::Folder* folder) const { platform::CloseFolder(folder); }
};
using FolderHandle = std::unique_ptr<platform::Folder, FolderCloser>;

std::map<std::string, platform::EntryKind> ReadEntries(platform::Folder* folder) {
  std::map<std::string, platform::EntryKind> entries;
  platform::FolderEntry entry;
  while (platform::NextFolderEntry(folder, &entry)) {
    EXPECT_FALSE(entries.count(entry.record.cFileName)) << entry.record.cFileName;
    entries[entry.record.cFileName] = entry.kind;
  }
  return entries;
}

class FolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    scratch::WriteFile(folder_ / "plain.txt", "hello");
    scratch::WriteFile(folder_ / ".hidden", "");
    scratch::WriteFile(folder_ / "readonly", "x");
    chmod((folder_ / "readonly").c_str(), 0444);
    std::filesystem::create_directory(folder_ / "sub");
    scratch::WriteFile(folder_ / "sub/inner", "inside");
    symlink("sub", (folder_ / "tosub").c_str());
    symlink("plain.txt", (folder_ / "toplain").c_str());
    symlink("nowhere", (folder_ / "dangling").c_str());
    mkfifo((folder_ / "pipe").c_str(), 0644);
  }
  scratch::Folder folder_;
};

TEST_F(FolderTest, EntriesHaveTheirKindsAndRecordsEqualTheListings) {
  using platform::EntryKind;
  const std::map<std::string, EntryKind> expected = {
      {"plain.txt", EntryKind::kFile},   {".hidden", EntryKind::kFile},
      {"readonly", EntryKind::kFile},    {"sub", EntryKind::kFolder},
      {"tosub", EntryKind::kNotEntered}, {"toplain", EntryKind::kFile},
      {"dangling", EntryKind::kFile},    {"pipe", EntryKind::kFile},
  };
  const std::string path = folder_.path() + "/";
  FolderHandle folder(platform::OpenFolder(path.c_str()));
  ASSERT_TRUE(folder);
  EXPECT_EQ(ReadEntries(folder.get()), expected);
  // Read once: the listing does not start over.
  platform::FolderEntry entry;
  EXPECT_FALSE(platform::NextFolderEntry(folder.get(), &entry));

  platform::Listing* listing = platform::OpenListing(path.c_str());
  ASSERT_NE(listing, nullptr);
  platform::FileRecord listed;
  int compared = 0;
  while (platform::NextListingEntry(listing, &listed)) {
    if (!expected.count(listed.cFileName)) continue;
    SCOPED_TRACE(listed.cFileName);
    platform::FileRecord queried;
    std::memset(&queried, 0xAB, sizeof queried);
    ASSERT_TRUE(platform::QueryFolderEntry(folder.get(), listed.cFileName, &queried));
    EXPECT_EQ(std::memcmp(&queried, &listed, sizeof listed), 0);
    ++compared;
  }
  platform::CloseListing(listing);
  EXPECT_EQ(compared, static_cast<int>(expected.size()));
  platform::FileRecord gone;
  EXPECT_FALSE(platform::QueryFolderEntry(folder.get(), "missing", &gone));
}

TEST_F(FolderTest, SubfoldersOpenRelativeLinksAndMissingNamesDoNot) {
  FolderHandle folder(platform::OpenFolder((folder_.path() + "/").c_str()));
  ASSERT_TRUE(folder);
  const struct {
    const char* name;
    bool opens;
    bool enter;
  } cases[] = {
      {"sub", true, true},
      {"tosub", false, false},      // a link that took a folder's place stays out
      {"plain.txt", false, false},  // no folder (any more)
      {"missing", false, true},     // gone: shown as a folder that lists nothing
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    bool enter = !c.enter;
    FolderHandle sub(platform::OpenSubfolder(folder.get(), c.name, &enter));
    EXPECT_EQ(sub != nullptr, c.opens);
    EXPECT_EQ(enter, c.enter);
    if (sub) {
      auto entries = ReadEntries(sub.get());
      EXPECT_EQ(entries.size(), 1u);
      EXPECT_TRUE(entries.count("inner"));
    }
  }
}

TEST(FolderMountTest, AnotherFileSystemMountedBelowIsNotEntered) {
  struct stat root, proc;
  if (stat("/", &root) != 0 || stat("/proc", &proc) != 0 || root.st_dev == proc.st_dev)
    GTEST_SKIP() << "/proc is not a mount of its own here";
  FolderHandle folder(platform::OpenFolder("/"));
  ASSERT_TRUE(folder);
  bool enter = true;
  FolderHandle sub(platform::OpenSubfolder(folder.get(), "proc", &enter));
  EXPECT_FALSE(sub);
  EXPECT_FALSE(enter);
}

TEST_F(FolderTest, FilesOpenRelativeToTheFolderOnlyWhenRegular) {
  FolderHandle folder(platform::OpenFolder((folder_.path() + "/").c_str()));
  ASSERT_TRUE(folder);
  const struct {
    const char* name;
    bool opens;
    std::uint64_t size;
  } cases[] = {
      {"plain.txt", true, 5}, {"toplain", true, 5},   {".hidden", true, 0},  {"pipe", false, 0},
      {"sub", false, 0},      {"dangling", false, 0}, {"missing", false, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    platform::File file;
    std::uint64_t size = 99;
    platform::FileRecord opened;
    std::memset(&opened, 0x5a, sizeof opened);
    EXPECT_EQ(file.OpenForReadingIn(folder.get(), c.name, &size, &opened), c.opens);
    if (!c.opens) {
      EXPECT_EQ(opened.dwFileAttributes, 0u);
      continue;
    }
    EXPECT_EQ(size, c.size);
    // The open gives the record the folder gives for the name.
    platform::FileRecord queried;
    ASSERT_TRUE(platform::QueryFolderEntry(folder.get(), c.name, &queried));
    EXPECT_EQ(std::memcmp(&opened, &queried, sizeof opened), 0);
    char bytes[16] = {};
    EXPECT_EQ(file.Read(bytes, sizeof bytes), static_cast<std::int64_t>(c.size));
    if (c.size) {
      EXPECT_STREQ(bytes, "hello");
    }
  }
  platform::File file;
  EXPECT_FALSE(file.OpenForReadingIn(nullptr, "plain.txt"));
}

TEST(FolderOpenTest, WhatIsNoFolderCannotBeOpened) {
  scratch::Folder folder;
  scratch::WriteFile(folder / "file", "x");
  EXPECT_EQ(platform::OpenFolder((folder / "missing/").c_str()), nullptr);
  EXPECT_EQ(platform::OpenFolder((folder / "file").c_str()), nullptr);
  EXPECT_EQ(platform::OpenFolder(nullptr), nullptr);
  platform::FolderEntry entry;
  EXPECT_FALSE(platform::NextFolderEntry(nullptr, &entry));
  platform::CloseFolder(nullptr);
}

}  // namespace
