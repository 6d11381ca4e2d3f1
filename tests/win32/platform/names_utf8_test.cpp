// The UTF-8 name text: every name is listed and opened, unpaired surrogates come back to
// the same name, long paths work, and text that is not UTF-8 opens nothing.
#include <cstring>
#include <string>

#include "platform/platform.h"
#include "platform/win32/names.h"
#include "win32/platform/wide_names.h"
#include "win32/scratch.h"

namespace {

using win32test::kMixedNames;

std::string ToUtf8(const std::wstring& wide) {
  std::string text;
  EXPECT_TRUE(platform::ConvertNameFromWide(wide.data(), wide.size(), &text));
  return text;
}

class Utf8NamesTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_FALSE(scratch.path().empty()); }
  std::wstring WidePath(const std::wstring& name) const {
    return win32test::Widen(scratch.path()) + L"\\" + name;
  }
  win32test::ScratchFolder scratch;
};

TEST_F(Utf8NamesTest, ListsAndOpensEveryName) {
  const std::set<std::string> expected = {"\xD0\x96\xD1\x83\xD0\xBA.txt",
                                          "\xE6\x97\xA5\xE6\x9C\xAC.txt", "\xF0\x9F\x98\x80.txt",
                                          "caf\xC3\xA9.txt", "plain.txt"};
  for (const auto& file : kMixedNames)
    ASSERT_TRUE(win32test::WriteWide(WidePath(file.name), file.content));
  std::uint64_t leftOut = 1;
  EXPECT_EQ(win32test::ListThroughBackend(scratch.path() + "\\", &leftOut), expected);
  EXPECT_EQ(leftOut, 0u);
  for (const auto& file : kMixedNames) {
    const std::string name = ToUtf8(file.name);
    SCOPED_TRACE(name);
    EXPECT_EQ(win32test::ReadThroughBackend(scratch / name), file.content);
  }
}

TEST(Utf8NameText, UnpairedSurrogatesComeBackToTheSameName) {
  const std::wstring names[] = {
      std::wstring(L"a") + wchar_t(0xD800) + L"b",         // a high surrogate alone
      std::wstring(L"a") + wchar_t(0xDFFF),                // a low one at the end
      std::wstring(1, wchar_t(0xDC00)) + wchar_t(0xD800),  // the wrong order: two alone
      L"\U0001F600",                                       // a pair stays a pair
  };
  const std::string spelt[] = {
      "a\xED\xA0\x80"
      "b",
      "a\xED\xBF\xBF", "\xED\xB0\x80\xED\xA0\x80", "\xF0\x9F\x98\x80"};
  for (std::size_t i = 0; i < std::size(names); ++i) {
    SCOPED_TRACE(i);
    std::string text;
    ASSERT_TRUE(platform::ConvertNameFromWide(names[i].data(), names[i].size(), &text));
    EXPECT_EQ(text, spelt[i]);
    std::wstring back;
    ASSERT_TRUE(platform::ConvertPathToWide(text.c_str(), &back));
    EXPECT_EQ(back, names[i]);
  }
}

TEST_F(Utf8NamesTest, TextThatIsNotUtf8OpensNothing) {
  const char* invalid[] = {
      "\x80",                      // a stray continuation byte
      "\xC3",                      // a sequence cut short
      "\xC3(",                     // a lead byte without its continuation
      "\xC0\xAF",                  // an overlong "/"
      "\xE0\x80\xAE",              // an overlong "."
      "\xED\xA0\x80\xED\xB0\x80",  // a pair written as two: a second spelling of U+10000
      "\xF4\x90\x80\x80",          // beyond U+10FFFF
      "\xFF",
  };
  ASSERT_TRUE(win32test::WriteWide(WidePath(L"x.txt"), "x"));
  for (const char* bad : invalid) {
    SCOPED_TRACE(bad);
    const std::string path = scratch / (std::string("x") + bad);
    std::wstring wide;
    EXPECT_FALSE(platform::ConvertPathToWide(path.c_str(), &wide));
    platform::File file;
    EXPECT_FALSE(file.CreateNew(path.c_str(), 0));
    EXPECT_FALSE(file.OpenForReading(path.c_str()));
    EXPECT_FALSE(platform::PathExists(path.c_str()));
    EXPECT_FALSE(platform::RenameNoReplace((scratch / "x.txt").c_str(), path.c_str()));
    EXPECT_EQ(platform::OpenListing((path + "\\").c_str()), nullptr);
  }
  // Nothing was made under some other name, and x.txt is still there.
  std::uint64_t leftOut = 1;
  EXPECT_EQ(win32test::ListThroughBackend(scratch.path() + "\\", &leftOut),
            std::set<std::string>{"x.txt"});
}

