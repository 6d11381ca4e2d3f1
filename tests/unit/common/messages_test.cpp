// The reference below is the C standard's printf. The Windows runtime's own printf lacks
// some of its length modifiers, so the Windows build takes mingw's conforming one.
#if defined(_WIN32) && !defined(__USE_MINGW_ANSI_STDIO)
#define __USE_MINGW_ANSI_STDIO 1
#endif

#include "common/messages.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "common/host_binding.h"

namespace {

constexpr int kModuleNumber = 7;
std::string LongMessage(600, 'm');
std::string LastText;
int LastModule = -1;

const char* FARAPI TestGetMsg(FarModuleNumber moduleNumber, int number) {
  LastModule = moduleNumber;
  if (number == 1500) return LongMessage.c_str();
  LastText = "message " + std::to_string(number);
  return LastText.c_str();
}

class ExpandDialogItemsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Info = PluginStartupInfo{};
    Info.ModuleNumber = kModuleNumber;
    Info.GetMsg = TestGetMsg;
  }

  // Expands one description into an item prefilled with a marker byte.
  FarDialogItem Expand(const DialogItemSpec& desc) {
    FarDialogItem item;
    std::memset(&item, 0x5A, sizeof(item));
    ExpandDialogItems(&desc, &item, 1);
    return item;
  }
};

DialogItemSpec Described(std::uintptr_t data) {
  DialogItemSpec desc{};
  desc.Type = DI_EDIT;
  desc.Data = data;
  return desc;
}

TEST_F(ExpandDialogItemsTest, DataNamesAnEmptyTextAMessageOrAnAddress) {
  static const char kLiteral[] = "a literal text";
  struct Case {
    std::uintptr_t data;
    std::string expected;
  } cases[] = {
      {0, ""},
      {1, "message 1"},
      {1999, "message 1999"},
      {TextData(kLiteral), kLiteral},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.data);
    FarDialogItem item = Expand(Described(c.data));
    EXPECT_EQ(item.Data, c.expected);
  }
}

TEST_F(ExpandDialogItemsTest, MessagesAreLookedUpWithThePluginsModuleNumber) {
  LastModule = -1;
  Expand(Described(12));
  EXPECT_EQ(LastModule, kModuleNumber);
}

TEST_F(ExpandDialogItemsTest, FieldsAreWidenedWithoutSignAndSelectedPassesUnchanged) {
  static const char kHistory[] = "SearchText";
  DialogItemSpec desc{};
  desc.Type = DI_CHECKBOX;
  desc.X1 = 200;
  desc.Y1 = 255;
  desc.X2 = 128;
  desc.Y2 = 3;
  desc.Focus = 1;
  desc.Selected = reinterpret_cast<std::uintptr_t>(kHistory);
  desc.Flags = DIF_HISTORY | DIF_BOXCOLOR;
  desc.DefaultButton = 1;
  FarDialogItem item = Expand(desc);
  EXPECT_EQ(item.Type, DI_CHECKBOX);
  EXPECT_EQ(item.X1, 200);
  EXPECT_EQ(item.Y1, 255);
  EXPECT_EQ(item.X2, 128);
  EXPECT_EQ(item.Y2, 3);
  EXPECT_EQ(item.Focus, 1);
  EXPECT_EQ(item.History, kHistory);
  EXPECT_EQ(item.Flags, DIF_HISTORY | DIF_BOXCOLOR);
  EXPECT_EQ(item.DefaultButton, 1);
}

TEST_F(ExpandDialogItemsTest, TextsLongerThanTheItemHoldsAreCut) {
  std::string literal(700, 'x');
  for (std::uintptr_t data : {TextData(literal.c_str()), std::uintptr_t{1500}}) {
    FarDialogItem item = Expand(Described(data));
    EXPECT_EQ(strnlen(item.Data, sizeof(item.Data)), 511u);
  }
}

TEST_F(ExpandDialogItemsTest, ExpandsEveryItemInOrder) {
  DialogItemSpec descs[3] = {Described(7), Described(0), Described(9)};
  descs[1].Type = DI_BUTTON;
  FarDialogItem items[3];
  ExpandDialogItems(descs, items, 3);
  EXPECT_STREQ(items[0].Data, "message 7");
  EXPECT_STREQ(items[1].Data, "");
  EXPECT_EQ(items[1].Type, DI_BUTTON);
  EXPECT_STREQ(items[2].Data, "message 9");
}

