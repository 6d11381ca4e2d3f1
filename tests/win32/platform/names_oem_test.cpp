// The OEM name text: names the OEM code page spells are listed and opened under their own
// bytes; the others are left out and counted, never given a look-alike name.
#include <cstring>
#include <string>

#include "platform/platform.h"
#include "win32/platform/wide_names.h"
#include "win32/scratch.h"

namespace {

using win32test::kMixedNames;

// How the code pages the tests run under spell the mixed folder's names (null: not at
// all). 866 is the Russian locale's, 437 Wine's default.
struct OemSpelling {
  unsigned codePage;
  const char* names[std::size(kMixedNames)];
};
const OemSpelling kSpellings[] = {
    {866, {"\x86\xE3\xAA.txt", nullptr, nullptr, nullptr, "plain.txt"}},
    {437, {nullptr, nullptr, nullptr, "caf\x82.txt", "plain.txt"}},
};

const OemSpelling* FindSpelling() {
  for (const OemSpelling& spelling : kSpellings)
    if (spelling.codePage == GetOEMCP()) return &spelling;
  return nullptr;
}

class OemNamesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(scratch.path().empty());
    spelling = FindSpelling();
    ASSERT_NE(spelling, nullptr) << "no expectations for OEM code page " << GetOEMCP();
  }
  std::wstring WidePath(const wchar_t* name) const {
    return win32test::Widen(scratch.path()) + L"\\" + name;
  }
  win32test::ScratchFolder scratch;
  const OemSpelling* spelling = nullptr;
};

TEST_F(OemNamesTest, ListsAndOpensWhatTheCodePageSpellsAndCountsTheRest) {
  std::set<std::string> expected;
  std::uint64_t unspelt = 0;
  for (std::size_t i = 0; i < std::size(kMixedNames); ++i) {
    ASSERT_TRUE(win32test::WriteWide(WidePath(kMixedNames[i].name), kMixedNames[i].content));
    if (spelling->names[i])
      expected.insert(spelling->names[i]);
    else
      ++unspelt;
  }
  std::uint64_t leftOut = 0;
  EXPECT_EQ(win32test::ListThroughBackend(scratch.path() + "\\", &leftOut), expected);
  EXPECT_EQ(leftOut, unspelt);
  // Each listed name opens its own file, by path and from the open folder.
  platform::Folder* folder = platform::OpenFolder((scratch.path() + "\\").c_str());
  ASSERT_NE(folder, nullptr);
  for (std::size_t i = 0; i < std::size(kMixedNames); ++i) {
    if (!spelling->names[i]) continue;
    SCOPED_TRACE(spelling->names[i]);
    EXPECT_EQ(win32test::ReadThroughBackend(scratch / spelling->names[i]), kMixedNames[i].content);
    platform::File file;
    EXPECT_TRUE(file.OpenForReadingIn(folder, spelling->names[i]));
    platform::FileRecord record;
    ASSERT_TRUE(platform::QueryFolderEntry(folder, spelling->names[i], &record));
    EXPECT_STREQ(record.cFileName, spelling->names[i]);
    EXPECT_EQ(record.nFileSizeLow, std::strlen(kMixedNames[i].content));
  }
  platform::CloseFolder(folder);
  // The plain listing counts the same.
  platform::Listing* listing = platform::OpenListing((scratch.path() + "\\").c_str());
  ASSERT_NE(listing, nullptr);
  platform::FileRecord entry;
  while (platform::NextListingEntry(listing, &entry)) {
  }
  EXPECT_EQ(platform::CountNamesLeftOut(listing), unspelt);
  platform::CloseListing(listing);
}

TEST_F(OemNamesTest, NoBestFitLookAlikeIsHandedOut) {
  // Best fit would spell "ā" as "a": the listing would then report a second "a.txt",
  // and opening it would open the other file.
  ASSERT_TRUE(win32test::WriteWide(WidePath(L"\u0101.txt"), "macron"));
  ASSERT_TRUE(win32test::WriteWide(WidePath(L"a.txt"), "plain a"));
  std::uint64_t leftOut = 0;
  EXPECT_EQ(win32test::ListThroughBackend(scratch.path() + "\\", &leftOut),
            std::set<std::string>{"a.txt"});
  EXPECT_EQ(leftOut, 1u);
  EXPECT_EQ(win32test::ReadThroughBackend(scratch / "a.txt"), "plain a");
}

TEST_F(OemNamesTest, FileOperationsTakeOemBytes) {
  // The non-ASCII name this code page spells: each operation must reach the same file.
  const char* oem = nullptr;
  const wchar_t* wide = nullptr;
  for (std::size_t i = 0; i < std::size(kMixedNames); ++i)
    if (spelling->names[i] && std::strcmp(spelling->names[i], "plain.txt") != 0)
      oem = spelling->names[i], wide = kMixedNames[i].name;
  ASSERT_NE(oem, nullptr);
  const std::string path = scratch / oem;
  platform::File file;
  ASSERT_TRUE(file.CreateNew(path.c_str(), 0));
  ASSERT_TRUE(file.Write("abc", 3));
  ASSERT_TRUE(file.Close());
  EXPECT_NE(GetFileAttributesW(WidePath(wide).c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_TRUE(platform::PathExists(path.c_str()));
  platform::FileView view;
  ASSERT_TRUE(view.Open(path.c_str()));
  EXPECT_EQ(view.size(), 3u);
  view.Close();
  char resolved[platform::kMaxPath];
  ASSERT_TRUE(platform::ResolveFilePath(path.c_str(), resolved, sizeof resolved));
  EXPECT_STREQ(std::strrchr(resolved, '\\') + 1, oem);
  const std::string moved = scratch / (std::string("moved ") + oem);
  ASSERT_TRUE(platform::RenameNoReplace(path.c_str(), moved.c_str()));
  EXPECT_EQ(GetFileAttributesW(WidePath(wide).c_str()), INVALID_FILE_ATTRIBUTES);
  ASSERT_TRUE(platform::LinkFile(moved.c_str(), path.c_str()));
  EXPECT_EQ(win32test::ReadThroughBackend(path), "abc");
  ASSERT_TRUE(platform::DeleteFile(moved.c_str()));
  EXPECT_FALSE(platform::PathExists(moved.c_str()));
}

}  // namespace
