// Drives, the fault guard, module loading and the code pages of the win32 backend.
#include <cstring>
#include <string>

#include "platform/platform.h"
#include "win32/scratch.h"

namespace {

TEST(Drives, LettersInOrderWithTheirTypesAndRoots) {
  platform::Drive drives[26];
  const int count = platform::ListDrives(drives, 26);
  ASSERT_GT(count, 0);
  bool haveC = false;
  for (int i = 0; i < count; ++i) {
    if (i > 0) {
      EXPECT_LT(drives[i - 1].letter, drives[i].letter);
    }
    EXPECT_EQ(drives[i].root, std::string(1, static_cast<char>('A' + drives[i].letter)) + ":\\");
    EXPECT_EQ(drives[i].type, static_cast<int>(GetDriveTypeA(drives[i].root)));
    if (drives[i].letter == 2) {
      haveC = true;
      EXPECT_EQ(drives[i].type, platform::kDriveFixed);
    }
  }
  EXPECT_TRUE(haveC);
  EXPECT_EQ(platform::ListDrives(nullptr, 0), count);  // only counted
}

TEST(Drives, RootOfAPath) {
  char root[platform::kMaxPath];
  ASSERT_TRUE(platform::FindDriveRoot("C:\\windows\\system32", root, sizeof root));
  EXPECT_STREQ(root, "C:\\");
  ASSERT_TRUE(platform::FindDriveRoot("\\\\server\\share\\folder\\", root, sizeof root));
  EXPECT_STREQ(root, "\\\\server\\share\\");
  EXPECT_FALSE(platform::FindDriveRoot("folder\\file", root, sizeof root));
  EXPECT_FALSE(platform::FindDriveRoot("\\\\server", root, sizeof root));
  char small[3];
  EXPECT_FALSE(platform::FindDriveRoot("C:\\x", small, sizeof small));
}

struct GuardedRead {
  const unsigned char* data;
  std::size_t size;
  bool raise;
  std::string seen;
};

void ReadAll(void* arg) {
  auto* read = static_cast<GuardedRead*>(arg);
  read->seen.assign(reinterpret_cast<const char*>(read->data), 10);
  if (read->raise) {
    // What Windows raises when a page of the view cannot be read from the disk.
    ULONG_PTR info[3] = {0, reinterpret_cast<ULONG_PTR>(read->data + 5000), 0xC000009C};
    RaiseException(EXCEPTION_IN_PAGE_ERROR, 0, 3, info);
  }
  unsigned sum = 0;
  for (std::size_t i = 0; i < read->size; ++i) sum += read->data[i];
  read->seen += std::to_string(sum);
}

TEST(Guard, FaultWhileReadingAViewIsReportedAndTheViewReadsAsZeros) {
  win32test::ScratchFolder scratch;
  ASSERT_FALSE(scratch.path().empty());
  const std::string path = scratch / "mapped.bin";
  win32test::WriteBytes(path, std::string(10000, '\x01'));
  platform::FileView view;
  ASSERT_TRUE(view.Open(path.c_str()));

  GuardedRead clean{view.data(), static_cast<std::size_t>(view.size()), false, {}};
  EXPECT_TRUE(platform::RunGuarded(view.data(), view.size(), ReadAll, &clean));
  EXPECT_EQ(clean.seen, std::string(10, '\x01') + "10000");

  GuardedRead faulted{view.data(), static_cast<std::size_t>(view.size()), true, {}};
  EXPECT_FALSE(platform::RunGuarded(view.data(), view.size(), ReadAll, &faulted));
  // The scan ran to its end (no jump out), over zeros after the fault.
  EXPECT_EQ(faulted.seen, std::string(10, '\x01') + "0");
  view.Close();  // releases the replacement pages, not a view that is gone
  EXPECT_TRUE(view.Open(path.c_str()));
  EXPECT_EQ(view.data()[0], 1);
}

TEST(Modules, LoadedByFullPathOnly) {
  char system[MAX_PATH];
  const unsigned length = GetSystemDirectoryA(system, sizeof system);
  ASSERT_GT(length, 0u);
  const std::string kernel = std::string(system) + "\\kernel32.dll";
  EXPECT_EQ(platform::LoadModule("kernel32.dll"), nullptr);
  platform::Module* module = platform::LoadModule(kernel.c_str());
  ASSERT_NE(module, nullptr);
  EXPECT_NE(platform::FindModuleExport(module, "GetTickCount"), nullptr);
  EXPECT_EQ(platform::FindModuleExport(module, "NoSuchExportHere"), nullptr);
  platform::FreeModule(module);
  EXPECT_EQ(platform::LoadModule((std::string(system) + "\\absent-module.dll").c_str()), nullptr);
}

TEST(Characters, CodePagesAndCaseOfTheSystem) {
  // One OEM character to ANSI and back, checked against the system's own tables.
  int converted = 0;
  for (int c = 0; c < 256; ++c) {
    unsigned char ansi = 0, oem = 0;
    if (!platform::ConvertOemToAnsi(static_cast<unsigned char>(c), &ansi)) continue;
    ++converted;
    ASSERT_TRUE(platform::ConvertAnsiToOem(ansi, &oem)) << c;
    EXPECT_EQ(oem, c);
  }
  EXPECT_GE(converted, 128);  // ASCII at least
  unsigned char ansi = 0;
  ASSERT_TRUE(platform::ConvertOemToAnsi('A', &ansi));
  EXPECT_EQ(ansi, 'A');
  EXPECT_EQ(platform::UpperAnsi('a'), 'A');
  EXPECT_EQ(platform::LowerAnsi('Z'), 'z');
  EXPECT_EQ(platform::UpperAnsi('1'), '1');
  EXPECT_EQ(platform::UpperAnsi(0), 0);
  // A national letter as the ANSI code page has it.
  char letter = static_cast<char>(0xE9);
  CharUpperBuffA(&letter, 1);
  EXPECT_EQ(platform::UpperAnsi(0xE9), static_cast<unsigned char>(letter));
}

TEST(Console, NoConsoleInputMeansNoEscape) {
  // Under the test runner standard input is no console: the poll answers at once.
  EXPECT_FALSE(platform::PollConsoleEscape());
}

}  // namespace
