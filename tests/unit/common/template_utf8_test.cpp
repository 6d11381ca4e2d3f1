// The template's case escapes in the UTF-8 text model: whole characters convert.
#include <gtest/gtest.h>

#include <string>

#include "common/template.h"
#include "unit/text_model_scope.h"

namespace {

// Expands the template with the whole subject as the match (pair 0) and as group 1.
std::string Expand(const std::string& templateText, const std::string& subject) {
  const int ovector[] = {0, static_cast<int>(subject.size()), 0,
                         static_cast<int>(subject.size())};
  return ExpandTemplate(subject.c_str(), ovector, 2, templateText.c_str(), "\r\n");
}

struct Case {
  std::string templateText;
  std::string subject;
  std::string expected;
};

TEST(Utf8Template, CaseEscapesConvertWholeCharacters) {
  TextModelScope utf8(true);
  const Case cases[] = {
      {"\\U$1", "дом", "ДОМ"},
      {"\\L$0", "ДОМ Ёж", "дом ёж"},
      {"\\u$1", "éa", "Éa"},
      {"\\l$1", "ÉA", "éA"},
      {"\\L\\u$1", "ПРИВЕТ", "Привет"},
      {"\\U\\l$1", "привет", "пРИВЕТ"},
      {"\\U$1\\E$1", "straße", "STRAßEstraße"},  // no one-to-one upper case: kept
      {"\\Uσοφός", "", "ΣΟΦΌΣ"},
      {"\\Uжук-日本-abc", "", "ЖУК-日本-ABC"},
      {"[\\U$1]", "ǆ", "[Ǆ]"},
  };
  for (const Case& c : cases) EXPECT_EQ(Expand(c.templateText, c.subject), c.expected) << c.templateText;
}

TEST(Utf8Template, TheOtherCaseMayHaveADifferentLength) {
  TextModelScope utf8(true);
  const Case cases[] = {
      {"\\U$1", "ı", "I"},                          // 2 bytes to 1
      {"\\U$1", "ſ", "S"},                          // 2 bytes to 1
      {"\\U$1", "ⱥ", "Ⱥ"},                          // 3 bytes to 2
      {"\\U$1", "ȿ", "Ȿ"},                          // 2 bytes to 3
      {"\\L$1", "\xE2\x84\xAA", "k"},               // the Kelvin sign, 3 bytes to 1
      {"\\u$1x", "ıa", "Iax"},
  };
  for (const Case& c : cases) EXPECT_EQ(Expand(c.templateText, c.subject), c.expected) << c.subject;
}

TEST(Utf8Template, BytesThatAreNoCharacterPassUnchanged) {
  TextModelScope utf8(true);
  const Case cases[] = {
      {"\\U$1", "a\xFF" "b", "A\xFF" "B"},
      {"\\U$1", "\xD0" "a", "\xD0" "A"},             // a sequence cut short
      {"\\U$1", "\xC0\xAF" "д", "\xC0\xAF" "Д"},     // an overlong form
      {"\\U$1", "\xED\xA0\x80" "д", "\xED\xA0\x80" "Д"},  // a surrogate
      {"\\U$1", "\xD0", "\xD0"},                     // cut short by the end
      {"\\u$1", "\xFF" "ab", "\xFF" "Ab"},           // the one-shot waits for a character
  };
  for (const Case& c : cases) EXPECT_EQ(Expand(c.templateText, c.subject), c.expected) << c.subject;
}

TEST(Utf8Template, EscapedBytesJoinIntoCharacters) {
  TextModelScope utf8(true);
  EXPECT_EQ(Expand("\\U\\xd0\\xb4", ""), "Д");
  EXPECT_EQ(Expand("\\U\\320\\264", ""), "Д");  // octal 320 and 264: the bytes of "д"
  EXPECT_EQ(Expand("\\U\\д", ""), "Д");               // an escaped character emits itself
  // A zero byte adds nothing and ends a character begun before it.
  EXPECT_EQ(Expand("\\U\\xd0\\x00\\xb4", ""), "\xD0\xB4");
}

// The OEM model converts bytes through the code pages as it always did.
TEST(OemTemplate, UnchangedByTheUtf8Model) {
  TextModelScope oem(false);
  const Case cases[] = {
      {"\\U$1", "abc", "ABC"},
      {"\\U$1", "a\xA0\xA1z", "A\x80\x81Z"},  // code page 866 letters
      {"\\L\\u$1", "hELLO", "Hello"},
      {"\\U$1", "\xC4", "\xC4"},               // a box-drawing character
  };
  for (const Case& c : cases) EXPECT_EQ(Expand(c.templateText, c.subject), c.expected) << c.subject;
  // UTF-8 bytes are single OEM characters: no whole-character conversion.
  EXPECT_NE(Expand("\\U$1", "дом"), "ДОМ");
}

}  // namespace
