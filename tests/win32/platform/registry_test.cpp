// The settings key in Wine's registry through the win32 backend.
#include <cstring>
#include <string>

#include "platform/platform.h"
#include "win32/scratch.h"

namespace {

class RegistryTest : public ::testing::Test {
 protected:
  void SetUp() override { win32test::ClearSettingsKey(); }
  void TearDown() override { win32test::ClearSettingsKey(); }
};

TEST_F(RegistryTest, KeyIsCreatedAndValuesKeepTypeAndBytes) {
  platform::RegistryKey* key = platform::OpenRegistryKey(win32test::kSettingsKey);
  ASSERT_NE(key, nullptr);
  const std::uint32_t number = 0xFFFFFFFEu;
  ASSERT_TRUE(platform::SetRegistryValue(key, "Number", platform::kRegDword, &number, 4));
  // A text without its terminating zero stays so.
  ASSERT_TRUE(platform::SetRegistryValue(key, "Bare", platform::kRegSz, "abc", 3));
  ASSERT_TRUE(platform::SetRegistryValue(key, "Text", platform::kRegSz, "\xE0\xE1", 3));
  EXPECT_EQ(platform::CloseRegistryKey(key), 0);

  key = platform::OpenRegistryKey(win32test::kSettingsKey);
  ASSERT_NE(key, nullptr);
  std::uint32_t type = 0, size = 0;
  ASSERT_TRUE(platform::QueryRegistryValue(key, "Number", &type, nullptr, &size));
  EXPECT_EQ(type, platform::kRegDword);
  EXPECT_EQ(size, 4u);
  std::uint32_t read = 0;
  size = 4;
  ASSERT_TRUE(platform::QueryRegistryValue(key, "Number", &type, &read, &size));
  EXPECT_EQ(read, number);

  char bytes[8] = {};
  size = sizeof bytes;
  ASSERT_TRUE(platform::QueryRegistryValue(key, "Bare", &type, bytes, &size));
  EXPECT_EQ(type, platform::kRegSz);
  // Windows gives the three bytes back; Wine adds the zero it lacked. Nothing else.
  EXPECT_TRUE(std::string(bytes, size) == "abc" || std::string(bytes, size) == std::string("abc\0", 4))
      << std::string(bytes, size);
  size = sizeof bytes;
  ASSERT_TRUE(platform::QueryRegistryValue(key, "Text", &type, bytes, &size));
  EXPECT_EQ(std::string(bytes, size), std::string("\xE0\xE1\0", 3));
  EXPECT_EQ(platform::CloseRegistryKey(key), 0);
}

TEST_F(RegistryTest, SmallBufferAndMissingValueFail) {
  platform::RegistryKey* key = platform::OpenRegistryKey(win32test::kSettingsKey);
  ASSERT_NE(key, nullptr);
  ASSERT_TRUE(platform::SetRegistryValue(key, "Long", platform::kRegSz, "0123456789", 11));
  char small[4];
  std::uint32_t type = 0, size = sizeof small;
  EXPECT_FALSE(platform::QueryRegistryValue(key, "Long", &type, small, &size));
  EXPECT_EQ(size, 11u);  // what the value needs
  EXPECT_EQ(type, platform::kRegSz);
  size = sizeof small;
  EXPECT_FALSE(platform::QueryRegistryValue(key, "Absent", &type, small, &size));
  EXPECT_EQ(platform::CloseRegistryKey(key), 0);
}

// The key of another layout is read where it is, and never made.
TEST_F(RegistryTest, AnExistingKeyOnlyIsOpenedWithoutCreatingIt) {
  EXPECT_EQ(platform::OpenExistingRegistryKey(win32test::kSettingsKey), nullptr);
  HKEY probe = nullptr;
  EXPECT_NE(RegOpenKeyExA(HKEY_CURRENT_USER, win32test::kSettingsKey, 0, KEY_READ, &probe),
            ERROR_SUCCESS) << "no key made for a missing one";
  platform::RegistryKey* key = platform::OpenRegistryKey(win32test::kSettingsKey);
  ASSERT_TRUE(platform::SetRegistryValue(key, "FText", platform::kRegSz, "cat", 4));
  ASSERT_EQ(platform::CloseRegistryKey(key), 0);
  key = platform::OpenExistingRegistryKey(win32test::kSettingsKey);
  ASSERT_NE(key, nullptr);
  char text[8] = {};
  std::uint32_t type = 0, size = sizeof text;
  ASSERT_TRUE(platform::QueryRegistryValue(key, "FText", &type, text, &size));
  EXPECT_STREQ(text, "cat");
  EXPECT_EQ(platform::CloseRegistryKey(key), 0);
}

TEST_F(RegistryTest, KeyThatCannotBeCreatedIsNull) {
  EXPECT_EQ(platform::OpenRegistryKey(""), nullptr);
  EXPECT_EQ(platform::OpenRegistryKey(nullptr), nullptr);
  EXPECT_NE(platform::CloseRegistryKey(nullptr), 0);
}

}  // namespace