TEST(FormatMessageNumberTest, SubstitutesOnlyTheFirstDecimalConversion) {
  struct Case {
    const char* text;
    long long value;
    std::string expected;
  } cases[] = {
      {"Files tested", 42, "Files tested"},
      {"Files tested: %d", 42, "Files tested: 42"},
      {"%i found", 7, "7 found"},
      {"[%5d]", 42, "[   42]"},
      {"[%-5d]", 42, "[42   ]"},
      {"[%05d]", 42, "[00042]"},
      {"[%2d]", 12345, "[12345]"},
      {"Name %s: %d", 3, "Name %s: 3"},
      {"%d of %d", 3, "3 of %d"},
      {"100%% done, %d left", 9, "100% done, 9 left"},
      {"ends with %", 1, "ends with %"},
      {"%d", -15, "-15"},
      {"%d", 4000000000LL, "4000000000"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(FormatMessageNumber(c.text, c.value), c.expected);
  }
}

// What snprintf makes of the format with the value passed as its conversion expects it.
std::string PrintfNumber(const std::string& format, long long value) {
  char type = format.back();
  bool unsignedType = type == 'u';
  auto has = [&](const char* modifier) {
    std::string tail = std::string(modifier) + type;
    return format.size() > tail.size() && format.compare(format.size() - tail.size(),
                                                         tail.size(), tail) == 0;
  };
  // The sign flags have no effect on an unsigned conversion; mingw's printf still pads a
  // blank for one, so the reference takes them out.
  std::string conforming = format;
  if (unsignedType) {
    std::size_t flags = conforming.find('%') + 1;
    while (flags < conforming.size() && std::strchr("-+ #0", conforming[flags])) {
      if (conforming[flags] == '+' || conforming[flags] == ' ')
        conforming.erase(flags, 1);
      else
        ++flags;
    }
  }
  char buffer[256];
  const char* f = conforming.c_str();
  if (has("hh"))
    unsignedType ? std::snprintf(buffer, sizeof buffer, f, static_cast<unsigned char>(value))
                 : std::snprintf(buffer, sizeof buffer, f, static_cast<signed char>(value));
  else if (has("h"))
    unsignedType ? std::snprintf(buffer, sizeof buffer, f, static_cast<unsigned short>(value))
                 : std::snprintf(buffer, sizeof buffer, f, static_cast<short>(value));
  else if (has("ll"))
    unsignedType ? std::snprintf(buffer, sizeof buffer, f, static_cast<unsigned long long>(value))
                 : std::snprintf(buffer, sizeof buffer, f, value);
  else if (has("l"))
    unsignedType ? std::snprintf(buffer, sizeof buffer, f, static_cast<unsigned long>(value))
                 : std::snprintf(buffer, sizeof buffer, f, static_cast<long>(value));
  else if (has("j"))
    unsignedType ? std::snprintf(buffer, sizeof buffer, f, static_cast<std::uintmax_t>(value))
                 : std::snprintf(buffer, sizeof buffer, f, static_cast<std::intmax_t>(value));
  else if (has("z") || has("t"))
    unsignedType ? std::snprintf(buffer, sizeof buffer, f, static_cast<std::size_t>(value))
                 : std::snprintf(buffer, sizeof buffer, f, static_cast<std::ptrdiff_t>(value));
  else
    unsignedType ? std::snprintf(buffer, sizeof buffer, f, static_cast<unsigned>(value))
                 : std::snprintf(buffer, sizeof buffer, f, static_cast<int>(value));
  return buffer;
}

TEST(FormatMessageNumberTest, ShowsTheNumberAsPrintfDoes) {
  const char* flagSets[] = {"", "-", "0", "+", " ", "-0", "+0", "- ", "#"};
  const char* widths[] = {"", "1", "4", "8"};
  const char* precisions[] = {"", ".", ".0", ".1", ".3", ".6"};
  const char* modifiers[] = {"", "hh", "h", "l", "ll", "j", "z", "t"};
  const long long values[] = {0, 7, -7, 42, -15, 300, -129, 12345, 70000, -70000};
  int compared = 0;
  for (const char* flags : flagSets)
    for (const char* width : widths)
      for (const char* precision : precisions)
        for (const char* modifier : modifiers)
          for (char type : {'d', 'i', 'u'})
            for (long long value : values) {
              // Without h or hh, %u of a negative number depends on the type's width.
              if (type == 'u' && value < 0 && modifier[0] != 'h') continue;
              std::string format =
                  std::string("%") + flags + width + precision + modifier + type;
              std::string text = "<" + format + ">";
              SCOPED_TRACE(text + " " + std::to_string(value));
              EXPECT_EQ(FormatMessageNumber(text.c_str(), value),
                        "<" + PrintfNumber(format, value) + ">");
              ++compared;
            }
  EXPECT_GT(compared, 10000);
}

TEST(FormatMessageNumberTest, HugeWidthsAndPrecisionsStayWithinTheLine) {
  EXPECT_EQ(FormatMessageNumber("%.999999999999999999999d", 5).size(), 79u);
  EXPECT_EQ(FormatMessageNumber("%-99999.99999ld|", 5).size(), 79u);
  // Cut where printf's whole text would be cut.
  EXPECT_EQ(FormatMessageNumber("%.3d", 5, 2), "00");
  EXPECT_EQ(FormatMessageNumber("%5d", 123, 4), "  12");
  EXPECT_EQ(FormatMessageNumber("%-+8.4hd|", 70000, 6), "+4464 ");
}

TEST(FormatMessageNumberTest, CutsTheLineToItsLimit) {
  std::string text(200, 'a');
  text += "%d";
  EXPECT_EQ(FormatMessageNumber(text.c_str(), 1), std::string(79, 'a'));
  EXPECT_EQ(FormatMessageNumber("%d files", 123456, 4), "1234");
  // A width far beyond the line never builds more than the line holds.
  EXPECT_EQ(FormatMessageNumber("%999999999d", 5).size(), 79u);
}

}  // namespace
