// Listings, views and file operations of the win32 backend on real files.
#include <cstring>
#include <set>
#include <string>

#include "platform/platform.h"
#include "win32/scratch.h"

namespace {

using win32test::ReadBytes;
using win32test::WriteBytes;

class FilesTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_FALSE(scratch.path().empty()); }
  win32test::ScratchFolder scratch;
};

TEST_F(FilesTest, ListingReportsNamesAttributesAndSizes) {
  WriteBytes(scratch / "a.txt", "12345");
  ASSERT_TRUE(CreateDirectoryA((scratch / "sub").c_str(), nullptr));
  platform::Listing* listing = platform::OpenListing((scratch.path() + "\\").c_str());
  ASSERT_NE(listing, nullptr);
  std::set<std::string> names;
  platform::FileRecord entry;
  while (platform::NextListingEntry(listing, &entry)) {
    names.insert(entry.cFileName);
    if (std::strcmp(entry.cFileName, "a.txt") == 0) {
      EXPECT_EQ(entry.nFileSizeLow, 5u);
      EXPECT_EQ(entry.nFileSizeHigh, 0u);
      EXPECT_EQ(entry.dwFileAttributes & platform::kAttrDirectory, 0u);
      EXPECT_NE(entry.ftLastWriteTime.dwHighDateTime, 0u);
    }
    if (std::strcmp(entry.cFileName, "sub") == 0) {
      EXPECT_NE(entry.dwFileAttributes & platform::kAttrDirectory, 0u);
      EXPECT_EQ(entry.dwFileAttributes & platform::kAttrReparsePoint, 0u);
    }
  }
  platform::CloseListing(listing);
  EXPECT_TRUE(names.count("a.txt"));
  EXPECT_TRUE(names.count("sub"));
  EXPECT_EQ(platform::OpenListing((scratch.path() + "\\absent\\").c_str()), nullptr);
  // A folder path that leaves no room for "*" is refused, not cut.
  EXPECT_EQ(platform::OpenListing((std::string("C:\\") + std::string(257, 'x')).c_str()),
            nullptr);
}

TEST_F(FilesTest, ViewMapsTheWholeFileAndRefusesAnEmptyOne) {
  std::string bytes(70000, 'x');
  bytes[69999] = 'z';
  WriteBytes(scratch / "big.bin", bytes);
  WriteBytes(scratch / "empty.bin", "");
  platform::FileView view;
  ASSERT_TRUE(view.Open((scratch / "big.bin").c_str()));
  ASSERT_EQ(view.size(), 70000u);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(view.data()), 70000), bytes);
  // Shared for reading: a second reader may open it, a writer may not replace it.
  platform::File reader;
  EXPECT_TRUE(reader.OpenForReading((scratch / "big.bin").c_str()));
  view.Close();
  EXPECT_EQ(view.data(), nullptr);
  EXPECT_FALSE(view.Open((scratch / "empty.bin").c_str()));
  EXPECT_FALSE(view.Open((scratch / "absent.bin").c_str()));
}

TEST_F(FilesTest, CreateWriteReadAndClose) {
  const std::string path = scratch / "new.txt";
  platform::File out;
  ASSERT_TRUE(out.CreateNew(path.c_str(), platform::kAttrArchive));
  ASSERT_TRUE(out.Write("hello", 5));
  std::uint64_t size = 0;
  ASSERT_TRUE(out.QuerySize(&size));
  EXPECT_EQ(size, 5u);
  EXPECT_TRUE(out.StartFlush());  // Close does the flush; this only says it may
  EXPECT_TRUE(out.Close());
  EXPECT_FALSE(out.IsOpen());
  EXPECT_FALSE(out.StartFlush());
  // A new file must not exist yet.
  platform::File again;
  EXPECT_FALSE(again.CreateNew(path.c_str(), 0));

  platform::File in;
  ASSERT_TRUE(in.OpenForReading(path.c_str()));
  char buffer[16];
  EXPECT_EQ(in.Read(buffer, sizeof buffer), 5);
  EXPECT_EQ(std::string(buffer, 5), "hello");
  EXPECT_EQ(in.Read(buffer, sizeof buffer), 0);
  EXPECT_FALSE(in.Write("x", 1));  // opened for reading only
  EXPECT_FALSE(in.StartFlush());

  platform::FileInfo info;
  ASSERT_TRUE(platform::QueryFileInfo(path.c_str(), &info));
  EXPECT_TRUE(info.regular);
  EXPECT_EQ(info.size, 5u);
  EXPECT_NE(info.mode & platform::kAttrArchive, 0u);
  ASSERT_TRUE(platform::QueryFileInfo(scratch.path().c_str(), &info));
  EXPECT_FALSE(info.regular);
  EXPECT_FALSE(platform::QueryFileInfo((scratch / "absent").c_str(), &info));
}

TEST_F(FilesTest, CloseTogetherFlushesEachWrittenFileAndClosesEveryOne) {
  platform::File a, reader;
  ASSERT_TRUE(a.CreateNew((scratch / "a.txt").c_str(), platform::kAttrArchive));
  ASSERT_TRUE(a.Write("aa", 2));
  WriteBytes(scratch / "b.txt", "b");  // the file being written is shared with nobody
  ASSERT_TRUE(reader.OpenForReading((scratch / "b.txt").c_str()));
  platform::File* files[] = {&a, &reader};
  bool flushed[2] = {false, true};
  platform::File::CloseTogether(files, 2, flushed);
  EXPECT_TRUE(flushed[0]);
  EXPECT_FALSE(flushed[1]);
  EXPECT_FALSE(a.IsOpen() || reader.IsOpen());
  EXPECT_EQ(ReadBytes(scratch / "a.txt"), "aa");
}