TEST_F(Utf8NamesTest, PathsOfMoreThan260CharactersWork) {
  // Folders of 50 characters, six deep: the file's path is well over 300 characters.
  std::wstring wideFolder = L"\\\\?\\" + win32test::Widen(scratch.path());
  std::string folder = scratch.path();
  const std::string part = std::string(40, 'd') + "\xD0\x96\xD1\x83\xD0\xBA";
  for (int depth = 0; depth < 6; ++depth) {
    wideFolder += L"\\" + std::wstring(40, L'd') + L"\u0416\u0443\u043a";
    folder += "\\" + part;
    ASSERT_TRUE(CreateDirectoryW(wideFolder.c_str(), nullptr));
  }
  const std::string path = folder + "\\\xE6\x97\xA5\xE6\x9C\xAC.txt";
  ASSERT_GT(path.size(), 300u);
  platform::File file;
  ASSERT_TRUE(file.CreateNew(path.c_str(), 0));
  ASSERT_TRUE(file.Write("needle", 6));
  ASSERT_TRUE(file.Close());
  EXPECT_NE(GetFileAttributesW((wideFolder + L"\\\u65e5\u672c.txt").c_str()),
            INVALID_FILE_ATTRIBUTES);
  std::uint64_t leftOut = 1;
  EXPECT_EQ(win32test::ListThroughBackend(folder + "\\", &leftOut),
            std::set<std::string>{"\xE6\x97\xA5\xE6\x9C\xAC.txt"});
  EXPECT_EQ(leftOut, 0u);
  EXPECT_EQ(win32test::ReadThroughBackend(path), "needle");
  platform::FileView view;
  ASSERT_TRUE(view.Open(path.c_str()));
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(view.data()), view.size()), "needle");
  view.Close();
  platform::FileInfo info;
  ASSERT_TRUE(platform::QueryFileInfo(path.c_str(), &info));
  EXPECT_EQ(info.size, 6u);
  // The resolved path is whole, without the long form's prefix, or refused when too long
  // (Wine's GetFinalPathNameByHandleW fails past MAX_PATH: the full path stands in for it,
  // the file being no link).
  std::string resolved(1024, '\0');
  ASSERT_TRUE(platform::ResolveFilePath(path.c_str(), resolved.data(), 1024));
  EXPECT_TRUE(std::string(resolved.c_str()).ends_with(part + "\\\xE6\x97\xA5\xE6\x9C\xAC.txt"));
  EXPECT_FALSE(std::string(resolved.c_str()).starts_with("\\\\?\\"));
  char small[platform::kMaxPath];
  EXPECT_FALSE(platform::ResolveFilePath(path.c_str(), small, sizeof small));
  const std::string moved = folder + "\\moved.txt";
  ASSERT_TRUE(platform::RenameReplace(path.c_str(), moved.c_str()));
  EXPECT_FALSE(platform::PathExists(path.c_str()));
  ASSERT_TRUE(platform::DeleteFile(moved.c_str()));
  EXPECT_FALSE(platform::PathExists(moved.c_str()));
}

}  // namespace
