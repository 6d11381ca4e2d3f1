// The native Far 3 modules' settings store, on a stand-in for Far 3's settings service and
// the posix registry: the store's values, and the first start that copies the old key.
#include "flavour/far3/settings3.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <variant>

#include "flavour/far3/guids.h"
#include "flavour/flavour.h"
#include "platform/platform.h"
#include "unit/platform/scratch.h"

namespace {

using Value = std::variant<std::uint64_t, std::wstring>;

// Far 3's settings of one plugin: what SCTL_SET stored, by name.
struct FakeHost {
  std::map<std::wstring, Value> values;
  far3::Uuid created{};
  int open = 0;
  std::wstring lastText;  // SCTL_GET hands out a pointer the host keeps
};
FakeHost* g_fake = nullptr;

far3::IntPtr FakeSettingsControl(HANDLE handle, int command, far3::IntPtr, void* param) {
  FakeHost& host = *g_fake;
  switch (command) {
    case far3::SCTL_CREATE: {
      auto* create = static_cast<far3::FarSettingsCreate*>(param);
      host.created = create->Guid;
      create->Handle = &host;
      ++host.open;
      return 1;
    }
    case far3::SCTL_FREE:
      --host.open;
      return handle == &host;
    case far3::SCTL_ENUM:
      static_cast<far3::FarSettingsEnum*>(param)->Count = host.values.size();
      return 1;
    case far3::SCTL_SET: {
      const auto* item = static_cast<const far3::FarSettingsItem*>(param);
      if (item->Type == far3::FST_QWORD) host.values[item->Name] = item->Number;
      if (item->Type == far3::FST_STRING) host.values[item->Name] = std::wstring(item->String);
      return 1;
    }
    case far3::SCTL_GET: {
      auto* item = static_cast<far3::FarSettingsItem*>(param);
      auto found = host.values.find(item->Name);
      if (found == host.values.end()) return 0;
      if (item->Type == far3::FST_QWORD && std::holds_alternative<std::uint64_t>(found->second)) {
        item->Number = std::get<std::uint64_t>(found->second);
        return 1;
      }
      if (item->Type == far3::FST_STRING && std::holds_alternative<std::wstring>(found->second)) {
        host.lastText = std::get<std::wstring>(found->second);
        item->String = host.lastText.c_str();
        return 1;
      }
      return 0;
    }
  }
  return 0;
}

constexpr const char* kOldKey = "Software\\Far Manager\\Plugins\\Quarix";

class Far3SettingsTest : public ::testing::Test {
 protected:
  Far3SettingsTest() { g_fake = &host_; }
  ~Far3SettingsTest() override {
    EndSettingsMigration();
    g_fake = nullptr;
  }

  // Values the 1.x modules left in their key: "Жук" in code page 866, and a number.
  void PlantOldKey(const char* path = kOldKey) {
    platform::RegistryKey* key = platform::OpenRegistryKey(path);
    ASSERT_NE(key, nullptr);
    const char text[] = "\x86\xE3\xAA";
    const std::int32_t scope = 3;
    platform::SetRegistryValue(key, "FText", platform::kRegSz, text, sizeof text);
    platform::SetRegistryValue(key, "FSearchIn", platform::kRegDword, &scope, sizeof scope);
    ASSERT_EQ(platform::CloseRegistryKey(key), 0);
  }

  std::string OldKeyFile(const std::string& user = "") const {
    return folder_.path() + "/Software/Far Manager/" + (user.empty() ? "" : "Users/" + user + "/") +
           "Plugins/Quarix.reg";
  }

  static std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
  }

  FakeHost host_;
  scratch::Folder folder_;
  scratch::Environment registry_{"QUARIX_REGISTRY", folder_.path()};
  scratch::Environment oem_{"QUARIX_OEM_CP", "866"};
  scratch::Environment user_{"FARUSER", std::nullopt};
};

