#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "unit/platform/scratch.h"

namespace {

using platform::CloseRegistryKey;
using platform::OpenRegistryKey;
using platform::QueryRegistryValue;
using platform::RegistryKey;
using platform::SetRegistryValue;

constexpr const char* kKey = "Software\\Far\\Plugins\\Quarix";

class RegistryTest : public ::testing::Test {
 protected:
  std::string KeyFile() const { return folder_ / "Software/Far/Plugins/Quarix.reg"; }
  std::string KeyFolder() const { return folder_ / "Software/Far/Plugins"; }

  std::vector<std::string> FolderNames() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(KeyFolder()))
      names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

  // The stored bytes of a value, or nullopt when the key does not have it.
  static std::optional<std::string> Query(RegistryKey* key, const char* name, std::uint32_t* type) {
    std::uint32_t size = 0;
    if (!QueryRegistryValue(key, name, type, nullptr, &size)) return std::nullopt;
    std::string bytes(size, '\0');
    if (!QueryRegistryValue(key, name, type, bytes.data(), &size)) return std::nullopt;
    bytes.resize(size);
    return bytes;
  }

  static bool Set(RegistryKey* key, const char* name, std::uint32_t type, const std::string& bytes) {
    return SetRegistryValue(key, name, type, bytes.data(), static_cast<std::uint32_t>(bytes.size()));
  }

  scratch::Folder folder_;
  scratch::Environment registry_{"QUARIX_REGISTRY", folder_.path()};
};

struct StoredValue {
  const char* name;
  std::uint32_t type;
  std::string bytes;
  const char* line;  // how the file shows it
};

TEST_F(RegistryTest, EveryTypeKeepsItsExactBytesAcrossReopen) {
  const std::vector<StoredValue> values = {
      {"FText", platform::kRegSz, std::string("a \"quoted\" C:\\path\0", 19),
       R"("FText"="a \"quoted\" C:\\path")"},
      {"Empty", platform::kRegSz, std::string("\0", 1), R"("Empty"="")"},
      {"NoZero", platform::kRegSz, "abc", R"("NoZero"=hex(1):61,62,63)"},
      {"Oem", platform::kRegSz, std::string("\xA0\xE1\0", 3), R"("Oem"=hex(1):a0,e1,00)"},
      {"Inner", platform::kRegSz, std::string("a\0b\0", 4), R"("Inner"=hex(1):61,00,62,00)"},
      {"Count", platform::kRegDword, std::string("\x2a\0\0\0", 4), R"("Count"=dword:0000002a)"},
      {"Negative", platform::kRegDword, "\xfe\xff\xff\xff", R"("Negative"=dword:fffffffe)"},
      {"Short", platform::kRegDword, "\x01\x02", R"("Short"=hex(4):01,02)"},
      {"Blob", platform::kRegBinary, std::string("\0\xff\n", 3), R"("Blob"=hex(3):00,ff,0a)"},
      {"Nothing", platform::kRegBinary, "", R"("Nothing"=hex(3):)"},
      {"Odd\"Name\\", 0x12345678u, "z", R"("Odd\"Name\\"=hex(12345678):7a)"},
      {"None", platform::kRegNone, "", R"("None"=hex(0):)"},
  };
  RegistryKey* key = OpenRegistryKey(kKey);
  ASSERT_NE(key, nullptr);
  for (const StoredValue& v : values) EXPECT_TRUE(Set(key, v.name, v.type, v.bytes)) << v.name;
  ASSERT_EQ(CloseRegistryKey(key), 0);

  std::string text = scratch::ReadFile(KeyFile());
  EXPECT_TRUE(
      text.starts_with("Windows Registry Editor Version 5.00\n\n"
                       "[HKEY_CURRENT_USER\\Software\\Far\\Plugins\\Quarix]\n"))
      << text;
  std::size_t lastPosition = 0;
  for (const StoredValue& v : values) {
    std::size_t at = text.find(std::string(v.line) + "\n");
    ASSERT_NE(at, std::string::npos) << v.line << "\n" << text;
    EXPECT_GT(at, lastPosition) << "values keep the order they were first written in";
    lastPosition = at;
  }

  key = OpenRegistryKey(kKey);
  ASSERT_NE(key, nullptr);
  for (const StoredValue& v : values) {
    std::uint32_t type = 0;
    EXPECT_EQ(Query(key, v.name, &type), v.bytes) << v.name;
    EXPECT_EQ(type, v.type) << v.name;
  }
  EXPECT_EQ(CloseRegistryKey(key), 0);
}

