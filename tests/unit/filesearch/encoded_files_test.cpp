// Files in other encodings through the search's per-file action and the replace scans: a
// byte order mark makes a file text in every mode, in both text models; the replace writes
// the file's own bytes back wherever it changed nothing.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <string>

#include "filesearch/matchers.h"
#include "filesearch/replace/encoded_replace.h"
#include "filesearch/walker.h"
#include "unit/common/message_recorder.h"
#include "unit/filesearch/search_run_fixture.h"
#include "unit/test_folder.h"
#include "platform/platform.h"
#include "unit/text_model_scope.h"

namespace {

// UTF-8 text as UTF-16 or UTF-32 code units of the given width, little or big endian.
std::string Units(const std::string& utf8, int width, bool bigEndian) {
  std::string out;
  auto put = [&](char32_t unit) {
    for (int i = 0; i < width; ++i) {
      const int shift = bigEndian ? 8 * (width - 1 - i) : 8 * i;
      out += static_cast<char>((unit >> shift) & 0xFF);
    }
  };
  for (std::size_t i = 0; i < utf8.size();) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    const int n = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    char32_t c = n == 1 ? lead : lead & (0x7F >> n);
    for (int k = 1; k < n; ++k) c = c << 6 | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
    i += static_cast<std::size_t>(n);
    if (width == 2 && c >= 0x10000) {
      put(0xD800 + ((c - 0x10000) >> 10));
      put(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
      put(c);
    }
  }
  return out;
}

std::string Utf16Le(const std::string& utf8) { return "\xFF\xFE" + Units(utf8, 2, false); }
std::string Utf16Be(const std::string& utf8) { return "\xFE\xFF" + Units(utf8, 2, true); }
std::string Utf32Le(const std::string& utf8) {
  return std::string("\xFF\xFE\0\0", 4) + Units(utf8, 4, false);
}
std::string Utf8Bom(const std::string& utf8) { return "\xEF\xBB\xBF" + utf8; }

class EncodedFilesTest : public ::testing::Test {
 protected:
  std::string Write(const std::string& bytes) {
    const std::string path = folder_.path() + "/file.txt";
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }

  bool Lists(const std::string& bytes, const std::string& text, int mode, int caseSensitive,
             const std::string& readings = "") {
    const std::string path = Write(bytes);
    SearchSettings settings = MakeSettings(text, mode, caseSensitive, 2);
    EXPECT_TRUE(ParseReadings(readings, &settings.readings));
    TestRun test(settings);
    platform::FileRecord record{};
    std::strncpy(record.cFileName, path.c_str(), sizeof(record.cFileName) - 1);
    FoundFile found(record);
    TestFoundFile(found, test.context);
    return test.results.count == 1;
  }

