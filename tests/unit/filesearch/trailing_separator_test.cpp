#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "filesearch/walker.h"
#include "platform/platform.h"

namespace {

const std::string kSep(1, platform::kPathSeparator);

TEST(EnsureTrailingBackslashTest, AppendsTheSeparatorOnlyWhenMissing) {
  struct Case {
    std::string path, expected;
  } cases[] = {
      {"", kSep},
      {kSep, kSep},
      {"data", "data" + kSep},
      {"data" + kSep, "data" + kSep},
      {kSep + "a" + kSep + "b", kSep + "a" + kSep + "b" + kSep},
  };
  for (const Case& c : cases) {
    char path[kMaxPath] = {};
    std::memcpy(path, c.path.c_str(), c.path.size() + 1);
    EXPECT_EQ(EnsureTrailingBackslash(path), static_cast<int>(c.expected.size()));
    EXPECT_EQ(path, c.expected);
  }
}

TEST(EnsureTrailingBackslashTest, APathThatCannotTakeTheSeparatorIsLeftAlone) {
  char path[kMaxPath];
  std::string longest(kMaxPath - 2, 'a');  // room for the separator and the zero
  std::memcpy(path, longest.c_str(), longest.size() + 1);
  EXPECT_EQ(EnsureTrailingBackslash(path), kMaxPath - 1);
  EXPECT_EQ(path[kMaxPath - 2], platform::kPathSeparator);

  std::string full(kMaxPath - 1, 'b');
  std::memcpy(path, full.c_str(), full.size() + 1);
  EXPECT_EQ(EnsureTrailingBackslash(path), -1);
  EXPECT_EQ(path, full);

  // Already ending with the separator: nothing needs to be added.
  full.back() = platform::kPathSeparator;
  std::memcpy(path, full.c_str(), full.size() + 1);
  EXPECT_EQ(EnsureTrailingBackslash(path), kMaxPath - 1);
}

}  // namespace
