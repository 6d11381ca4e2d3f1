// Reading a whole file into memory, the mode of a new file, and the system's words for
// a failure.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <string>

#include "platform/platform.h"
#include "unit/platform/scratch.h"

namespace {

using platform::ReadResult;
using scratch::Folder;

void Put(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

TEST(WholeFile, ReadsEveryByteUpToTheLimit) {
  Folder folder;
  const std::string bytes = std::string("a\r\nb\0\xFF", 6) + std::string(200000, 'x');
  Put(folder / "data", bytes);
  Put(folder / "empty", "");
  struct Case {
    const char* name;
    std::uint64_t limit;
    ReadResult result;
  };
  const Case cases[] = {
      {"data", bytes.size(), ReadResult::kRead},
      {"data", UINT64_MAX, ReadResult::kRead},
      {"data", bytes.size() - 1, ReadResult::kTooLarge},
      {"data", 0, ReadResult::kTooLarge},
      {"empty", 0, ReadResult::kRead},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.name) + " limit " + std::to_string(c.limit));
    std::string read = "left over";
    EXPECT_EQ(platform::ReadWholeFile((folder / c.name).c_str(), c.limit, &read), c.result);
    if (c.result == ReadResult::kRead) {
      EXPECT_EQ(read, std::string(c.name) == "data" ? bytes : "");
    }
  }
}

TEST(WholeFile, TellsMissingUnreadableAndOtherKindsApart) {
  Folder folder;
  Put(folder / "secret", "x");
  chmod((folder / "secret").c_str(), 0);
  ASSERT_EQ(mkfifo((folder / "pipe").c_str(), 0600), 0);
  std::string bytes;
  std::string reason;
  EXPECT_EQ(platform::ReadWholeFile((folder / "absent").c_str(), 100, &bytes, &reason),
            ReadResult::kMissing);
  EXPECT_EQ(reason, std::strerror(ENOENT));
  // A folder, and a named pipe with no writer: refused at once, never waited on.
  EXPECT_EQ(platform::ReadWholeFile(folder.path().c_str(), 100, &bytes), ReadResult::kNotRegular);
  EXPECT_EQ(platform::ReadWholeFile((folder / "pipe").c_str(), 100, &bytes),
            ReadResult::kNotRegular);
  if (geteuid() != 0) {  // the superuser reads files of mode 000 all the same
    reason.clear();
    EXPECT_EQ(platform::ReadWholeFile((folder / "secret").c_str(), 100, &bytes, &reason),
              ReadResult::kCannotOpen);
    EXPECT_EQ(reason, std::strerror(EACCES));
  }
  // Asking through a file as if it were a folder is no "missing".
  EXPECT_EQ(platform::ReadWholeFile((folder / "secret/x").c_str(), 100, &bytes),
            ReadResult::kCannotOpen);
}

TEST(WholeFile, ReasonIsTheSystemsWordsForTheLastFailure) {
  errno = ENOSPC;
  EXPECT_EQ(platform::DescribeLastError(), std::strerror(ENOSPC));
  platform::File file;
  Folder folder;
  EXPECT_FALSE(file.OpenForReading((folder / "absent").c_str()));
  EXPECT_EQ(platform::DescribeLastError(), std::strerror(ENOENT));
}

TEST(WholeFile, NewFilesGetTheModeTheUmaskAllows) {
  for (mode_t mask : {022, 077, 0}) {
    const mode_t old = umask(mask);
    EXPECT_EQ(platform::DefaultFileMode(), 0666u & ~mask);
    // Reading it leaves the umask as it was.
    EXPECT_EQ(umask(old), mask);
  }
}

}  // namespace
