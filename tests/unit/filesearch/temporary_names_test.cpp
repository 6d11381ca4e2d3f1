#include "filesearch/temporary_names.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

TEST(TemporaryNamesTest, EveryNameMadeIsKnownWithItsTarget) {
  std::mt19937_64 random(23);
  const std::string targets[] = {"a", "notes.txt", "x.qxnew-1-2", ".hidden", "a b.qxnew-"};
  for (const std::string& target : targets) {
    for (unsigned attempt = 0; attempt < kTemporaryAttempts; ++attempt) {
      for (std::uint64_t serial : {std::uint64_t{0}, std::uint64_t{1}, ~std::uint64_t{0},
                                   std::uint64_t{0xffffffffff}, random()}) {
        const std::string name = MakeTemporaryName(target, "qxnew", serial, attempt);
        std::size_t length = 0;
        EXPECT_TRUE(IsNewVersionName(name.c_str(), &length)) << name;
        EXPECT_EQ(length, target.size()) << name;
      }
    }
  }
}

TEST(TemporaryNamesTest, NamesNotMadeSoAreUsersFiles) {
  const char* names[] = {
      ".qxnew-1-0",               // no file it was made for
      "a.qxnew-",                 // nothing after the mark
      "a.qxnew-1",                // no attempt
      "a.qxnew-1-",               // an empty attempt
      "a.qxnew--1",               // an empty serial
      "a.qxnew-1-64",             // beyond the last attempt
      "a.qxnew-1-07",             // a leading zero
      "a.qxnew-01-7",
      "a.qxnew-1A-7",             // upper case is not what is made
      "a.qxnew-12345678901-0",    // more than 40 bits
      "a.qxnew-1-2.txt",          // something after it
      "a.qxnew-1-2-3",
      "a.qxnew-+1-2",
      "a.qxnew-1- 2",
      "a.qxold-1-2",              // a copy of an old version: never taken for a dead one
      "a.QXNEW-1-2",
      "a.qxnew-1-2~",
      "notes.txt",
  };
  for (const char* name : names) EXPECT_FALSE(IsNewVersionName(name)) << name;
  EXPECT_TRUE(IsNewVersionName("a.qxnew-ffffffffff-63"));
  EXPECT_TRUE(IsNewVersionName("a.qxnew-0-0"));
}

}  // namespace
