// The hold on a temporary file under Windows: another opener cannot take it while it
// lasts, and the file can still be read and renamed.
#include <string>

#include "platform/platform.h"
#include "win32/scratch.h"
#include "platform/win32/windows_api.h"

namespace {

using platform::Removal;
using win32test::ReadBytes;

// Wine lets a file whose deletion is pending be opened again, where Windows refuses it.
bool RunsUnderWine() {
  HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

class FileHoldTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_FALSE(scratch.path().empty()); }
  win32test::ScratchFolder scratch;
};

TEST_F(FileHoldTest, AHeldFileStaysReadableAndRenamableUntilReleased) {
  const std::string path = scratch / "a.qxnew-1-0";
  platform::File file;
  platform::FileHold hold;
  ASSERT_TRUE(file.CreateNew(path.c_str(), 0));
  ASSERT_TRUE(file.Hold(path.c_str(), &hold));
  ASSERT_TRUE(file.Write("abc", 3));
  EXPECT_EQ(platform::RemoveUnheldFile(path.c_str()), Removal::kHeld);
  ASSERT_TRUE(file.Close());
  EXPECT_EQ(platform::RemoveUnheldFile(path.c_str()), Removal::kHeld);
  // What writing over a file in place does with it: read it whole.
  platform::File reader;
  ASSERT_TRUE(reader.OpenForReading(path.c_str()));
  char bytes[4] = {};
  EXPECT_EQ(reader.Read(bytes, 3), 3);
  reader.Close();
  const std::string renamed = scratch / "a";
  ASSERT_TRUE(platform::RenameReplace(path.c_str(), renamed.c_str()));
  EXPECT_EQ(ReadBytes(renamed), "abc");
  EXPECT_EQ(platform::RemoveUnheldFile(renamed.c_str()), Removal::kHeld);
  hold.Release();
  EXPECT_EQ(platform::RemoveUnheldFile(renamed.c_str()), Removal::kRemoved);
  EXPECT_FALSE(platform::PathExists(renamed.c_str()));
}

TEST_F(FileHoldTest, AFileRemovedBeforeItIsHeldIsNotTaken) {
  const std::string path = scratch / "b";
  platform::File file;
  platform::FileHold hold;
  ASSERT_TRUE(file.CreateNew(path.c_str(), 0));
  EXPECT_EQ(platform::RemoveUnheldFile(path.c_str()), Removal::kRemoved);
  EXPECT_EQ(platform::RemoveUnheldFile((scratch / "missing").c_str()), Removal::kFailed);
  if (RunsUnderWine()) GTEST_SKIP() << "Wine opens a file whose deletion is pending";
  EXPECT_FALSE(file.Hold(path.c_str(), &hold));
  EXPECT_FALSE(hold.IsHeld());
}

}  // namespace
