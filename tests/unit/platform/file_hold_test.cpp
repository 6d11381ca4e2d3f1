// The hold on a temporary file: another process sees it while the holder lives, and not
// once the holder is gone, however it ended.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "platform/platform.h"
#include "unit/platform/scratch.h"

namespace {

using platform::Removal;
using scratch::Folder;

// Starts a process that creates path, holds it and waits for its end, which the caller
// brings about with a kill.
pid_t StartHolder(const std::string& path, int* ready) {
  int pipeEnds[2];
  if (pipe(pipeEnds) != 0) return -1;
  pid_t child = fork();
  if (child == 0) {
    platform::File file;
    platform::FileHold hold;
    char ok = file.CreateNew(path.c_str(), 0600) && file.Hold(path.c_str(), &hold) ? '1' : '0';
    file.Close();
    (void)!write(pipeEnds[1], &ok, 1);
    for (;;) pause();
  }
  close(pipeEnds[1]);
  *ready = pipeEnds[0];
  return child;
}

bool Exists(const std::string& path) { return platform::PathExists(path.c_str()); }

TEST(FileHold, AHeldFileStaysUntilItsHolderIsGone) {
  Folder folder;
  const std::string path = folder / "a.qxnew-1-0";
  int ready = -1;
  pid_t holder = StartHolder(path, &ready);
  ASSERT_GT(holder, 0);
  char ok = 0;
  ASSERT_EQ(read(ready, &ok, 1), 1);
  close(ready);
  EXPECT_EQ(ok, '1');
  // Held though the holder closed the file itself: the hold lasts on its own.
  EXPECT_EQ(platform::RemoveUnheldFile(path.c_str()), Removal::kHeld);
  EXPECT_TRUE(Exists(path));
  kill(holder, SIGKILL);
  int status = 0;
  waitpid(holder, &status, 0);
  EXPECT_EQ(platform::RemoveUnheldFile(path.c_str()), Removal::kRemoved);
  EXPECT_FALSE(Exists(path));
}

TEST(FileHold, TheHolderItselfSeesItHeldUntilReleased) {
  Folder folder;
  const std::string path = folder / "b";
  platform::File file;
  platform::FileHold hold;
  ASSERT_TRUE(file.CreateNew(path.c_str(), 0600));
  ASSERT_TRUE(file.Hold(path.c_str(), &hold));
  EXPECT_TRUE(hold.IsHeld());
  ASSERT_TRUE(file.Write("abc", 3));
  ASSERT_TRUE(file.Close());
  // Renamed, still held under its new name.
  const std::string renamed = folder / "c";
  ASSERT_TRUE(platform::RenameReplace(path.c_str(), renamed.c_str()));
  EXPECT_EQ(platform::RemoveUnheldFile(renamed.c_str()), Removal::kHeld);
  hold.Release();
  EXPECT_FALSE(hold.IsHeld());
  EXPECT_EQ(platform::RemoveUnheldFile(renamed.c_str()), Removal::kRemoved);
  EXPECT_FALSE(Exists(renamed));
}

TEST(FileHold, AFileRemovedBeforeItIsHeldIsNotTaken) {
  Folder folder;
  const std::string path = folder / "d";
  platform::File file;
  platform::FileHold hold;
  ASSERT_TRUE(file.CreateNew(path.c_str(), 0600));
  // Another run took it for a dead one first.
  EXPECT_EQ(platform::RemoveUnheldFile(path.c_str()), Removal::kRemoved);
  EXPECT_FALSE(file.Hold(path.c_str(), &hold));
  EXPECT_FALSE(hold.IsHeld());
}

TEST(FileHold, OnlyRegularFilesAreRemoved) {
  Folder folder;
  scratch::WriteFile(folder / "target", "keep");
  ASSERT_EQ(symlink((folder / "target").c_str(), (folder / "link").c_str()), 0);
  ASSERT_EQ(mkdir((folder / "sub").c_str(), 0700), 0);
  ASSERT_EQ(mkfifo((folder / "fifo").c_str(), 0600), 0);
  for (const char* name : {"link", "sub", "fifo", "missing"}) {
    EXPECT_EQ(platform::RemoveUnheldFile((folder / name).c_str()), Removal::kFailed) << name;
  }
  EXPECT_TRUE(Exists(folder / "link"));
  EXPECT_TRUE(Exists(folder / "sub"));
  EXPECT_TRUE(Exists(folder / "fifo"));
  EXPECT_EQ(scratch::ReadFile(folder / "target"), "keep");
}

}  // namespace