// The settings of another host's layout are read where they are, and never made.
TEST_F(RegistryTest, AnExistingKeyOnlyIsOpenedWithoutCreatingIt) {
  EXPECT_EQ(platform::OpenExistingRegistryKey(kKey), nullptr);
  EXPECT_FALSE(std::filesystem::exists(KeyFolder())) << "no folder made for a missing key";
  RegistryKey* key = OpenRegistryKey(kKey);
  ASSERT_TRUE(Set(key, "FText", platform::kRegSz, std::string("cat\0", 4)));
  ASSERT_EQ(CloseRegistryKey(key), 0);
  key = platform::OpenExistingRegistryKey(kKey);
  ASSERT_NE(key, nullptr);
  std::uint32_t type = 0;
  EXPECT_EQ(Query(key, "FText", &type), std::string("cat\0", 4));
  EXPECT_EQ(type, platform::kRegSz);
  EXPECT_EQ(CloseRegistryKey(key), 0);
  EXPECT_EQ(platform::OpenExistingRegistryKey("Software\\Far\\Plugins\\Other"), nullptr);
}

TEST_F(RegistryTest, NamesMatchWithoutRegardToCaseAndKeepTheirFirstSpelling) {
  RegistryKey* key = OpenRegistryKey(kKey);
  ASSERT_NE(key, nullptr);
  ASSERT_TRUE(Set(key, "FSearchAs", platform::kRegDword, std::string("\1\0\0\0", 4)));
  ASSERT_TRUE(Set(key, "Other", platform::kRegDword, std::string("\2\0\0\0", 4)));
  ASSERT_TRUE(Set(key, "FSEARCHAS", platform::kRegDword, std::string("\5\0\0\0", 4)));
  std::uint32_t type = 0;
  EXPECT_EQ(Query(key, "fsearchas", &type), std::string("\5\0\0\0", 4));
  ASSERT_EQ(CloseRegistryKey(key), 0);
  std::string text = scratch::ReadFile(KeyFile());
  EXPECT_NE(text.find("\"FSearchAs\"=dword:00000005\n\"Other\""), std::string::npos) << text;
  EXPECT_EQ(text.find("FSEARCHAS"), std::string::npos);
}

