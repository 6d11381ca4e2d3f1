#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "filesearch/byte_scan.h"
#include "filesearch/matchers.h"
#include "unit/filesearch/search_run_fixture.h"

namespace {

// The definition: compare at every start position, folding only A-Z when asked.
int ReferenceFind(const std::vector<unsigned char>& bytes, const std::string& text, bool exact) {
  auto fold = [](unsigned char c) { return (c >= 'A' && c <= 'Z') ? c + 32 : c; };
  if (text.size() > bytes.size()) return 0;
  for (std::size_t s = 0; s + text.size() <= bytes.size(); ++s) {
    std::size_t i = 0;
    for (; i < text.size(); ++i) {
      const unsigned char a = bytes[s + i];
      const unsigned char b = static_cast<unsigned char>(text[i]);
      if (exact ? a != b : fold(a) != fold(b)) break;
    }
    if (i == text.size()) return 1;
  }
  return 0;
}

// One run for each case, kept from call to call as a search keeps its context from file to
// file: a range starts with the pairs the last range turned to.
int Find(const std::vector<unsigned char>& bytes, const std::string& text, int caseSensitive) {
  static TestRun exact(MakeSettings("", 0, 1));
  static TestRun folded(MakeSettings("", 0, 0));
  TestRun& test = caseSensitive ? exact : folded;
  return FindLiteral(test.context, bytes.data(), bytes.size(), text.c_str());
}

std::vector<unsigned char> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

TEST(FindLiteral, CaseFoldingCoversAsciiLettersOnly) {
  EXPECT_EQ(Find(Bytes("say Hello there"), "hELLO", 0), 1);
  EXPECT_EQ(Find(Bytes("say Hello there"), "hELLO", 1), 0);
  EXPECT_EQ(Find(Bytes("say Hello there"), "Hello", 1), 1);
  EXPECT_EQ(Find(Bytes("x\x80y"), "X\x80Y", 0), 1);
  EXPECT_EQ(Find(Bytes("x\x80y"), "x\xA0y", 0), 0);  // OEM letters compare exactly
  EXPECT_EQ(Find(Bytes("[a]"), "[A]", 0), 1);
  EXPECT_EQ(Find(Bytes("@"), "`", 0), 0);  // neighbours of the letters do not fold
}

TEST(FindLiteral, EdgesOfTheRange) {
  EXPECT_EQ(Find(Bytes("abc"), "", 1), 1);
  EXPECT_EQ(Find({}, "", 1), 1);
  EXPECT_EQ(Find({}, "a", 1), 0);
  EXPECT_EQ(Find(Bytes("ab"), "abc", 0), 0);
  EXPECT_EQ(Find(Bytes("abc"), "abc", 0), 1);
  EXPECT_EQ(Find(Bytes("xxabc"), "abc", 1), 1);
  EXPECT_EQ(Find(Bytes("abcxx"), "abc", 1), 1);
  EXPECT_EQ(Find(Bytes(std::string("a\0b", 3)), "b", 1), 1);
  // The byte right after the range is never looked at.
  const std::string data = "xxabcd";
  TestRun test(MakeSettings("abcd", 0, 1));
  const auto* bytes = reinterpret_cast<const unsigned char*>(data.data());
  EXPECT_EQ(FindLiteral(test.context, bytes, 5, "abcd"), 0);
  EXPECT_EQ(FindLiteral(test.context, bytes, 6, "abcd"), 1);
}

TEST(FindLiteral, AgreesWithTheDefinitionOnRandomInputs) {
  std::mt19937 random(7151);
  const unsigned char alphabet[] = {'a', 'b', 'A', 'B', 'z', '\r', '\n', 0, 0xC0, 0xE0, ' '};
  int found = 0;
  for (int round = 0; round < 20000; ++round) {
    std::vector<unsigned char> bytes(random() % 80);
    for (auto& b : bytes) b = alphabet[random() % sizeof(alphabet)];
    std::string text(1 + random() % 5, ' ');
    for (auto& c : text) {
      c = static_cast<char>(alphabet[random() % sizeof(alphabet)]);
      if (c == 0) c = 'b';
    }
    // Often a piece of the data itself, in another case now and then.
    if (round % 2 && bytes.size() > text.size()) {
      const std::size_t at = random() % (bytes.size() - text.size());
      for (std::size_t i = 0; i < text.size(); ++i) {
        char c = static_cast<char>(bytes[at + i] ? bytes[at + i] : 'a');
        if (random() % 3 == 0 && ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))) c ^= 0x20;
        text[i] = c;
      }
    }
    const int caseSensitive = static_cast<int>(random() % 2);
    const int expected = ReferenceFind(bytes, text, caseSensitive != 0);
    found += expected;
    ASSERT_EQ(Find(bytes, text, caseSensitive), expected)
        << "round " << round << " text '" << text << "' case " << caseSensitive;
  }
  EXPECT_GT(found, 4000);
  EXPECT_LT(found, 16000);
}

