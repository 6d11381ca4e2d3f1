#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <string>

#include "platform/platform.h"
#include "unit/platform/scratch.h"

namespace {

std::map<std::string, platform::FileRecord> ListFolder(const std::string& folder) {
  std::map<std::string, platform::FileRecord> entries;
  platform::Listing* listing = platform::OpenListing(folder.c_str());
  EXPECT_NE(listing, nullptr) << folder;
  if (!listing) return entries;
  platform::FileRecord entry;
  while (platform::NextListingEntry(listing, &entry)) entries[entry.cFileName] = entry;
  platform::CloseListing(listing);
  return entries;
}

std::uint64_t Ticks(const platform::FileTime& t) {
  return (std::uint64_t{t.dwHighDateTime} << 32) | t.dwLowDateTime;
}

std::uint64_t Size(const platform::FileRecord& e) {
  return (std::uint64_t{e.nFileSizeHigh} << 32) | e.nFileSizeLow;
}

TEST(ListingTest, ReportsAttributesSizesAndLinksWithoutFollowingFolders) {
  scratch::Folder folder;
  scratch::WriteFile(folder / "plain.txt", "hello");
  scratch::WriteFile(folder / ".hidden", "");
  scratch::WriteFile(folder / "readonly", "x");
  chmod((folder / "readonly").c_str(), 0444);
  std::filesystem::create_directory(folder / "sub");
  scratch::WriteFile(folder / "sub/inner", "");
  symlink("sub", (folder / "tosub").c_str());
  symlink("plain.txt", (folder / "toplain").c_str());
  symlink("nowhere", (folder / "dangling").c_str());
  scratch::WriteFile(folder / "big", "");
  std::filesystem::resize_file(folder / "big", (std::uint64_t{5} << 32) + 7);  // sparse

  const std::uint32_t file = platform::kAttrArchive;
  const std::uint32_t link = platform::kAttrDirectory | platform::kAttrReparsePoint;
  struct Expected {
    const char* name;
    std::uint32_t attributes;
    std::uint64_t size;
  };
  const Expected expected[] = {
      {"plain.txt", file, 5},
      {".hidden", file | platform::kAttrHidden, 0},
      {"readonly", file | platform::kAttrReadOnly, 1},
      {"sub", platform::kAttrDirectory, 0},
      {"tosub", link, 0},
      {"toplain", file, 5},  // as the file it points to
      {"dangling", platform::kAttrNormal, 0},
      {"big", file, (std::uint64_t{5} << 32) + 7},
  };
  auto entries = ListFolder(folder.path() + "/");
  entries.erase(".");
  entries.erase("..");
  EXPECT_EQ(entries.size(), std::size(expected));
  for (const Expected& e : expected) {
    SCOPED_TRACE(e.name);
    auto it = entries.find(e.name);
    ASSERT_NE(it, entries.end());
    EXPECT_EQ(it->second.dwFileAttributes, e.attributes);
    EXPECT_EQ(Size(it->second), e.size);
  }
  EXPECT_EQ(entries["big"].nFileSizeHigh, 5u);
  EXPECT_EQ(entries["big"].nFileSizeLow, 7u);
}

TEST(ListingTest, TimesAreCountedFrom1601In100NanosecondSteps) {
  scratch::Folder folder;
  scratch::WriteFile(folder / "dated", "");
  // 2001-09-09 01:46:40 UTC and a fraction of a second.
  timespec times[2] = {{1000000000, 123456700}, {1000000001, 999999900}};
  ASSERT_EQ(utimensat(AT_FDCWD, (folder / "dated").c_str(), times, 0), 0);
  auto entries = ListFolder(folder.path() + "/");
  const platform::FileRecord& e = entries["dated"];
  constexpr std::uint64_t k1970 = 116444736000000000ULL;
  EXPECT_EQ(Ticks(e.ftLastAccessTime), k1970 + 10000000000000000ULL + 1234567);
  EXPECT_EQ(Ticks(e.ftLastWriteTime), k1970 + 10000000010000000ULL + 9999999);
}

TEST(ListingTest, AnotherFileSystemMountedBelowIsNotToBeEntered) {
  struct stat root, proc;
  if (stat("/", &root) != 0 || stat("/proc", &proc) != 0 || root.st_dev == proc.st_dev)
    GTEST_SKIP() << "/proc is not a mount of its own here";
  auto entries = ListFolder("/");
  ASSERT_TRUE(entries.count("proc"));
  EXPECT_EQ(entries["proc"].dwFileAttributes & (platform::kAttrDirectory | platform::kAttrReparsePoint),
            platform::kAttrDirectory | platform::kAttrReparsePoint);
}

TEST(ListingTest, WhatIsNoFolderCannotBeListed) {
  scratch::Folder folder;
  scratch::WriteFile(folder / "file", "x");
  EXPECT_EQ(platform::OpenListing((folder / "missing/").c_str()), nullptr);
  EXPECT_EQ(platform::OpenListing((folder / "file").c_str()), nullptr);
  EXPECT_EQ(platform::OpenListing(nullptr), nullptr);
  platform::FileRecord entry;
  EXPECT_FALSE(platform::NextListingEntry(nullptr, &entry));
  platform::CloseListing(nullptr);
}

}  // namespace