  recorder::Host host_;
  TestFolder folder_{"encoded"};
};

const std::string kContent = "first line\r\nЖук and Ёлка\nlast \xF0\x9F\x98\x80 end";

struct SearchCase {
  int mode;
  const char* text;  // UTF-8, or OEM (866) in the OEM model
  int caseSensitive;
  bool listed;
};

// Every mode, each case setting, in each encoding with a byte order mark.
TEST_F(EncodedFilesTest, MarkedFilesAreSearchedAsTextInEveryMode) {
  TextModelScope utf8(true);
  const SearchCase cases[] = {
      {0, "Жук and", 1, true},       {0, "жук AND", 0, true},     {0, "жук", 1, false},
      {0, "\xF0\x9F\x98\x80 end", 1, true},
      {1, "^Жук", 1, true},          {1, "^ЖУК", 0, true},        {1, "line$", 1, true},
      {1, "^\\w+ and ёлка$", 0, true}, {1, "^\\w+ and ёлка$", 1, false},
      {2, "line\\r\\nЖук", 1, true}, {2, "\\Afirst", 1, true},    {2, "end\\z", 1, true},
      {2, "\\A\\x{FEFF}", 1, false},  // the mark is no text
      {3, "Ёлка\\nlast", 1, true},   {3, "line.*Ёлка", 1, false},
      {4, "+first +Ёлка", 1, true},  {4, "+first -ёлка", 0, false}, {4, "+first -ёлка", 1, true},
      {5, "+^last -^Жук$", 1, true}, {5, "+(?i)^жук", 1, true},    {5, "+^end", 1, false},
  };
  const struct {
    const char* name;
    std::string bytes;
  } files[] = {{"utf-8", Utf8Bom(kContent)},   {"utf-16le", Utf16Le(kContent)},
               {"utf-16be", Utf16Be(kContent)}, {"utf-32le", Utf32Le(kContent)}};
  for (const auto& file : files)
    for (const SearchCase& c : cases)
      EXPECT_EQ(Lists(file.bytes, c.text, c.mode, c.caseSensitive), c.listed)
          << file.name << " mode " << c.mode << " " << c.text << " case " << c.caseSensitive;
}

// The OEM model's cases are written for code page 866 (our host's default).
bool IsOem866() { return platform::CharacterOfOem(0x86) == U'\u0416'; }

TEST_F(EncodedFilesTest, MarkedFilesReachTheOemModelInTheOemCodePage) {
  if (!IsOem866()) GTEST_SKIP() << "the OEM code page is not 866";
  TextModelScope oem(false);
  const SearchCase cases[] = {
      {0, "\x86\xE3\xAA and", 1, true},  // "Жук and"
      {0, "\xA6\xE3\xAA", 0, false},     // "жук": only ASCII letters fold here
      {0, "ZHUK", 0, false},
      {1, "^\x86\xE3\xAA", 1, true},
      // The emoji has no OEM byte: it is one byte that no text holds.
      {1, "^last \\x00 end$", 1, true},
      {1, "^last .. end$", 1, false},
      {2, "line\\r\\n\x86", 1, true},
      {4, "+first +\xF0\xAB\xAA\xA0", 1, true},  // "Ёлка"
  };
  for (const std::string& bytes : {Utf8Bom(kContent), Utf16Le(kContent), Utf16Be(kContent)})
    for (const SearchCase& c : cases)
      EXPECT_EQ(Lists(bytes, c.text, c.mode, c.caseSensitive), c.listed)
          << "mode " << c.mode << " " << c.text;
}

TEST_F(EncodedFilesTest, OddFilesNeitherCrashNorMatchFalsely) {
  TextModelScope utf8(true);
  const struct {
    const char* what;
    std::string bytes;
    const char* text;
    int mode;
    bool listed;
  } cases[] = {
      {"a mark alone", "\xFF\xFE", "^$", 1, false},
      {"a mark alone", "\xFF\xFE", "x", 0, false},
      {"an empty file", "", "x", 0, false},
      {"odd length", Utf16Le("hello") + "h", "hello", 0, true},
      {"odd length", Utf16Le("hello") + "h", "helloh", 0, false},
      {"unpaired surrogates", Utf16Le("ab") + std::string("\x00\xD8", 2) + Units("cd", 2, false),
       "b.c", 1, false},
      {"unpaired surrogates", Utf16Le("ab") + std::string("\x00\xDC", 2) + Units("cd", 2, false),
       "cd", 0, true},
      {"mixed line ends", Utf16Be("a\r\nb\rc\nd"), "^c$", 1, true},
      {"mixed line ends", Utf16Be("a\r\nb\rc\nd"), "^$", 1, false},
      {"a mark in the middle", Utf16Le("one\xEF\xBB\xBFtwo"), "one\\x{FEFF}two", 1, true},
      {"a mark in a plain file", "one\xEF\xBB\xBFtwo", "one\xEF\xBB\xBFtwo", 0, true},
      {"no mark: as it is", Units("hello", 2, false), "hello", 0, false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(Lists(c.bytes, c.text, c.mode, 1), c.listed) << c.what << ": " << c.text;
}

// A large UTF-16 file reaches the matchers that take pieces decoded piece by piece:
// what lies across the pieces' ends, a surrogate pair included, is found.
TEST_F(EncodedFilesTest, LargeMarkedFilesAreDecodedPieceByPiece) {
  TextModelScope utf8(true);
  for (std::size_t shift : {0, 1, 2, 3}) {
    SCOPED_TRACE(shift);
    const std::string head(kFirstPiece / 2 - 4 + shift, 'q');
    const std::string text = head + "\n\xF0\x9F\x98\x80needle\r\n" + std::string(600000, 'z');
    const std::string bytes = Utf16Le(text);
    EXPECT_TRUE(Lists(bytes, "\xF0\x9F\x98\x80needle", 0, 1));
    EXPECT_TRUE(Lists(bytes, "^.needle$", 1, 1));
    EXPECT_TRUE(Lists(bytes, "q\\n.needle\\r\\n", 3, 1));
    EXPECT_TRUE(Lists(bytes, "needle\\r\\nz+\\z", 3, 1));
    EXPECT_TRUE(Lists(bytes, "z\\z", 3, 1));
    EXPECT_FALSE(Lists(bytes, "^\\x{FFFD}", 1, 1));
  }
}

TEST_F(EncodedFilesTest, CodePagesAreReadWhenTheSettingNamesThem) {
  TextModelScope utf8(true);
  const std::string cp1251 = "\xC6\xF3\xEA in cp1251";  // "Жук"
  const std::string koi8 = "\xF6\xD5\xCB in koi8-r";
  EXPECT_FALSE(Lists(cp1251, "Жук", 0, 1));
  EXPECT_TRUE(Lists(cp1251, "Жук", 0, 1, "windows-1251"));
  EXPECT_TRUE(Lists(cp1251, "жук", 0, 0, "koi8-r,windows-1251"));
  EXPECT_TRUE(Lists(koi8, "^Жук in", 1, 1, "windows-1251 koi8-r"));
  EXPECT_FALSE(Lists(koi8, "Жук", 0, 1, "windows-1251"));
  // Valid UTF-8 is read as UTF-8 only.
  EXPECT_FALSE(Lists("\xD0\x96\xD1\x83\xD0\xBA", "ЖСѓ", 0, 1, "windows-1251"));
  // UTF-16 without a mark, when named.
  EXPECT_TRUE(Lists(Units("hello", 2, false), "hello", 0, 1, "utf-16le"));
  if (!IsOem866()) return;
  TextModelScope oem(false);
  EXPECT_TRUE(Lists(cp1251, "\x86\xE3\xAA", 0, 1, "windows-1251"));
  EXPECT_TRUE(Lists("\xD0\x96\xD1\x83\xD0\xBA", "\x86\xE3\xAA", 0, 1, "utf-8"));
}

// The replace scans over encoded content, every match accepted.
struct Rewritten {
  int result = 0;
  bool unspellable = false;
  bool begun = false;
  std::string bytes;
};

Rewritten Rewrite(const std::string& content, const std::string& text, int mode,
                  const std::string& with, const std::string& readings = "") {
  SearchSettings settings = MakeSettings(text, mode, 1, 3);
  settings.replacement = with;
  EXPECT_TRUE(ParseReadings(readings, &settings.readings));
  TestRun test(settings);
  Rewritten rewritten;
  OutputSink sink;
  sink.begin = [&] {
    rewritten.begun = true;
    return 1;
  };
  sink.confirm = [](const unsigned char*, std::size_t, const std::string&) { return 1; };
  sink.write = [&](const unsigned char* bytes, std::size_t count) {
    rewritten.bytes.append(reinterpret_cast<const char*>(bytes), count);
    return 1;
  };
  ReplaceOutput out;
  out.context = &test.context;
  out.sink = &sink;
  rewritten.result = ReplaceInEncodedContent(reinterpret_cast<const unsigned char*>(content.data()),
                                             content.size(), &out, &rewritten.unspellable);
  return rewritten;
}

TEST_F(EncodedFilesTest, ReplaceWritesTheFileBackInItsOwnEncoding) {
  TextModelScope utf8(true);
  const std::string surrogate("\x00\xD8", 2);
  const struct {
    const char* what;
    std::string before;
    const char* text;
    int mode;
    const char* with;
    std::string after;
  } cases[] = {
      {"utf-16le", Utf16Le("a Жук\r\nb"), "Жук", 0, "Ёж", Utf16Le("a Ёж\r\nb")},
      {"utf-16be", Utf16Be("x\ny\n"), "^y$", 1, "\\U$0ё", Utf16Be("x\nYЁ\n")},
      {"utf-32le", Utf32Le("one two"), "t(w)o", 2, "[$1]", Utf32Le("one [w]")},
      {"utf-8 mark", Utf8Bom("жук жук"), "жук", 0, "ЖУК", Utf8Bom("ЖУК ЖУК")},
      {"match at the start", Utf16Le("ab"), "a", 0, "\xF0\x9F\x98\x80",
       Utf16Le("\xF0\x9F\x98\x80" "b")},
      {"odd final byte", Utf16Le("ab") + "z", "b", 0, "c", Utf16Le("ac") + "z"},
      {"unpaired surrogate", Utf16Le("ab") + surrogate + Units("ab", 2, false), "b", 0, "",
       Utf16Le("a") + surrogate + Units("a", 2, false)},
      {"a window over lines", Utf16Le("1\r\n2\n3\r4"), "2\\n3", 2, "x", Utf16Le("1\r\nx\r4")},
      {"cp1251", "\xC6\xF3\xEA!", "Жук", 0, "Ёж", "\xA8\xE6!"},
  };
  for (const auto& c : cases) {
    const Rewritten r = Rewrite(c.before, c.text, c.mode, c.with, "windows-1251");
    EXPECT_EQ(r.result, 1) << c.what;
    EXPECT_FALSE(r.unspellable) << c.what;
    EXPECT_EQ(r.bytes, c.after) << c.what;
  }
}

TEST_F(EncodedFilesTest, AReplacementTheEncodingCannotSpellLeavesTheFileAlone) {
  TextModelScope utf8(true);
  const struct {
    const char* what;
    std::string before;
    const char* with;
    const char* readings;
  } cases[] = {
      {"cp1252 has no Cyrillic", "caf\xE9 ok", "Жук", "windows-1252"},
      {"no character for UTF-16", Utf16Le("x ok"), "\\xFF", ""},
  };
  for (const auto& c : cases) {
    const Rewritten r = Rewrite(c.before, "ok", 1, c.with, c.readings);
    EXPECT_EQ(r.result, 0) << c.what;
    EXPECT_TRUE(r.unspellable) << c.what;
    EXPECT_FALSE(r.begun) << c.what;  // nothing asked, nothing created
  }
  // A file the replacement fits is written, whatever the other files need.
  const Rewritten fits = Rewrite("caf\xE9 ok", "ok", 1, "\xC3\xA9", "windows-1252");
  EXPECT_EQ(fits.bytes, "caf\xE9 \xE9");
}

}  // namespace
