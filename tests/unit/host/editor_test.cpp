#include "host/editor.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "scratch_folder.h"

namespace {

using host::EditorBuffer;

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

TEST(EditorBuffer, SplitsAtEveryKindOfLineEnd) {
  EditorBuffer editor;
  editor.SetText("a\r\nb\nc\rd\n\re");
  ASSERT_EQ(editor.lines.size(), 6u);
  const char* eols[] = {"\r\n", "\n", "\r", "\n", "\r", ""};
  const char* texts[] = {"a", "b", "c", "d", "", "e"};
  for (std::size_t i = 0; i < 6; ++i) {
    EXPECT_EQ(editor.lines[i].text, texts[i]) << i;
    EXPECT_EQ(editor.lines[i].eol, eols[i]) << i;
  }
}

TEST(EditorBuffer, TextGivesBackTheBytes) {
  const std::string cases[] = {
      "", "\n", "x", "x\n", "\r\n\r\n", "a\r", std::string("z\0\r\n", 4), "a\n\r\r\nb\xFF"};
  for (const std::string& bytes : cases) {
    EditorBuffer editor;
    editor.SetText(bytes);
    EXPECT_EQ(editor.Text(), bytes);
  }
}

TEST(EditorBuffer, GetStringReportsTheSelectionAsTheHostDoes) {
  EditorBuffer editor;
  editor.SetText("0123\n0123\n0123\n0123");
  EditorSelect select{BTYPE_STREAM, 1, 2, 3, 2};  // from (1,2) over two lines to (2,3)
  ASSERT_EQ(editor.Control(ECTL_SELECT, &select), 1);
  int expected[4][2] = {{-1, -1}, {2, -1}, {0, 3}, {-1, -1}};
  for (int line = 0; line < 4; ++line) {
    EditorGetString get{line, nullptr, nullptr, 0, 0, 0};
    ASSERT_EQ(editor.Control(ECTL_GETSTRING, &get), 1);
    EXPECT_EQ(get.SelStart, expected[line][0]) << line;
    EXPECT_EQ(get.SelEnd, expected[line][1]) << line;
  }
  EditorSelect none{BTYPE_NONE, 0, 0, 0, 0};
  editor.Control(ECTL_SELECT, &none);
  EditorGetString get{1, nullptr, nullptr, 0, 0, 0};
  editor.Control(ECTL_GETSTRING, &get);
  EXPECT_EQ(get.SelStart, -1);
  EXPECT_EQ(get.SelEnd, -1);
  EditorInfo info;
  editor.Control(ECTL_GETINFO, &info);
  EXPECT_EQ(info.BlockType, BTYPE_NONE);
}

TEST(EditorBuffer, CursorLineAndKeptLineEnd) {
  EditorBuffer editor;
  editor.SetText("one\r\ntwo\nthree");
  EditorSetPosition position{1, 40, -1, -1, -1, -1};  // beyond the line's end is allowed
  editor.Control(ECTL_SETPOSITION, &position);
  EditorInfo info;
  editor.Control(ECTL_GETINFO, &info);
  EXPECT_EQ(info.TotalLines, 3);
  EXPECT_EQ(info.CurLine, 1);
  EXPECT_EQ(info.CurPos, 40);
  EditorSetPosition keep{-1, -1, -1, -1, -1, -1};
  editor.Control(ECTL_SETPOSITION, &keep);
  editor.Control(ECTL_GETINFO, &info);
  EXPECT_EQ(info.CurPos, 40);

  EditorGetString get{-1, nullptr, nullptr, 0, 0, 0};
  ASSERT_EQ(editor.Control(ECTL_GETSTRING, &get), 1);
  EXPECT_EQ(std::string(get.StringText, get.StringLength), "two");
  EditorSetString set{-1, const_cast<char*>("TWO!"), nullptr, 4};
  ASSERT_EQ(editor.Control(ECTL_SETSTRING, &set), 1);
  EXPECT_TRUE(editor.modified);
  EXPECT_EQ(editor.Text(), "one\r\nTWO!\nthree");
  // A line set from its own text and end (pointers into the line) stays intact.
  EditorGetString own{0, nullptr, nullptr, 0, 0, 0};
  editor.Control(ECTL_GETSTRING, &own);
  EditorSetString same{0, const_cast<char*>(own.StringText + 1), const_cast<char*>(own.StringEOL),
                       own.StringLength - 1};
  editor.Control(ECTL_SETSTRING, &same);
  EXPECT_EQ(editor.Text(), "ne\r\nTWO!\nthree");
  EditorSetString outside{3, const_cast<char*>("x"), nullptr, 1};
  EXPECT_EQ(editor.Control(ECTL_SETSTRING, &outside), 0);
}

// The ANSI table as the real host reports and converts it; the OEM one converts nothing.
// The default tables: OEM 866, ANSI 1251 ("Ж" is 86 and C6).
TEST(EditorBuffer, ConvertsBetweenOemAndTheAnsiTable) {
  EditorBuffer editor;
  EditorInfo info;
  editor.Control(ECTL_GETINFO, &info);
  EXPECT_EQ(info.AnsiMode, 0);
  EXPECT_EQ(info.TableNum, -1);
  std::string text = "a\x86";
  EditorConvertText convert{text.data(), 2};
  ASSERT_EQ(editor.Control(ECTL_OEMTOEDITOR, &convert), 1);
  EXPECT_EQ(text, "a\x86");
  editor.ansiTable = true;
  editor.Control(ECTL_GETINFO, &info);
  EXPECT_EQ(info.AnsiMode, 1);
  ASSERT_EQ(editor.Control(ECTL_OEMTOEDITOR, &convert), 1);
  EXPECT_EQ(text, "a\xC6");
  ASSERT_EQ(editor.Control(ECTL_EDITORTOOEM, &convert), 1);
  EXPECT_EQ(text, "a\x86");
  // Only the given length is converted.
  convert.TextLength = 1;
  editor.Control(ECTL_OEMTOEDITOR, &convert);
  EXPECT_EQ(text, "a\x86");
  EditorConvertText none{nullptr, 1};
  EXPECT_EQ(editor.Control(ECTL_OEMTOEDITOR, &none), 0);
  EditorConvertText negative{text.data(), -1};
  EXPECT_EQ(editor.Control(ECTL_EDITORTOOEM, &negative), 0);
}

TEST(EditorFile, LoadAndSaveKeepEveryByte) {
  ScratchFolder folder;
  const std::string path = folder.path() + "mixed.txt";
  const std::string bytes = std::string("a\r\nb\n\rc\x00\xFE\rlast", 15);
  folder.Write("mixed.txt", bytes);
  chmod(path.c_str(), 0640);
  EditorBuffer editor;
  std::string error;
  ASSERT_TRUE(host::LoadEditorFile(path, &editor, &error)) << error;
  ASSERT_TRUE(host::SaveEditorFile(editor, path, &error)) << error;
  EXPECT_EQ(ReadAll(path), bytes);
  struct stat st;
  ASSERT_EQ(stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  // Nothing but the file is left in the folder.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()),
                          std::filesystem::directory_iterator()),
            1);
}