TEST_F(RegistryTest, WritesOnlyWhatChangedAndLeavesNoTemporaryFile) {
  RegistryKey* key = OpenRegistryKey(kKey);
  ASSERT_NE(key, nullptr);
  EXPECT_EQ(CloseRegistryKey(key), 0);
  EXPECT_FALSE(std::filesystem::exists(KeyFile())) << "an untouched key writes no file";
  struct stat st;
  ASSERT_EQ(stat(KeyFolder().c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);

  key = OpenRegistryKey(kKey);
  ASSERT_TRUE(Set(key, "FMask", platform::kRegSz, std::string("*.*\0", 4)));
  ASSERT_EQ(CloseRegistryKey(key), 0);
  EXPECT_EQ(FolderNames(), std::vector<std::string>{"Quarix.reg"});
  ASSERT_EQ(stat(KeyFile().c_str(), &st), 0);
  ino_t written = st.st_ino;

  // The same bytes again are no change: the file is not replaced.
  key = OpenRegistryKey(kKey);
  ASSERT_TRUE(Set(key, "fmask", platform::kRegSz, std::string("*.*\0", 4)));
  ASSERT_EQ(CloseRegistryKey(key), 0);
  ASSERT_EQ(stat(KeyFile().c_str(), &st), 0);
  EXPECT_EQ(st.st_ino, written);

  key = OpenRegistryKey(kKey);
  ASSERT_TRUE(Set(key, "FMask", platform::kRegSz, std::string("*.c\0", 4)));
  ASSERT_EQ(CloseRegistryKey(key), 0);
  ASSERT_EQ(stat(KeyFile().c_str(), &st), 0);
  EXPECT_NE(st.st_ino, written) << "a change replaces the file by a rename";
  EXPECT_EQ(FolderNames(), std::vector<std::string>{"Quarix.reg"});
}

TEST_F(RegistryTest, QueryFollowsTheRulesOfRegQueryValueEx) {
  RegistryKey* key = OpenRegistryKey(kKey);
  ASSERT_NE(key, nullptr);
  ASSERT_TRUE(Set(key, "FText", platform::kRegSz, std::string("hello\0", 6)));

  std::uint32_t type = 99, size = 0;
  EXPECT_TRUE(QueryRegistryValue(key, "FText", &type, nullptr, &size));
  EXPECT_EQ(type, platform::kRegSz);
  EXPECT_EQ(size, 6u);

  char small[4] = {'x', 'x', 'x', 'x'};
  type = 99;
  size = sizeof small;
  EXPECT_FALSE(QueryRegistryValue(key, "FText", &type, small, &size));
  EXPECT_EQ(size, 6u) << "the size the value needs";
  EXPECT_EQ(type, platform::kRegSz);

  char exact[6];
  size = sizeof exact;
  EXPECT_TRUE(QueryRegistryValue(key, "FText", nullptr, exact, &size));
  EXPECT_EQ(std::string(exact, size), std::string("hello\0", 6));

  EXPECT_FALSE(QueryRegistryValue(key, "FText", &type, exact, nullptr));
  EXPECT_FALSE(QueryRegistryValue(key, "Missing", &type, nullptr, &size));
  EXPECT_FALSE(QueryRegistryValue(nullptr, "FText", &type, nullptr, &size));

  // Names that the one-line-per-value file cannot hold, and data that is not there.
  EXPECT_FALSE(Set(key, "two\nlines", platform::kRegSz, std::string("x\0", 2)));
  EXPECT_FALSE(SetRegistryValue(key, "NoData", platform::kRegBinary, nullptr, 3));
  EXPECT_FALSE(SetRegistryValue(nullptr, "FText", platform::kRegBinary, "x", 1));
  // A key that could not be read back once written is refused, not written.
  EXPECT_FALSE(Set(key, "Huge", platform::kRegBinary, std::string(std::size_t{20} << 20, 'x')));
  EXPECT_FALSE(QueryRegistryValue(key, "Huge", &type, nullptr, &size));
  EXPECT_EQ(CloseRegistryKey(key), 0);
}

TEST_F(RegistryTest, HandWrittenFilesInTheExportStyleAreRead) {
  std::filesystem::create_directories(KeyFolder());
  scratch::WriteFile(KeyFile(),
                     "\xEF\xBB\xBFWindows Registry Editor Version 5.00\r\n\r\n"
                     "; written by hand\r\n"
                     "[HKEY_CURRENT_USER\\Software\\Far\\Plugins\\Quarix]\r\n"
                     "@=\"default\"\r\n"
                     "\"Wide\"=hex:01, 02,\\\r\n"
                     "  03\r\n"
                     "\"Few\"=dword:7\r\n"
                     "\"Few\"=dword:8\r\n");
  RegistryKey* key = OpenRegistryKey(kKey);
  ASSERT_NE(key, nullptr);
  std::uint32_t type = 0;
  EXPECT_EQ(Query(key, "", &type), std::string("default\0", 8));
  EXPECT_EQ(Query(key, "Wide", &type), "\x01\x02\x03");
  EXPECT_EQ(type, platform::kRegBinary);
  EXPECT_EQ(Query(key, "Few", &type), std::string("\x08\0\0\0", 4)) << "the later line wins";
  EXPECT_EQ(CloseRegistryKey(key), 0);
}

TEST_F(RegistryTest, AFileThatCannotBeReadIsAnEmptyKeyAndIsKeptAsideBeforeAWrite) {
  const std::string header =
      "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software]\n";
  const std::vector<std::string> malformed = {
      "not a registry file\n",
      "\"A\"=dword:1\n",                                        // no header
      "Windows Registry Editor Version 5.00\n\"A\"=dword:1\n",  // value outside a section
      header + "\"A\"=\"x\\q\"\n",                              // unknown escape
      header + "\"A\"=\"open\n",                                // no closing quote
      header + "\"A\"=\"x\" trailing\n",
      header + "\"A\"=dword:123456789\n",  // nine digits
      header + "\"A\"=hex(3):1,02\n",
      header + "\"A\"=hex(3):01,\n",
      header + "\"A\"=hex(zz):01\n",
      header + "\"A\"=dword:12\n[HKEY_CURRENT_USER\\Other]\n",
      header + "A=dword:1\n",
  };
  std::filesystem::create_directories(KeyFolder());
  for (const std::string& text : malformed) {
    SCOPED_TRACE(text);
    scratch::WriteFile(KeyFile(), text);
    RegistryKey* key = OpenRegistryKey(kKey);
    ASSERT_NE(key, nullptr);
    std::uint32_t type = 0, size = 0;
    EXPECT_FALSE(QueryRegistryValue(key, "A", &type, nullptr, &size));
    EXPECT_EQ(CloseRegistryKey(key), 0);
    EXPECT_EQ(scratch::ReadFile(KeyFile()), text) << "reading alone leaves the file alone";
  }

  // Two writes over two unreadable files, within the same second: both are kept.
  for (const char* text : {"first\n", "second\n"}) {
    scratch::WriteFile(KeyFile(), text);
    RegistryKey* key = OpenRegistryKey(kKey);
    ASSERT_TRUE(Set(key, "A", platform::kRegDword, std::string("\1\0\0\0", 4)));
    ASSERT_EQ(CloseRegistryKey(key), 0);
  }
  std::vector<std::string> kept;
  for (const std::string& name : FolderNames()) {
    if (name == "Quarix.reg") continue;
    EXPECT_TRUE(name.starts_with("Quarix.reg.corrupt-")) << name;
    kept.push_back(scratch::ReadFile(KeyFolder() + "/" + name));
  }
  std::sort(kept.begin(), kept.end());
  EXPECT_EQ(kept, (std::vector<std::string>{"first\n", "second\n"}));
  RegistryKey* key = OpenRegistryKey(kKey);
  std::uint32_t type = 0;
  EXPECT_EQ(Query(key, "A", &type), std::string("\1\0\0\0", 4));
  EXPECT_EQ(CloseRegistryKey(key), 0);
}

TEST_F(RegistryTest, AHugeFileIsNotReadButKept) {
  std::filesystem::create_directories(KeyFolder());
  scratch::WriteFile(KeyFile(), "Windows Registry Editor Version 5.00\n");
  std::filesystem::resize_file(KeyFile(), std::uintmax_t{65} << 20);  // sparse
  RegistryKey* key = OpenRegistryKey(kKey);
  ASSERT_NE(key, nullptr);
  ASSERT_TRUE(Set(key, "A", platform::kRegDword, std::string("\1\0\0\0", 4)));
  ASSERT_EQ(CloseRegistryKey(key), 0);
  EXPECT_EQ(FolderNames().size(), 2u);
  EXPECT_LT(std::filesystem::file_size(KeyFile()), 1000u);
}

TEST_F(RegistryTest, FailuresAreReportedNotHidden) {
  EXPECT_EQ(OpenRegistryKey("Software\\..\\Escape"), nullptr);
  EXPECT_EQ(OpenRegistryKey("Software\\a/b"), nullptr);
  EXPECT_EQ(OpenRegistryKey(""), nullptr);
  EXPECT_EQ(OpenRegistryKey(nullptr), nullptr);

  // A key file that is a folder can be neither read nor written over.
  std::filesystem::create_directories(KeyFile());
  EXPECT_EQ(OpenRegistryKey(kKey), nullptr);
  std::filesystem::remove(KeyFile());

  // The key's folder replaced by a file between open and close: the write fails.
  RegistryKey* key = OpenRegistryKey(kKey);
  ASSERT_NE(key, nullptr);
  ASSERT_TRUE(Set(key, "A", platform::kRegDword, std::string("\1\0\0\0", 4)));
  std::filesystem::remove_all(KeyFolder());
  scratch::WriteFile(KeyFolder(), "in the way");
  EXPECT_NE(CloseRegistryKey(key), 0);
}

TEST(RegistryFolderTest, FallsBackToTheUsersConfigurationFolder) {
  scratch::Folder home;
  scratch::Environment registry("QUARIX_REGISTRY", std::nullopt);
  scratch::Environment homeVariable("HOME", home.path());
  for (bool withXdg : {true, false}) {
    scratch::Environment xdg("XDG_CONFIG_HOME",
                             withXdg ? std::optional<std::string>(home / "xdg") : std::nullopt);
    RegistryKey* key = OpenRegistryKey("Software\\Quarix");
    ASSERT_NE(key, nullptr);
    ASSERT_TRUE(SetRegistryValue(key, "A", platform::kRegBinary, "x", 1));
    ASSERT_EQ(CloseRegistryKey(key), 0);
    std::string expected = withXdg ? home / "xdg/quarix/registry/Software/Quarix.reg"
                                   : home / ".config/quarix/registry/Software/Quarix.reg";
    EXPECT_TRUE(std::filesystem::exists(expected)) << expected;
  }
}

}  // namespace
