// Reading a whole file into memory, and the system's words for a failure, on Windows.
#include <string>

#include "platform/platform.h"
#include "win32/scratch.h"

namespace {

using platform::ReadResult;
using win32test::WriteBytes;

TEST(WholeFileTest, ReadsEveryByteUpToTheLimit) {
  win32test::ScratchFolder scratch;
  ASSERT_FALSE(scratch.path().empty());
  const std::string bytes = std::string("a\r\nb\0\xFF", 6) + std::string(200000, 'x');
  WriteBytes(scratch / "data", bytes);
  WriteBytes(scratch / "empty", "");
  struct Case {
    const char* name;
    std::uint64_t limit;
    ReadResult result;
  };
  const Case cases[] = {
      {"data", bytes.size(), ReadResult::kRead},
      {"data", bytes.size() - 1, ReadResult::kTooLarge},
      {"empty", 0, ReadResult::kRead},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.name) + " limit " + std::to_string(c.limit));
    std::string read = "left over";
    EXPECT_EQ(platform::ReadWholeFile((scratch / c.name).c_str(), c.limit, &read), c.result);
    if (c.result == ReadResult::kRead) {
      EXPECT_EQ(read, std::string(c.name) == "data" ? bytes : "");
    }
  }
}

TEST(WholeFileTest, TellsMissingFoldersAndFilesOpenForWritingApart) {
  win32test::ScratchFolder scratch;
  ASSERT_FALSE(scratch.path().empty());
  std::string bytes;
  std::string reason;
  EXPECT_EQ(platform::ReadWholeFile((scratch / "absent").c_str(), 100, &bytes, &reason),
            ReadResult::kMissing);
  EXPECT_FALSE(reason.empty());
  EXPECT_NE(reason.back(), '\n');
  EXPECT_EQ(platform::ReadWholeFile(scratch.path().c_str(), 100, &bytes), ReadResult::kNotRegular);
  // A file another program is still writing (and lets others read) is read as it stands.
  const std::string path = scratch / "log.txt";
  HANDLE writer = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(writer, INVALID_HANDLE_VALUE);
  unsigned long wrote = 0;
  ASSERT_TRUE(WriteFile(writer, "line\r\n", 6, &wrote, nullptr));
  EXPECT_EQ(platform::ReadWholeFile(path.c_str(), 100, &bytes), ReadResult::kRead);
  EXPECT_EQ(bytes, "line\r\n");
  CloseHandle(writer);
}

TEST(WholeFileTest, ReasonIsTheSystemsWordsAndNewFilesGetNoAttributes) {
  SetLastError(ERROR_FILE_NOT_FOUND);
  const std::string missing = platform::DescribeLastError();
  SetLastError(ERROR_ACCESS_DENIED);
  const std::string denied = platform::DescribeLastError();
  EXPECT_FALSE(missing.empty());
  EXPECT_NE(missing, denied);
  EXPECT_NE(missing.back(), '.');
  EXPECT_EQ(platform::DefaultFileMode(), 0u);
}

}  // namespace