TEST_F(FilesTest, RenameKeepsMoveFileRulesAndReplaceTakesThePlace) {
  const std::string a = scratch / "a.txt", b = scratch / "b.txt", c = scratch / "c.txt";
  WriteBytes(a, "A");
  WriteBytes(b, "B");
  // MoveFileA fails when the target exists; both files stay as they were.
  EXPECT_FALSE(platform::RenameNoReplace(a.c_str(), b.c_str()));
  EXPECT_EQ(ReadBytes(a), "A");
  EXPECT_EQ(ReadBytes(b), "B");
  EXPECT_TRUE(platform::RenameNoReplace(a.c_str(), c.c_str()));
  EXPECT_FALSE(platform::PathExists(a.c_str()));
  EXPECT_EQ(ReadBytes(c), "A");
  EXPECT_TRUE(platform::RenameReplace(c.c_str(), b.c_str()));
  EXPECT_FALSE(platform::PathExists(c.c_str()));
  EXPECT_EQ(ReadBytes(b), "A");
  EXPECT_TRUE(platform::DeleteFile(b.c_str()));
  EXPECT_FALSE(platform::PathExists(b.c_str()));
  EXPECT_FALSE(platform::DeleteFile(b.c_str()));
}

TEST_F(FilesTest, ReadOnlyTargetIsNotReplacedAndNewFilesStayWritable) {
  const std::string target = scratch / "locked.txt", temp = scratch / "locked.tmp";
  WriteBytes(target, "old");
  ASSERT_TRUE(SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_READONLY));
  platform::File out;
  // No new version of a read-only file...
  EXPECT_FALSE(out.CreateNew(temp.c_str(), platform::kAttrReadOnly | platform::kAttrArchive));
  EXPECT_FALSE(platform::PathExists(temp.c_str()));
  // ...and none takes the place of one.
  ASSERT_TRUE(out.CreateNew(temp.c_str(), platform::kAttrArchive));
  ASSERT_TRUE(out.Write("new", 3));
  ASSERT_TRUE(out.Close());
  EXPECT_FALSE(platform::RenameReplace(temp.c_str(), target.c_str()));
  EXPECT_EQ(ReadBytes(target), "old");
  EXPECT_TRUE(platform::DeleteFile(temp.c_str()));
  SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(FilesTest, ResolvedPathIsFullAndFitsOrFails) {
  const std::string path = scratch / "r.txt";
  WriteBytes(path, "r");
  char resolved[platform::kMaxPath];
  ASSERT_TRUE(platform::ResolveFilePath(path.c_str(), resolved, sizeof resolved));
  EXPECT_EQ(_stricmp(resolved, path.c_str()), 0) << resolved;
  char tiny[4];
  EXPECT_FALSE(platform::ResolveFilePath(path.c_str(), tiny, sizeof tiny));
  EXPECT_FALSE(platform::ResolveFilePath((scratch / "absent").c_str(), resolved, sizeof resolved));
}

TEST_F(FilesTest, InjectedFaultsFailTheChosenCall) {
  const std::string path = scratch / "f.txt";
  WriteBytes(path, "f");
  ASSERT_TRUE(SetEnvironmentVariableA("QUARIX_FAIL", "open:2,rename:1"));
  platform::File first, second, third;
  EXPECT_TRUE(first.OpenForReading(path.c_str()));
  EXPECT_FALSE(second.OpenForReading(path.c_str()));
  EXPECT_TRUE(third.OpenForReading(path.c_str()));
  EXPECT_FALSE(platform::RenameNoReplace(path.c_str(), (scratch / "g.txt").c_str()));
  ASSERT_TRUE(SetEnvironmentVariableA("QUARIX_FAIL", nullptr));
  first.Close();
  second.Close();
  third.Close();
  EXPECT_TRUE(platform::RenameNoReplace(path.c_str(), (scratch / "g.txt").c_str()));
}

TEST_F(FilesTest, LinksVersionsAndRewritingInPlace) {
  const std::string a = scratch / "a.txt", b = scratch / "b.txt";
  WriteBytes(a, "a long old text");
  WriteBytes(scratch / "taken.txt", "T");
  EXPECT_FALSE(platform::LinkFile(a.c_str(), (scratch / "taken.txt").c_str()));
  EXPECT_EQ(ReadBytes(scratch / "taken.txt"), "T");
  ASSERT_TRUE(platform::LinkFile(a.c_str(), b.c_str()));
  platform::FileInfo before, now;
  ASSERT_TRUE(platform::QueryFileInfo(a.c_str(), &before));
  ASSERT_TRUE(platform::QueryFileInfo(b.c_str(), &now));
  EXPECT_EQ(before.links, 2u);
  EXPECT_TRUE(platform::IsSameVersion(before, now));  // one file, two names

  platform::File out;
  ASSERT_TRUE(out.OpenForRewriting(a.c_str()));
  ASSERT_TRUE(out.Write("new", 3));
  ASSERT_TRUE(out.SetSize(3));
  ASSERT_TRUE(out.Close());
  EXPECT_EQ(ReadBytes(b), "new");
  ASSERT_TRUE(platform::QueryFileInfo(b.c_str(), &now));
  EXPECT_FALSE(platform::IsSameVersion(before, now));
  EXPECT_FALSE(out.OpenForRewriting((scratch / "absent").c_str()));
}

}  // namespace
