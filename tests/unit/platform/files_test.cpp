// File operations of the replace engine, and the test-only failures of QUARIX_FAIL.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "platform/platform.h"
#include "unit/platform/scratch.h"

namespace {

using scratch::Environment;
using scratch::Folder;

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void Put(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

TEST(Files, CreateNewIsExclusiveAndKeepsTheModeExactly) {
  Folder folder;
  platform::File file;
  ASSERT_TRUE(file.CreateNew((folder / "new").c_str(), 0640));
  ASSERT_TRUE(file.Write("abc", 3));
  ASSERT_TRUE(file.Close());
  EXPECT_EQ(Slurp(folder / "new"), "abc");
  struct stat st;
  ASSERT_EQ(stat((folder / "new").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  platform::File again;
  EXPECT_FALSE(again.CreateNew((folder / "new").c_str(), 0644));
  EXPECT_EQ(Slurp(folder / "new"), "abc");
}

TEST(Files, StartFlushOnlyForAFileBeingWrittenAndCloseStillTells) {
  Folder folder;
  platform::File out;
  EXPECT_FALSE(out.StartFlush());  // nothing open
  ASSERT_TRUE(out.CreateNew((folder / "new").c_str(), 0644));
  ASSERT_TRUE(out.Write("abc", 3));
  EXPECT_TRUE(out.StartFlush());
  ASSERT_TRUE(out.Write("de", 2));  // writing goes on after a started flush
  EXPECT_TRUE(out.Close());
  EXPECT_FALSE(out.StartFlush());  // closed
  EXPECT_EQ(Slurp(folder / "new"), "abcde");
  platform::File in;
  ASSERT_TRUE(in.OpenForReading((folder / "new").c_str()));
  EXPECT_FALSE(in.StartFlush());  // read only
}

TEST(Files, CloseTogetherFlushesWhatWasWrittenAndClosesEveryFile) {
  Folder folder;
  for (const char* fail : {"", "sync:1", "close:2"}) {
    SCOPED_TRACE(fail);
    Environment faults("QUARIX_FAIL", std::string(fail) + ",unused:" + fail);
    platform::File a, b, reader;
    ASSERT_TRUE(a.CreateNew((folder / (std::string("a") + fail)).c_str(), 0644));
    ASSERT_TRUE(b.CreateNew((folder / (std::string("b") + fail)).c_str(), 0644));
    ASSERT_TRUE(a.Write("aa", 2));
    ASSERT_TRUE(b.Write("b", 1));
    ASSERT_TRUE(reader.OpenForReading((folder / (std::string("a") + fail)).c_str()));
    platform::File* files[] = {&a, &b, &reader};
    bool flushed[3] = {true, true, true};
    platform::File::CloseTogether(files, 3, flushed);
    // A failed sync of the file system leaves each file to be flushed on its own.
    EXPECT_TRUE(flushed[0]);
    EXPECT_EQ(flushed[1], std::string(fail) != "close:2");
    EXPECT_FALSE(flushed[2]);  // nothing written: nothing to flush
    EXPECT_FALSE(a.IsOpen() || b.IsOpen() || reader.IsOpen());
    EXPECT_EQ(Slurp(folder / (std::string("a") + fail)), "aa");
  }
}

TEST(Files, ReadReportsTheBytesThatAreThere) {
  Folder folder;
  Put(folder / "f", "hello");
  platform::File file;
  ASSERT_TRUE(file.OpenForReading((folder / "f").c_str()));
  std::uint64_t size = 0;
  ASSERT_TRUE(file.QuerySize(&size));
  EXPECT_EQ(size, 5u);
  char buffer[16];
  EXPECT_EQ(file.Read(buffer, sizeof buffer), 5);
  EXPECT_FALSE(file.OpenForReading((folder / "missing").c_str()));
}

TEST(Files, RenamesWithAndWithoutReplacing) {
  Folder folder;
  Put(folder / "a", "A");
  Put(folder / "b", "B");
  EXPECT_FALSE(platform::RenameNoReplace((folder / "a").c_str(), (folder / "b").c_str()));
  EXPECT_EQ(Slurp(folder / "a"), "A");
  EXPECT_EQ(Slurp(folder / "b"), "B");
  EXPECT_TRUE(platform::RenameNoReplace((folder / "a").c_str(), (folder / "c").c_str()));
  EXPECT_FALSE(platform::PathExists((folder / "a").c_str()));
  EXPECT_TRUE(platform::RenameReplace((folder / "c").c_str(), (folder / "b").c_str()));
  EXPECT_EQ(Slurp(folder / "b"), "A");
  EXPECT_TRUE(platform::DeleteFile((folder / "b").c_str()));
  EXPECT_FALSE(platform::PathExists((folder / "b").c_str()));
}

TEST(Files, LinkGivesASecondNameAndNeverReplaces) {
  Folder folder;
  Put(folder / "a", "A");
  Put(folder / "taken", "T");
  EXPECT_FALSE(platform::LinkFile((folder / "a").c_str(), (folder / "taken").c_str()));
  EXPECT_EQ(Slurp(folder / "taken"), "T");
  ASSERT_TRUE(platform::LinkFile((folder / "a").c_str(), (folder / "b").c_str()));
  platform::FileInfo a, b;
  ASSERT_TRUE(platform::QueryFileInfo((folder / "a").c_str(), &a));
  ASSERT_TRUE(platform::QueryFileInfo((folder / "b").c_str(), &b));
  EXPECT_EQ(a.index, b.index);
  EXPECT_EQ(a.links, 2u);
}

TEST(Files, AnyWriteMakesAnotherVersion) {
  Folder folder;
  Put(folder / "f", "abc");
  platform::File file;
  ASSERT_TRUE(file.OpenForReading((folder / "f").c_str()));
  platform::FileInfo read, now;
  ASSERT_TRUE(file.QueryInfo(&read));
  EXPECT_EQ(read.size, 3u);
  ASSERT_TRUE(platform::QueryFileInfo((folder / "f").c_str(), &now));
  EXPECT_TRUE(platform::IsSameVersion(read, now));
  // The same size and a time one nanosecond on: the times are compared at full resolution.
  Put(folder / "f", "abd");
  const struct timespec times[2] = {{0, UTIME_OMIT},
                                    {read.modified / 1000000000, read.modified % 1000000000 + 1}};
  ASSERT_EQ(utimensat(AT_FDCWD, (folder / "f").c_str(), times, 0), 0);
  ASSERT_TRUE(platform::QueryFileInfo((folder / "f").c_str(), &now));
  EXPECT_EQ(now.modified, read.modified + 1);
  EXPECT_FALSE(platform::IsSameVersion(read, now));
  // Another file put under the name, even with the same bytes and times.
  Put(folder / "g", "abd");
  ASSERT_TRUE(platform::RenameReplace((folder / "g").c_str(), (folder / "f").c_str()));
  platform::FileInfo before = now;
  ASSERT_TRUE(platform::QueryFileInfo((folder / "f").c_str(), &now));
  EXPECT_NE(now.index, before.index);
  EXPECT_FALSE(platform::IsSameVersion(before, now));
}

TEST(Files, RewritingInPlaceKeepsTheFileAndSetsItsSize) {
  Folder folder;
  Put(folder / "f", "a long old text");
  ASSERT_EQ(link((folder / "f").c_str(), (folder / "g").c_str()), 0);
  platform::File file;
  ASSERT_TRUE(file.OpenForRewriting((folder / "f").c_str()));
  ASSERT_TRUE(file.Write("new", 3));
  ASSERT_TRUE(file.SetSize(3));
  ASSERT_TRUE(file.Close());
  EXPECT_EQ(Slurp(folder / "g"), "new");
  EXPECT_FALSE(file.OpenForRewriting((folder / "missing").c_str()));
  EXPECT_FALSE(platform::PathExists((folder / "missing").c_str()));
}

TEST(Files, ResolvesLinksToTheirFile) {
  Folder folder;
  Put(folder / "target", "T");
  ASSERT_EQ(symlink("target", (folder / "link").c_str()), 0);
  char resolved[4096];
  ASSERT_TRUE(platform::ResolveFilePath((folder / "link").c_str(), resolved, sizeof resolved));
  char expected[4096];
  ASSERT_TRUE(realpath((folder / "target").c_str(), expected));
  EXPECT_STREQ(resolved, expected);
  EXPECT_FALSE(platform::ResolveFilePath((folder / "link").c_str(), resolved, 4));
}

TEST(Files, QuarixFailMakesTheNthCallFail) {
#ifndef QUARIX_FAULT_INJECTION
  GTEST_SKIP() << "built without the QUARIX_FAIL hook";
#endif
  Folder folder;
  Put(folder / "f", "x");
  Environment fail("QUARIX_FAIL", "open:2,write:1,flush:1");
  platform::File file;
  EXPECT_TRUE(file.OpenForReading((folder / "f").c_str()));
  EXPECT_FALSE(file.OpenForReading((folder / "f").c_str()));
  EXPECT_TRUE(file.OpenForReading((folder / "f").c_str()));
  platform::File out;
  ASSERT_TRUE(out.CreateNew((folder / "g").c_str(), 0644));
  EXPECT_FALSE(out.Write("y", 1));
  EXPECT_TRUE(out.Write("y", 1));
  EXPECT_FALSE(out.StartFlush());
  EXPECT_TRUE(out.StartFlush());
  EXPECT_TRUE(out.Close());
  {
    // A changed value starts the counts again.
    Environment other("QUARIX_FAIL", "open:1");
    EXPECT_FALSE(file.OpenForReading((folder / "f").c_str()));
  }
}

TEST(Files, QuarixFailCanKillTheProcessAtTheNthCall) {
  Folder folder;
  Put(folder / "f", "x");
  const std::string path = folder / "f";
  EXPECT_EXIT(
      {
        Environment kill("QUARIX_FAIL", "link:2:kill");
        platform::LinkFile(path.c_str(), (path + "1").c_str());
        std::fprintf(stderr, "first link made\n");
        platform::LinkFile(path.c_str(), (path + "2").c_str());
        std::exit(0);
      },
      testing::KilledBySignal(SIGKILL), "first link made");
  EXPECT_TRUE(platform::PathExists((path + "1").c_str()));
  EXPECT_FALSE(platform::PathExists((path + "2").c_str()));
}

}  // namespace