TEST(FindLiteral, LongTextsOverDenseDataAgreeWithTheDefinition) {
  // Every byte of the text is common in the data, so the scan leaves the rarest byte.
  std::mt19937 random(4242);
  const char alphabet[] = "abAB_";
  for (int round = 0; round < 60; ++round) {
    std::string data(20000 + random() % 5000, ' ');
    for (char& c : data) c = alphabet[random() % 5];
    std::string text(8 + random() % 6, ' ');
    for (char& c : text) c = alphabet[random() % 5];
    if (round % 3 == 0) data.replace(data.size() - 1 - random() % 3000, text.size(), text);
    if (round % 3 == 1) data.replace(random() % 100, text.size(), text);
    if (round % 2) text[random() % text.size()] ^= 0x20 * (text[0] != '_');
    const std::vector<unsigned char> bytes = Bytes(data);
    for (int caseSensitive = 0; caseSensitive < 2; ++caseSensitive)
      ASSERT_EQ(Find(bytes, text, caseSensitive), ReferenceFind(bytes, text, caseSensitive != 0))
          << "round " << round << " text " << text << " case " << caseSensitive;
  }
}

TEST(FindLiteral, RepetitiveTextsThatDefeatCandidateChecks) {
  // Candidates at every other byte with long partial matches: the linear search takes over
  // and must give the same answers.
  std::mt19937 random(99);
  for (int round = 0; round < 12; ++round) {
    std::string unit = round % 2 ? "ab" : "aB";
    std::string text;
    for (int i = 0; i < 150; ++i) text += unit;
    std::string data;
    while (data.size() < 20000) {
      for (int i = 0; i < 100 + static_cast<int>(random() % 60); ++i) data += "ab";
      data += random() % 2 ? 'x' : 'b';
    }
    if (round % 4 < 2) data.replace(data.size() - 400, 300, text);
    const std::vector<unsigned char> bytes = Bytes(data);
    for (int caseSensitive = 0; caseSensitive < 2; ++caseSensitive)
      ASSERT_EQ(Find(bytes, text, caseSensitive), ReferenceFind(bytes, text, caseSensitive != 0))
          << "round " << round << " case " << caseSensitive;
  }
}

TEST(FindLiteral, ShortTextsOverDenseDataAgreeAtEveryPlaceNearTheEnd) {
  // The rarest byte is common, so two bytes at their distance drive the scan, many places
  // at a time: a text planted at each place near the end of the data, in either case, and
  // bytes that differ from a letter only in bit 5 ("@" and "`", "_" and DEL), which no
  // caseless comparison may take for each other.
  std::mt19937 random(2718);
  const char alphabet[] = "ab@`_\x7fZz";
  int found = 0;
  for (int round = 0; round < 600; ++round) {
    std::string data(2000 + random() % 200, ' ');
    for (char& c : data) c = alphabet[random() % 8];
    std::string text(2 + random() % 6, ' ');
    for (char& c : text) c = alphabet[random() % 8];
    const std::size_t back = text.size() + random() % 70;  // the last places of all
    std::string planted = text;
    if (round % 3 == 0)
      for (char& c : planted)
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) c ^= 0x20;
    if (round % 4 != 3) data.replace(data.size() - back, planted.size(), planted);
    const std::vector<unsigned char> bytes = Bytes(data);
    for (int caseSensitive = 0; caseSensitive < 2; ++caseSensitive) {
      const int expected = ReferenceFind(bytes, text, caseSensitive != 0);
      found += expected;
      ASSERT_EQ(Find(bytes, text, caseSensitive), expected)
          << "round " << round << " text " << text << " case " << caseSensitive;
    }
  }
  EXPECT_GT(found, 300);
  EXPECT_LT(found, 1100);
}

