#include "filesearch/file_encoding.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "unit/text_model_scope.h"

namespace {

const unsigned char* Data(const std::string& s) {
  return reinterpret_cast<const unsigned char*>(s.data());
}

std::string Decode(const Transcoder& t, const std::string& bytes) {
  std::vector<unsigned char> out(MaxTextSize(t, bytes.size()) + 1);
  std::size_t taken = 0;
  const std::size_t n = DecodeText(t, Data(bytes), bytes.size(), true, out.data(), &taken);
  EXPECT_EQ(taken, bytes.size());
  EXPECT_LE(n, MaxTextSize(t, bytes.size()));
  return std::string(reinterpret_cast<const char*>(out.data()), n);
}

Transcoder Utf8Model(SourceEncoding source, const CodePage* page = nullptr) {
  return Transcoder{FileEncoding{source, 0, page}, true};
}
Transcoder OemModel(SourceEncoding source, const CodePage* page = nullptr) {
  return Transcoder{FileEncoding{source, 0, page}, false};
}

// The OEM model's cases are written for code page 866 (our host's default); another
// system's OEM code page (Wine's 437) skips them.
bool IsOem866() { return platform::CharacterOfOem(0x86) == U'\u0416'; }

const CodePage* Page(const char* name) {
  Reading reading;
  EXPECT_TRUE(FindReading(name, &reading)) << name;
  return reading.codePage;
}

TEST(ByteOrderMarks, NameTheEncodingAndTheirLength) {
  const struct {
    std::string start;
    SourceEncoding source;
    std::size_t length;
  } cases[] = {
      {"\xEF\xBB\xBFhi", SourceEncoding::kUtf8, 3},
      {"\xFF\xFEh\0", SourceEncoding::kUtf16Le, 2},
      {"\xFE\xFF\0h", SourceEncoding::kUtf16Be, 2},
      {std::string("\xFF\xFE\0\0", 4), SourceEncoding::kUtf32Le, 4},
      {std::string("\0\0\xFE\xFF", 4), SourceEncoding::kUtf32Be, 4},
      {"\xFF\xFE", SourceEncoding::kUtf16Le, 2},  // a mark and nothing else
      {"\xEF\xBB", SourceEncoding::kAsIs, 0},     // half a mark is none
      {"\xFF", SourceEncoding::kAsIs, 0},
      {"", SourceEncoding::kAsIs, 0},
      {"hello \xEF\xBB\xBF", SourceEncoding::kAsIs, 0},  // only at the start
  };
  for (const auto& c : cases) {
    const FileEncoding found = DetectByteOrderMark(Data(c.start), c.start.size());
    EXPECT_EQ(found.source, c.source) << c.start;
    EXPECT_EQ(found.bomLength, c.length) << c.start;
  }
}

TEST(Decoding, GivesTheTextModelsText) {
  // "Жук" and a character beyond the basic plane (U+1F600).
  const std::string le = std::string("\x16\x04\x43\x04\x3A\x04 \0\x3D\xD8\x00\xDE", 12);
  const std::string be = std::string("\x04\x16\x04\x43\x04\x3A\0 \xD8\x3D\xDE\x00", 12);
  const struct {
    Transcoder t;
    std::string bytes;
    std::string text;
  } cases[] = {
      {Utf8Model(SourceEncoding::kUtf16Le), le, "Жук \xF0\x9F\x98\x80"},
      {Utf8Model(SourceEncoding::kUtf16Be), be, "Жук \xF0\x9F\x98\x80"},
      {Utf8Model(SourceEncoding::kUtf32Le), std::string("\x16\x04\0\0a\0\0\0", 8), "Жa"},
      {Utf8Model(SourceEncoding::kUtf32Be), std::string("\0\0\x04\x16\0\0\0a", 8), "Жa"},
      {Utf8Model(SourceEncoding::kCodePage, Page("windows-1251")), "\xC6\xF3\xEA!", "Жук!"},
      {Utf8Model(SourceEncoding::kCodePage, Page("koi8-r")), "\xF6\xD5\xCB", "Жук"},
      {Utf8Model(SourceEncoding::kCodePage, Page("cp866")), "\x86\xE3\xAA", "Жук"},
      {Utf8Model(SourceEncoding::kUtf8), "\xD0\x96\xFF", "\xD0\x96\xFF"},  // as it is
      // Into the OEM code page (866 unless QUARIX_OEM_CP says otherwise).
      {OemModel(SourceEncoding::kUtf16Le), le, std::string("\x86\xE3\xAA \0", 5)},
      {OemModel(SourceEncoding::kUtf8), "\xD0\x96x\xE2\x82\xAC", std::string("\x86x\0", 3)},
      {OemModel(SourceEncoding::kCodePage, Page("windows-1251")), "\xC6\xF3\xEA", "\x86\xE3\xAA"},
  };
  for (const auto& c : cases) {
    if (!c.t.toUtf8 && !IsOem866()) continue;
    EXPECT_EQ(Decode(c.t, c.bytes), c.text) << c.text;
  }
}

// Every character of the basic plane, in both byte orders and both models, among ASCII
// on either side: its UTF-8 form, or its OEM byte (0 where the code page has none). The
// OEM reference is the platform's own conversion, so any OEM code page will do.
TEST(Decoding, EveryCharacterOfTheBasicPlane) {
  for (const bool bigEndian : {false, true}) {
    const SourceEncoding source = bigEndian ? SourceEncoding::kUtf16Be : SourceEncoding::kUtf16Le;
    std::string bytes, utf8, oem;
    for (unsigned u = 0x20; u < 0x10000; ++u) {
      if (u >= 0xD800 && u <= 0xDFFF) continue;
      for (const unsigned unit : {u, unsigned{'.'}}) {
        const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
        bytes += bigEndian ? high : low;
        bytes += bigEndian ? low : high;
      }
      std::string one;
      if (u < 0x80) {
        one = std::string(1, static_cast<char>(u));
      } else if (u < 0x800) {
        one = {static_cast<char>(0xC0 | (u >> 6)), static_cast<char>(0x80 | (u & 0x3F))};
      } else {
        one = {static_cast<char>(0xE0 | (u >> 12)), static_cast<char>(0x80 | ((u >> 6) & 0x3F)),
               static_cast<char>(0x80 | (u & 0x3F))};
      }
      utf8 += one + ".";
      unsigned char byte = 0;
      if (u < 0x80)
        byte = static_cast<unsigned char>(u);
      else if (!platform::ConvertCharacterToOem(u, &byte) || platform::CharacterOfOem(byte) != u)
        byte = 0;
      oem += std::string(1, static_cast<char>(byte)) + ".";
    }
    EXPECT_EQ(Decode(Utf8Model(source), bytes), utf8) << (bigEndian ? "BE" : "LE");
    EXPECT_EQ(Decode(OemModel(source), bytes), oem) << (bigEndian ? "BE" : "LE");
  }
}

// What is no character becomes bytes no search text holds: a text search never finds it,
// and neither does a text of the characters around it.
TEST(Decoding, WhatIsNoCharacterMatchesNothing) {
  const struct {
    Transcoder t;
    std::string bytes;
    std::string text;
  } cases[] = {
      // An unpaired high and low surrogate keep their three-byte forms.
      {Utf8Model(SourceEncoding::kUtf16Le), std::string("a\0\x00\xD8" "b\0", 6), "a\xED\xA0\x80" "b"},
      {Utf8Model(SourceEncoding::kUtf16Le), std::string("\x01\xDC", 2), "\xED\xB0\x81"},
      {Utf8Model(SourceEncoding::kUtf16Be), std::string("\xD8\x00", 2), "\xED\xA0\x80"},
      // A final odd byte, and a high surrogate cut short by the end.
      {Utf8Model(SourceEncoding::kUtf16Le), std::string("a\0b", 3), "a\xFF"},
      {Utf8Model(SourceEncoding::kUtf16Le), std::string("a\0\x3D\xD8x", 5), "a\xED\xA0\xBD"},
      {Utf8Model(SourceEncoding::kUtf32Le), std::string("\0\0\x11\0a", 5), "\xFF\xFF"},
      {Utf8Model(SourceEncoding::kCodePage, Page("windows-1251")), "a\x98", "a\xFF"},
      {OemModel(SourceEncoding::kUtf16Le), std::string("\x00\xD8\xAC\x20", 4), std::string(2, '\0')},
  };
  for (const auto& c : cases) EXPECT_EQ(Decode(c.t, c.bytes), c.text) << c.text;
}

// Bytes decoded in pieces of any length, units cut anywhere, give the text of the whole.
TEST(Decoding, PiecesGiveTheTextOfTheWhole) {
  std::mt19937 random(2718);
  const Transcoder transcoders[] = {
      Utf8Model(SourceEncoding::kUtf16Le), Utf8Model(SourceEncoding::kUtf16Be),
      Utf8Model(SourceEncoding::kUtf32Le), OemModel(SourceEncoding::kUtf16Le),
      OemModel(SourceEncoding::kUtf8)};
  const unsigned char alphabet[] = {0x00, 0x04, 0x41, 0xD8, 0xDC, 0x3D, 0xFF, 0x0A, 0xD0, 0x96};
  for (const Transcoder& t : transcoders) {
    for (int round = 0; round < 200; ++round) {
      std::string bytes(random() % 24, '\0');
      for (char& b : bytes) b = static_cast<char>(alphabet[random() % sizeof alphabet]);
      const std::string whole = Decode(t, bytes);
      std::string pieces;
      std::string carried;
      std::size_t at = 0;
      while (at < bytes.size() || !carried.empty()) {
        const std::size_t n = std::min<std::size_t>(1 + random() % 5, bytes.size() - at);
        carried += bytes.substr(at, n);
        at += n;
        const bool last = at == bytes.size();
        std::vector<unsigned char> out(MaxTextSize(t, carried.size()) + 1);
        std::size_t taken = 0;
        const std::size_t got =
            DecodeText(t, Data(carried), carried.size(), last, out.data(), &taken);
        pieces.append(reinterpret_cast<const char*>(out.data()), got);
        carried.erase(0, taken);
        if (last) {
          ASSERT_TRUE(carried.empty());
        }
      }
      ASSERT_EQ(pieces, whole) << "round " << round;
    }
  }
}

TEST(Encoding, SpellsTextInTheFilesEncodingOrRefuses) {
  const struct {
    Transcoder t;
    std::string text;
    bool spelled;
    std::string bytes;
  } cases[] = {
      {Utf8Model(SourceEncoding::kUtf16Le), "Жa\xF0\x9F\x98\x80", true,
       std::string("\x16\x04" "a\0\x3D\xD8\x00\xDE", 8)},
      {Utf8Model(SourceEncoding::kUtf16Be), "Ж", true, "\x04\x16"},
      {Utf8Model(SourceEncoding::kUtf16Le), "\xED\xA0\x80", true, std::string("\x00\xD8", 2)},
      {Utf8Model(SourceEncoding::kUtf32Be), "Ж", true, std::string("\0\0\x04\x16", 4)},
      {Utf8Model(SourceEncoding::kCodePage, Page("windows-1251")), "Жук", true, "\xC6\xF3\xEA"},
      {Utf8Model(SourceEncoding::kCodePage, Page("windows-1252")), "Жук", false, ""},
      {Utf8Model(SourceEncoding::kCodePage, Page("koi8-r")), "€", false, ""},
      {Utf8Model(SourceEncoding::kUtf16Le), "a\xFF", false, ""},  // no character
      {Utf8Model(SourceEncoding::kUtf8), "a\xFF", true, "a\xFF"},  // the model's own bytes
      {OemModel(SourceEncoding::kUtf16Le), "\x86", true, "\x16\x04"},
      {OemModel(SourceEncoding::kUtf8), "\x86", true, "Ж"},
      {OemModel(SourceEncoding::kCodePage, Page("windows-1251")), "\x86", true, "\xC6"},
      {OemModel(SourceEncoding::kCodePage, Page("windows-1251")), "\xCE", false, ""},  // ╬
  };
  for (const auto& c : cases) {
    if (!c.t.toUtf8 && !IsOem866()) continue;
    std::string out;
    EXPECT_EQ(EncodeText(c.t, Data(c.text), c.text.size(), &out), c.spelled) << c.text;
    if (c.spelled) {
      EXPECT_EQ(out, c.bytes) << c.text;
    }
  }
}

// Stepping through a file's bytes and its text together lands on units' borders only.
TEST(Encoding, StepsStopOnlyBetweenUnits) {
  const Transcoder t = Utf8Model(SourceEncoding::kUtf16Le);
  const std::string bytes = std::string("a\0\x16\x04\x3D\xD8\x00\xDE" "b", 9);  // a Ж 😀 odd
  const std::string text = Decode(t, bytes);
  ASSERT_EQ(text, "aЖ\xF0\x9F\x98\x80\xFF");
  const struct {
    std::size_t target;
    bool reached;
    std::size_t byteAt;
  } cases[] = {{0, true, 0}, {1, true, 2}, {2, false, 4}, {3, true, 4},
               {5, false, 8}, {7, true, 8}, {8, true, 9}};
  for (const auto& c : cases) {
    std::size_t byteAt = 0;
    std::size_t textAt = 0;
    EXPECT_EQ(StepToText(t, Data(bytes), bytes.size(), &byteAt, &textAt, c.target), c.reached)
        << c.target;
    EXPECT_EQ(byteAt, c.byteAt) << c.target;
  }
}

TEST(Readings, NamesListsAndWhenEachIsTried) {
  std::vector<Reading> readings;
  EXPECT_TRUE(ParseReadings("auto", &readings));
  EXPECT_TRUE(readings.empty());
  EXPECT_TRUE(ParseReadings("", &readings));
  EXPECT_TRUE(readings.empty());
  ASSERT_TRUE(ParseReadings("Windows-1251, koi8-r 866,cp1251", &readings));
  ASSERT_EQ(readings.size(), 3u);  // the repeated code page once
  EXPECT_STREQ(readings[0].codePage->name, "windows-1251");
  EXPECT_STREQ(readings[1].codePage->name, "koi8-r");
  EXPECT_STREQ(readings[2].codePage->name, "cp866");
  std::string unknown;
  EXPECT_FALSE(ParseReadings("cp1251,ebcdic", &readings, &unknown));
  EXPECT_EQ(unknown, "ebcdic");
  EXPECT_TRUE(readings.empty());

  Reading cp1251;
  Reading utf8;
  Reading utf16;
  ASSERT_TRUE(FindReading("cp1251", &cp1251));
  ASSERT_TRUE(FindReading("UTF-8", &utf8));
  ASSERT_TRUE(FindReading("utf-16le", &utf16));
  const std::string valid = "Жук";
  const std::string invalid = "\xC6\xF3\xEA";
  const struct {
    Reading reading;
    bool utf8Model;
    const std::string& bytes;
    bool tried;
  } cases[] = {
      {cp1251, true, valid, false}, {cp1251, true, invalid, true},
      {cp1251, false, valid, true}, {cp1251, false, invalid, true},
      {utf8, true, invalid, false}, {utf8, false, valid, true},
      {utf8, false, invalid, false}, {utf16, true, valid, true},
  };
  for (const auto& c : cases) {
    int validUtf8 = -1;
    EXPECT_EQ(IsReadingWorthTrying(c.reading, c.utf8Model, Data(c.bytes), c.bytes.size(),
                                   &validUtf8),
              c.tried)
        << c.bytes << " utf8 model " << c.utf8Model;
  }
}

}  // namespace
