// Escape inside far2l comes from far2l's console queue, found in the executable by name;
// standard input is never read there.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>

#include "platform/platform.h"

namespace {

struct Call {
  int count = 0;
  const void* console = nullptr;
  std::uint16_t key = 0;
  std::uint32_t keys = 0;
  std::uint32_t flags = 0;
};
Call lastCall;
std::uint32_t answer = 0;

}  // namespace

// Stands in for far2l's export; the test program exports it as far2l's executable does.
extern "C" __attribute__((visibility("default"))) std::uint32_t WINPORT_CheckForKeyPress(
    const void* console, const std::uint16_t* keys, std::uint32_t count, std::uint32_t flags) {
  ++lastCall.count;
  lastCall.console = console;
  lastCall.key = count > 0 ? keys[0] : 0;
  lastCall.keys = count;
  lastCall.flags = flags;
  return answer;
}

namespace {

TEST(Far2lConsoleTest, AsksFar2lsQueueForEscapeOnly) {
  answer = 0;
  lastCall = {};
  EXPECT_FALSE(platform::PollConsoleEscape());
  ASSERT_EQ(lastCall.count, 1);
  EXPECT_EQ(lastCall.console, nullptr);  // far2l's own console
  EXPECT_EQ(lastCall.key, 0x1B);         // VK_ESCAPE
  EXPECT_EQ(lastCall.keys, 1u);
  // Events other than keys (mouse, focus, size) stay queued for far2l.
  EXPECT_EQ(lastCall.flags & 0x104u, 0x104u);
  // Other keys are consumed, as they would be while a search runs.
  EXPECT_EQ(lastCall.flags & 0x3u, 0u);

  answer = 1;
  EXPECT_TRUE(platform::PollConsoleEscape());
  EXPECT_EQ(lastCall.count, 2);
}

TEST(Far2lConsoleTest, NeverReadsStandardInput) {
  int pipeEnds[2];
  ASSERT_EQ(pipe(pipeEnds), 0);
  int saved = dup(0);
  ASSERT_GE(saved, 0);
  ASSERT_EQ(dup2(pipeEnds[0], 0), 0);
  ASSERT_EQ(write(pipeEnds[1], "\x1b", 1), 1);
  answer = 0;
  bool escape = platform::PollConsoleEscape();
  // The ESC byte is still waiting: nothing read it.
  char byte = 0;
  ssize_t got = read(0, &byte, 1);
  dup2(saved, 0);
  close(saved);
  close(pipeEnds[0]);
  close(pipeEnds[1]);
  EXPECT_FALSE(escape);
  EXPECT_EQ(got, 1);
  EXPECT_EQ(byte, '\x1b');
}

}  // namespace