// Every place of the text, in order, as a plain scan finds them: over sparse data, where
// the rarest byte leads, and over dense data, where the finder turns to byte pairs.
TEST(TextFinder, FindsEveryPlaceOfTheText) {
  std::mt19937 random(57721);
  const char* texts[] = {"ab", "aB", "abc", "a a", "zZz", "x1", "aab", "baab"};
  for (const char* text : texts) {
    for (int caseless = 0; caseless < 2; ++caseless) {
      for (const char* alphabet : {"abAB ", "abcxyzXYZ 1\n", "aaaaaaab"}) {
        for (int round = 0; round < 40; ++round) {
          std::string data(random() % 3000, ' ');
          for (char& c : data) c = alphabet[random() % std::strlen(alphabet)];
          auto fold = [&](std::string s) {
            if (caseless)
              for (char& c : s) c = static_cast<char>(FoldAsciiCase(static_cast<unsigned char>(c)));
            return s;
          };
          const std::string foldedData = fold(data);
          const std::string foldedText = fold(text);
          const std::string textCopy = text;
          // Every other round starts with pairs: the last and the first byte.
          const TextPair ends{textCopy.size() - 1, 0};
          TextFinder finder(reinterpret_cast<const unsigned char*>(data.data()), data.size(),
                            textCopy, caseless != 0, round % 2 == 1 ? &ends : nullptr);
          std::size_t expected = foldedData.find(foldedText);
          std::size_t at = finder.Next(0);
          int places = 0;
          while (expected != std::string::npos) {
            ASSERT_EQ(at, expected) << text << " caseless " << caseless << " place " << places;
            at = finder.Next(at + 1);
            expected = foldedData.find(foldedText, expected + 1);
            ++places;
          }
          ASSERT_EQ(at, data.size()) << text << " caseless " << caseless;
        }
      }
    }
  }
}

// The data decides which bytes of the text are rare, whatever text in general suggests.
TEST(TextFinder, PairsAreTheBytesRarestInTheData) {
  const struct {
    std::string sample;
    std::string text;
    bool caseless;
    std::size_t first, second;
  } cases[] = {
      {"eeeeeeeeeeqqqqqqqq", "qe_", false, 2, 0},  // '_' is not there at all
      {"zzzzzzzzzzzzjjjjj", "zje", false, 2, 1},
      {"ZZZZZzzzzzJJJ", "zjk", true, 2, 1},   // both cases count: j is there, k is not
      {"ZZZZZzzzzzJJJ", "zjk", false, 1, 2},  // neither j nor k: the guess between them
      {"abababababx", "aab", false, 2, 0},    // as many a as b: the guess
      {"aaaaaaaab", "aaab", false, 3, 0},
      {"bbbbb", "aab", false, 0, 2},  // a second copy of the first byte tells little
      {"", "ka", false, 0, 1},  // no data: the guess alone
  };
  for (const auto& c : cases) {
    const TextPair pair =
        ChooseRarePair(reinterpret_cast<const unsigned char*>(c.sample.data()), c.sample.size(),
                       reinterpret_cast<const unsigned char*>(c.text.data()), c.text.size(),
                       c.caseless);
    EXPECT_EQ(pair.first, c.first) << c.sample << " " << c.text;
    EXPECT_EQ(pair.second, c.second) << c.sample << " " << c.text;
  }
}

}  // namespace