TEST(EditorFile, FailedSaveLeavesWhatWasThere) {
  ScratchFolder folder;
  // The name now belongs to a folder with a file in it: the rename cannot replace it.
  folder.Write("taken/inside.txt", "old\n");
  EditorBuffer editor;
  editor.SetText("new\n");
  std::string error;
  EXPECT_FALSE(host::SaveEditorFile(editor, folder.path() + "taken", &error));
  EXPECT_NE(error.find("taken"), std::string::npos) << error;
  EXPECT_EQ(ReadAll(folder.path() + "taken/inside.txt"), "old\n");
  // The new version written aside is gone again.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()),
                          std::filesystem::directory_iterator()),
            1);
}

TEST(EditorFile, MissingFileIsAnError) {
  ScratchFolder folder;
  EditorBuffer editor;
  std::string error;
  EXPECT_FALSE(host::LoadEditorFile(folder.path() + "none", &editor, &error));
  EXPECT_NE(error.find("none"), std::string::npos);
}

TEST(EditorFile, OnlyARegularFileLoadsAndTheErrorSaysWhy) {
  ScratchFolder folder;
  folder.MakeFolder("sub");
  ASSERT_EQ(mkfifo((folder.path() + "pipe").c_str(), 0600), 0);
  struct Case {
    const char* name;
    const char* why;
  };
  // A pipe without a writer is refused at once instead of waited on.
  const Case cases[] = {{"sub", "not a regular file"},
                        {"pipe", "not a regular file"},
                        {"none", "No such file or directory"}};
  for (const Case& c : cases) {
    EditorBuffer editor;
    editor.SetText("kept");
    std::string error;
    EXPECT_FALSE(host::LoadEditorFile(folder.path() + c.name, &editor, &error)) << c.name;
    EXPECT_EQ(error, folder.path() + c.name + ": " + c.why);
    EXPECT_EQ(editor.Text(), "kept");
  }
}

TEST(EditorFile, SaveWritesThroughALinkAndGivesANewFileTheUmasksMode) {
  ScratchFolder folder;
  folder.Write("real.txt", "old\n");
  std::filesystem::create_symlink("real.txt", folder.path() + "link.txt");
  EditorBuffer editor;
  editor.SetText("new\n");
  std::string error;
  ASSERT_TRUE(host::SaveEditorFile(editor, folder.path() + "link.txt", &error)) << error;
  EXPECT_TRUE(std::filesystem::is_symlink(folder.path() + "link.txt"));
  EXPECT_EQ(ReadAll(folder.path() + "real.txt"), "new\n");

  const mode_t old = umask(027);
  const bool saved = host::SaveEditorFile(editor, folder.path() + "fresh.txt", &error);
  umask(old);
  ASSERT_TRUE(saved) << error;
  struct stat st;
  ASSERT_EQ(stat((folder.path() + "fresh.txt").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  // The link, its file and the new file: no version written aside is left.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()),
                          std::filesystem::directory_iterator()),
            3);
}

}  // namespace
