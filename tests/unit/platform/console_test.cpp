#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "platform/platform.h"
#include "unit/platform/scratch.h"

namespace {

// Puts the read end of a fresh pipe (or a file) on standard input for one test.
class StandardInput {
 public:
  StandardInput() : saved_(dup(0)) {
    int ends[2];
    if (pipe(ends) == 0) {
      dup2(ends[0], 0);
      close(ends[0]);
      writer_ = ends[1];
    }
  }
  explicit StandardInput(const std::string& path) : saved_(dup(0)) {
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    dup2(fd, 0);
    close(fd);
  }
  ~StandardInput() {
    CloseWriter();
    dup2(saved_, 0);
    close(saved_);
  }
  StandardInput(const StandardInput&) = delete;
  StandardInput& operator=(const StandardInput&) = delete;

  void Type(const std::string& bytes) {
    ASSERT_EQ(write(writer_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  }
  void CloseWriter() {
    if (writer_ >= 0) close(writer_);
    writer_ = -1;
  }

 private:
  int saved_;
  int writer_ = -1;
};

TEST(ConsoleTest, OnlyALoneEscapeByteIsEscapeAndEverythingIsConsumed) {
  const std::pair<std::string, bool> cases[] = {
      {"\x1b", true},   {"abc", false},       {"\x1b[A", false},    {"\x1bOP", false},
      {"ab\x1b", true}, {"\x1b[A\x1b", true}, {"\x1b\x1b[B", true}, {"", false},
  };
  for (const auto& [bytes, escape] : cases) {
    StandardInput input;
    input.Type(bytes);
    EXPECT_EQ(platform::PollConsoleEscape(), escape) << testing::PrintToString(bytes);
    EXPECT_FALSE(platform::PollConsoleEscape()) << "nothing is left for a second poll";
    EXPECT_FALSE(fcntl(0, F_GETFL) & O_NONBLOCK);
  }
}

TEST(ConsoleTest, TheEndOfInputIsNoEscapeAndANewInputIsPolledAfresh) {
  {
    StandardInput input;
    input.Type("x");
    input.CloseWriter();
    EXPECT_FALSE(platform::PollConsoleEscape());
    EXPECT_FALSE(platform::PollConsoleEscape());
  }
  StandardInput next;
  next.Type("\x1b");
  EXPECT_TRUE(platform::PollConsoleEscape());
}

TEST(ConsoleTest, AFileOnStandardInputIsNotRead) {
  scratch::Folder folder;
  scratch::WriteFile(folder / "keys", "\x1b");
  StandardInput input(folder / "keys");
  EXPECT_FALSE(platform::PollConsoleEscape());
  EXPECT_EQ(lseek(0, 0, SEEK_CUR), 0) << "nothing was consumed";
  StandardInput null("/dev/null");
  EXPECT_FALSE(platform::PollConsoleEscape());
}

}  // namespace
