// Files in the encodings they come in, through the quarix program and the real modules:
// UTF-16 and UTF-8 with a byte order mark found and rewritten byte for byte, code pages
// named with --encoding, the text model chosen by the locale.
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "scenario/child_process.h"
#include "scenario/fixture.h"

namespace scenario {
namespace {

const std::string kProgram = QUARIX_BIN_DIR "/quarix";

std::set<std::string> Lines(const std::string& text) {
  std::set<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.insert(line);
  return lines;
}

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// UTF-16LE with its byte order mark, from text of ASCII and two-byte UTF-8 characters.
std::string Utf16Le(const std::string& utf8) {
  std::string out = "\xFF\xFE";
  for (std::size_t i = 0; i < utf8.size();) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    unsigned c = lead;
    if (lead >= 0xC0) c = (lead & 0x1F) << 6 | (static_cast<unsigned char>(utf8[++i]) & 0x3F);
    ++i;
    out += static_cast<char>(c & 0xFF);
    out += static_cast<char>(c >> 8);
  }
  return out;
}

class EncodingsProgramTest : public ScenarioTest {
 protected:
  void SetUp() override {
    ScenarioTest::SetUp();
    tree_ = Folder("tree");
    WriteFile(tree_ + "/utf16.txt",
              Utf16Le("hello мир\r\nЖук и жук\r\n") + std::string("\x00\xD8" "x", 3));
    WriteFile(tree_ + "/plain.txt", "hello\nЖук\n");
    WriteFile(tree_ + "/cp1251.txt", "\xC6\xF3\xEA in 1251\n");
  }
  ChildResult Run(const std::vector<std::string>& args, const std::string& text = "bytes",
                  const std::string& locale = "C.UTF-8") {
    return RunChild(kProgram, args,
                    {{"QUARIX_PLUGIN_DIR", QUARIX_BIN_DIR}, {"QUARIX_TEXT", text},
                     {"LC_ALL", locale}});
  }
  std::set<std::string> Paths(std::initializer_list<const char*> names) {
    std::set<std::string> paths;
    for (const char* name : names) paths.insert(tree_ + "/" + name);
    return paths;
  }
  std::string tree_;
};

TEST_F(EncodingsProgramTest, MarkedFilesAreFoundInBothTextModels) {
  for (const char* model : {"bytes", "utf-8"}) {
    ChildResult result =
        Run({"search", tree_, "--scope", "folder", "--text", "hello", "--mode", "plain"}, model);
    EXPECT_EQ(Lines(result.out), Paths({"utf16.txt", "plain.txt"})) << model << result.err;
    result = Run({"search", tree_, "--text", "^hello", "--mode", "regex", "--case"}, model);
    EXPECT_EQ(Lines(result.out), Paths({"utf16.txt", "plain.txt"})) << model << result.err;
  }
  // In the byte model the UTF-16 file's Cyrillic is OEM text (866 here).
  ChildResult result = Run({"search", tree_, "--scope", "folder", "--text", "\x86\xE3\xAA",
                            "--mode", "plain", "--case"});
  EXPECT_EQ(Lines(result.out), Paths({"utf16.txt"})) << result.err;
}

TEST_F(EncodingsProgramTest, TheTextModelFollowsTheLocaleUnlessPinned) {
  const std::vector<std::string> search = {"search",  tree_, "--scope", "folder", "--text",
                                           "жук",     "--mode", "plain", "--no-case"};
  // Unpinned: a UTF-8 locale folds Cyrillic, the C locale does not.
  EXPECT_EQ(Lines(Run(search, "", "C.UTF-8").out), Paths({"utf16.txt", "plain.txt"}));
  EXPECT_EQ(Run(search, "", "C").exitCode, 1);
  EXPECT_EQ(Run(search, "", "POSIX").exitCode, 1);
  // Pinned either way whatever the locale.
  EXPECT_EQ(Run(search, "bytes", "C.UTF-8").exitCode, 1);
  EXPECT_EQ(Lines(Run(search, "utf-8", "C").out), Paths({"utf16.txt", "plain.txt"}));
}

TEST_F(EncodingsProgramTest, ReplaceWritesEachFileBackInItsEncoding) {
  const std::string before16 = ReadBytes(tree_ + "/utf16.txt");
  ChildResult result = Run({"replace", tree_, "--scope", "folder", "--text", "жук", "--with",
                            "Ёж", "--mode", "regex", "--no-case", "--list", "-E",
                            "windows-1251"},
                           "utf-8");
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(Lines(result.out), Paths({"utf16.txt", "plain.txt", "cp1251.txt"}));
  // Everything but the replaced text keeps its bytes: the mark, the CR LF pairs, the
  // unpaired surrogate and the odd final byte.
  EXPECT_EQ(ReadBytes(tree_ + "/utf16.txt"),
            Utf16Le("hello мир\r\nЁж и Ёж\r\n") + std::string("\x00\xD8" "x", 3));
  EXPECT_NE(ReadBytes(tree_ + "/utf16.txt"), before16);
  EXPECT_EQ(ReadBytes(tree_ + "/plain.txt"), "hello\nЁж\n");
  EXPECT_EQ(ReadBytes(tree_ + "/cp1251.txt"), "\xA8\xE6 in 1251\n");
  // The code pages are kept for the next run.
  EXPECT_EQ(ReadStoredText("Encodings"), "windows-1251");
}

TEST_F(EncodingsProgramTest, AReplacementTheFileCannotHoldLeavesItWithAWarning) {
  WriteFile(tree_ + "/cp1252.txt", "caf\xE9 menu\n");
  ChildResult result = Run({"replace", tree_, "--scope", "folder", "--mask", "cp1252.txt",
                            "--text", "menu", "--with", "меню", "--mode", "plain", "-E",
                            "windows-1252"},
                           "utf-8");
  EXPECT_EQ(ReadBytes(tree_ + "/cp1252.txt"), "caf\xE9 menu\n");
  EXPECT_NE(result.err.find("cannot be written in its encoding"), std::string::npos) << result.err;
  EXPECT_NE(result.err.find("cp1252.txt"), std::string::npos) << result.err;
  // No "?" stands in for what the code page lacks, and no temporary file stays behind.
  result = Run({"search", tree_, "--scope", "folder", "--mask", "*", "--text", "?", "--mode",
                "plain"});
  EXPECT_EQ(result.exitCode, 1) << result.out;
}

TEST_F(EncodingsProgramTest, AnUnknownEncodingIsACommandLineError) {
  ChildResult result = Run({"search", tree_, "-E", "cp1251,klingon"});
  EXPECT_EQ(result.exitCode, 2);
  EXPECT_NE(result.err.find("unknown encoding klingon"), std::string::npos) << result.err;
}

}  // namespace
}  // namespace scenario