TEST_F(Far3SettingsTest, TheFirstStartCopiesTheOldKeyDecodedAndLeavesIt) {
  PlantOldKey();
  const std::string before = ReadFile(OldKeyFile());
  BindFar3Settings(FakeSettingsControl);
  flavour::SettingsStore* store = flavour::OpenSettingsStore("ignored");
  ASSERT_NE(store, nullptr);
  EXPECT_EQ(host_.created, far3::kTrawlixGuid) << "both modules share Trawlix's store";
  std::string text;
  std::int32_t scope = 0;
  ASSERT_TRUE(flavour::ReadStoredText(store, "FText", &text));
  EXPECT_EQ(text, "Жук");
  ASSERT_TRUE(flavour::ReadStoredNumber(store, "FSearchIn", &scope));
  EXPECT_EQ(scope, 3);
  EXPECT_FALSE(flavour::ReadStoredText(store, "FMask", &text)) << "what neither holds stays missing";
  EXPECT_EQ(flavour::CloseSettingsStore(store), 0);
  EXPECT_EQ(host_.open, 0);
  EXPECT_EQ(std::get<std::wstring>(host_.values.at(L"FText")), L"Жук");
  EXPECT_EQ(std::get<std::uint64_t>(host_.values.at(L"FSearchIn")), 3u);
  EXPECT_EQ(ReadFile(OldKeyFile()), before);
}

TEST_F(Far3SettingsTest, AStoreThatHoldsValuesIsNotFilledFromTheOldKey) {
  PlantOldKey();
  host_.values[L"FMask"] = std::wstring(L"*.c");
  BindFar3Settings(FakeSettingsControl);
  flavour::SettingsStore* store = flavour::OpenSettingsStore("ignored");
  std::string text;
  EXPECT_FALSE(flavour::ReadStoredText(store, "FText", &text));
  ASSERT_TRUE(flavour::ReadStoredText(store, "FMask", &text));
  EXPECT_EQ(text, "*.c");
  flavour::CloseSettingsStore(store);
  EXPECT_EQ(host_.values.size(), 1u);
}

TEST_F(Far3SettingsTest, OnlyTheStartCopiesAndNoOldKeyIsMade) {
  BindFar3Settings(FakeSettingsControl);
  EndSettingsMigration();
  PlantOldKey();  // too late: the start is over
  flavour::SettingsStore* store = flavour::OpenSettingsStore("ignored");
  std::string text;
  EXPECT_FALSE(flavour::ReadStoredText(store, "FText", &text));
  flavour::CloseSettingsStore(store);

  std::filesystem::remove_all(folder_.path() + "/Software");
  BindFar3Settings(FakeSettingsControl);
  store = flavour::OpenSettingsStore("ignored");
  EXPECT_FALSE(flavour::ReadStoredText(store, "FText", &text));
  flavour::CloseSettingsStore(store);
  EXPECT_FALSE(std::filesystem::exists(folder_.path() + "/Software")) << "the old key is only read";
}

TEST_F(Far3SettingsTest, TheUsersOwnKeyIsReadWhenFaruserNamesOne) {
  PlantOldKey("Software\\Far Manager\\Users\\ivan\\Plugins\\Quarix");
  scratch::Environment user{"FARUSER", "ivan"};
  BindFar3Settings(FakeSettingsControl);
  flavour::SettingsStore* store = flavour::OpenSettingsStore("ignored");
  std::string text;
  ASSERT_TRUE(flavour::ReadStoredText(store, "FText", &text));
  EXPECT_EQ(text, "Жук");
  flavour::CloseSettingsStore(store);
}

// Texts of any script and numbers of either sign read back as they were written.
TEST_F(Far3SettingsTest, WhatIsWrittenReadsBack) {
  BindFar3Settings(FakeSettingsControl);
  flavour::SettingsStore* store = flavour::OpenSettingsStore("ignored");
  const std::string texts[] = {"", "*.txt|*.bak", "日本語 Жук ÿ 😀", std::string("a\xED\xA0\x80z")};
  for (const std::string& written : texts) {
    flavour::WriteStoredText(store, "FText", written);
    std::string text;
    ASSERT_TRUE(flavour::ReadStoredText(store, "FText", &text));
    EXPECT_EQ(text, written);
  }
  for (const std::int32_t written : {0, 7, -1, INT32_MIN, INT32_MAX}) {
    flavour::WriteStoredNumber(store, "SeveralLines", written);
    std::int32_t number = 0;
    ASSERT_TRUE(flavour::ReadStoredNumber(store, "SeveralLines", &number));
    EXPECT_EQ(number, written);
  }
  std::string text;
  EXPECT_FALSE(flavour::ReadStoredText(store, "SeveralLines", &text)) << "a number is no text";
  flavour::CloseSettingsStore(store);
}

}  // namespace
