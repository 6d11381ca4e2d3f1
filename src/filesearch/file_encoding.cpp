#include "filesearch/file_encoding.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "common/utf8.h"
#include "platform/platform.h"

namespace {

// What undecodable bytes become (see file_encoding.h).
constexpr unsigned char kUtf8Filler = 0xFF;
constexpr unsigned char kOemFiller = 0x00;
constexpr char32_t kNoCharacter = 0xFFFFFFFF;

// The OEM code page's characters beyond ASCII, sorted, with their bytes: built once from
// the platform's conversions, read-only afterwards, so any thread may look up.
struct OemLetter {
  char32_t character;
  unsigned char byte;
};
struct OemTable {
  std::array<OemLetter, 128> letters{};
  int count = 0;
  // The byte of each character of the basic plane, 0 where the code page has none: one
  // look-up per character where UTF-16 text is decoded.
  std::array<unsigned char, 0x10000> basic{};
};

OemTable BuildOemTable() {
  OemTable table;
  for (int b = 0x80; b < 0x100; ++b) {
    const char32_t c = platform::CharacterOfOem(static_cast<unsigned char>(b));
    unsigned char back = 0;
    // Only a character that comes back as the same byte is the byte's own.
    if (c != platform::kNoOemCharacter && platform::ConvertCharacterToOem(c, &back) && back == b) {
      table.letters[static_cast<std::size_t>(table.count++)] = {c, static_cast<unsigned char>(b)};
      if (c < 0x10000) table.basic[c] = static_cast<unsigned char>(b);
    }
  }
  std::sort(table.letters.begin(), table.letters.begin() + table.count,
            [](const OemLetter& a, const OemLetter& b) { return a.character < b.character; });
  return table;
}

const OemTable& Oem() {
  static const OemTable table = BuildOemTable();
  return table;
}

// The OEM byte of a character; false when the code page has none.
bool FindOemByte(char32_t c, unsigned char* byte) {
  if (c < 0x80) {
    *byte = static_cast<unsigned char>(c);
    return c != 0;
  }
  const OemTable& table = Oem();
  if (c < 0x10000) {
    *byte = table.basic[c];
    return *byte != 0;
  }
  const OemLetter* end = table.letters.data() + table.count;
  const OemLetter* at = std::lower_bound(
      table.letters.data(), end, c,
      [](const OemLetter& letter, char32_t wanted) { return letter.character < wanted; });
  if (at == end || at->character != c) return false;
  *byte = at->byte;
  return true;
}

char32_t OemCharacterOf(unsigned char byte) {
  if (byte < 0x80) return byte;
  const OemTable& table = Oem();
  for (int i = 0; i < table.count; ++i)
    if (table.letters[static_cast<std::size_t>(i)].byte == byte)
      return table.letters[static_cast<std::size_t>(i)].character;
  return kNoCharacter;
}

unsigned Utf16At(const unsigned char* p, bool bigEndian) {
  return bigEndian ? (p[0] << 8 | p[1]) : (p[1] << 8 | p[0]);
}

char32_t Utf32At(const unsigned char* p, bool bigEndian) {
  return bigEndian ? static_cast<char32_t>(p[0]) << 24 | p[1] << 16 | p[2] << 8 | p[3]
                   : static_cast<char32_t>(p[3]) << 24 | p[2] << 16 | p[1] << 8 | p[0];
}

bool IsHighSurrogate(unsigned u) { return u >= 0xD800 && u <= 0xDBFF; }
bool IsLowSurrogate(unsigned u) { return u >= 0xDC00 && u <= 0xDFFF; }

// Writes the text of character c (kNoCharacter: an undecodable unit) to out; its length.
int PutCharacter(bool toUtf8, char32_t c, unsigned char* out) {
  if (c == kNoCharacter) {
    out[0] = toUtf8 ? kUtf8Filler : kOemFiller;
    return 1;
  }
  if (!toUtf8) {
    if (!FindOemByte(c, out)) out[0] = kOemFiller;
    return 1;
  }
  if (c < 0x80) {
    out[0] = static_cast<unsigned char>(c);
    return 1;
  }
  if (c < 0x800) {
    out[0] = static_cast<unsigned char>(0xC0 | (c >> 6));
    out[1] = static_cast<unsigned char>(0x80 | (c & 0x3F));
    return 2;
  }
  if (c < 0x10000) {
    out[0] = static_cast<unsigned char>(0xE0 | (c >> 12));
    out[1] = static_cast<unsigned char>(0x80 | ((c >> 6) & 0x3F));
    out[2] = static_cast<unsigned char>(0x80 | (c & 0x3F));
    return 3;
  }
  out[0] = static_cast<unsigned char>(0xF0 | (c >> 18));
  out[1] = static_cast<unsigned char>(0x80 | ((c >> 12) & 0x3F));
  out[2] = static_cast<unsigned char>(0x80 | ((c >> 6) & 0x3F));
  out[3] = static_cast<unsigned char>(0x80 | (c & 0x3F));
  return 4;
}

// An unpaired surrogate in the UTF-8 model: its three-byte form (ED A0..BF xx), which no
// strict UTF-8 reader takes for a character and which keeps the unit's value.
int PutSurrogate(bool toUtf8, unsigned u, unsigned char* out) {
  if (!toUtf8) {
    out[0] = kOemFiller;
    return 1;
  }
  out[0] = static_cast<unsigned char>(0xE0 | (u >> 12));
  out[1] = static_cast<unsigned char>(0x80 | ((u >> 6) & 0x3F));
  out[2] = static_cast<unsigned char>(0x80 | (u & 0x3F));
  return 3;
}

// The bytes the unit at bytes takes, or 0 when it may take more than the count bytes there
// are (it can be decided only with the bytes that follow).
std::size_t UnitLength(const Transcoder& t, const unsigned char* bytes, std::size_t count) {
  switch (t.encoding.source) {
    case SourceEncoding::kUtf16Le:
    case SourceEncoding::kUtf16Be: {
      if (count < 2) return 0;
      const unsigned u = Utf16At(bytes, t.encoding.source == SourceEncoding::kUtf16Be);
      if (!IsHighSurrogate(u)) return 2;
      if (count < 4) return 0;
      return IsLowSurrogate(Utf16At(bytes + 2, t.encoding.source == SourceEncoding::kUtf16Be)) ? 4
                                                                                               : 2;
    }
    case SourceEncoding::kUtf32Le:
    case SourceEncoding::kUtf32Be:
      return count < 4 ? 0 : 4;
    case SourceEncoding::kUtf8: {
      if (t.toUtf8) return 1;  // passed on byte by byte
      const int n = Utf8SequenceLength(bytes[0]);
      if (n == 0) return 1;
      if (count < static_cast<std::size_t>(n)) {
        // A sequence cut short by the end of the bytes waits for the rest, unless what is
        // there already shows it is no sequence.
        for (std::size_t i = 1; i < count; ++i)
          if ((bytes[i] & 0xC0) != 0x80) return 1;
        return 0;
      }
      char32_t c;
      return DecodeUtf8(bytes, count, &c) > 0 ? static_cast<std::size_t>(n) : 1;
    }
    case SourceEncoding::kAsIs:
    case SourceEncoding::kCodePage:
      return 1;
  }
  return 1;
}

// Decodes the unit of length taken at bytes (as UnitLength gave it, or the bytes left at
// the end of the file); the length of its text in out.
int DecodeUnit(const Transcoder& t, const unsigned char* bytes, std::size_t taken,
               unsigned char* out) {
  const bool bigEndian =
      t.encoding.source == SourceEncoding::kUtf16Be || t.encoding.source == SourceEncoding::kUtf32Be;
  switch (t.encoding.source) {
    case SourceEncoding::kUtf16Le:
    case SourceEncoding::kUtf16Be: {
      if (taken < 2) return PutCharacter(t.toUtf8, kNoCharacter, out);
      const unsigned u = Utf16At(bytes, bigEndian);
      if (taken == 4) {
        const unsigned low = Utf16At(bytes + 2, bigEndian);
        return PutCharacter(t.toUtf8, 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00), out);
      }
      if (IsHighSurrogate(u) || IsLowSurrogate(u)) return PutSurrogate(t.toUtf8, u, out);
      return PutCharacter(t.toUtf8, u, out);
    }
    case SourceEncoding::kUtf32Le:
    case SourceEncoding::kUtf32Be: {
      if (taken < 4) return PutCharacter(t.toUtf8, kNoCharacter, out);
      const char32_t c = Utf32At(bytes, bigEndian);
      const bool valid = c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF);
      return PutCharacter(t.toUtf8, valid ? c : kNoCharacter, out);
    }
    case SourceEncoding::kUtf8: {
      if (t.toUtf8) {
        out[0] = bytes[0];
        return 1;
      }
      char32_t c = kNoCharacter;
      if (taken == 1 && bytes[0] < 0x80) c = bytes[0];
      if (taken > 1) DecodeUtf8(bytes, taken, &c);
      return PutCharacter(false, c, out);
    }
    case SourceEncoding::kCodePage: {
      if (bytes[0] < 0x80) {
        out[0] = bytes[0];
        return 1;
      }
      const char16_t c = t.encoding.codePage->upper[bytes[0] - 0x80];
      return PutCharacter(t.toUtf8, c == 0xFFFF ? kNoCharacter : c, out);
    }
    case SourceEncoding::kAsIs:
      out[0] = bytes[0];
      return 1;
  }
  out[0] = bytes[0];
  return 1;
}

}  // namespace

FileEncoding DetectByteOrderMark(const unsigned char* bytes, std::size_t count) {
  FileEncoding found;
  auto starts = [&](std::initializer_list<unsigned char> mark) {
    return count >= mark.size() && std::equal(mark.begin(), mark.end(), bytes);
  };
  if (starts({0xEF, 0xBB, 0xBF})) {
    found = {SourceEncoding::kUtf8, 3, nullptr};
  } else if (starts({0xFF, 0xFE, 0x00, 0x00})) {
    found = {SourceEncoding::kUtf32Le, 4, nullptr};
  } else if (starts({0x00, 0x00, 0xFE, 0xFF})) {
    found = {SourceEncoding::kUtf32Be, 4, nullptr};
  } else if (starts({0xFF, 0xFE})) {
    found = {SourceEncoding::kUtf16Le, 2, nullptr};
  } else if (starts({0xFE, 0xFF})) {
    found = {SourceEncoding::kUtf16Be, 2, nullptr};
  }
  return found;
}

FileEncoding EncodingOfReading(const Reading& reading) {
  switch (reading.kind) {
    case ReadingKind::kUtf8:
      return {SourceEncoding::kUtf8, 0, nullptr};
    case ReadingKind::kUtf16Le:
      return {SourceEncoding::kUtf16Le, 0, nullptr};
    case ReadingKind::kUtf16Be:
      return {SourceEncoding::kUtf16Be, 0, nullptr};
    case ReadingKind::kCodePage:
      return {SourceEncoding::kCodePage, 0, reading.codePage};
  }
  return {};
}

std::size_t MaxTextSize(const Transcoder& t, std::size_t count) {
  switch (t.encoding.source) {
    case SourceEncoding::kUtf16Le:
    case SourceEncoding::kUtf16Be:
      // A unit of two bytes gives at most three; a lone final byte one.
      return t.toUtf8 ? count / 2 * 3 + 1 : count / 2 + 1;
    case SourceEncoding::kUtf32Le:
    case SourceEncoding::kUtf32Be:
      return t.toUtf8 ? count + 3 : count / 4 + 3;
    case SourceEncoding::kCodePage:
      return t.toUtf8 ? count * 3 : count;
    case SourceEncoding::kUtf8:
    case SourceEncoding::kAsIs:
      return count;
  }
  return count * 3;
}

std::size_t DecodeText(const Transcoder& t, const unsigned char* bytes, std::size_t count,
                       bool last, unsigned char* out, std::size_t* taken) {
  std::size_t at = 0;
  unsigned char* to = out;
  const bool utf16 = t.encoding.source == SourceEncoding::kUtf16Le ||
                     t.encoding.source == SourceEncoding::kUtf16Be;
  const bool bigEndian = t.encoding.source == SourceEncoding::kUtf16Be;
  const OemTable* oem = utf16 && !t.toUtf8 ? &Oem() : nullptr;
  while (at < count) {
    // The common case of UTF-16 text, characters of the basic plane, in a tight loop; a
    // surrogate leaves it for the unit-by-unit way below.
    if (utf16) {
      for (; count - at >= 2; at += 2) {
        const unsigned u = Utf16At(bytes + at, bigEndian);
        if (u < 0x80) {
          *to++ = static_cast<unsigned char>(u);
        } else if (u >= 0xD800 && u <= 0xDFFF) {
          break;
        } else if (oem) {
          const unsigned char byte = oem->basic[u];
          *to++ = byte != 0 ? byte : kOemFiller;
        } else if (u < 0x800) {
          *to++ = static_cast<unsigned char>(0xC0 | (u >> 6));
          *to++ = static_cast<unsigned char>(0x80 | (u & 0x3F));
        } else {
          *to++ = static_cast<unsigned char>(0xE0 | (u >> 12));
          *to++ = static_cast<unsigned char>(0x80 | ((u >> 6) & 0x3F));
          *to++ = static_cast<unsigned char>(0x80 | (u & 0x3F));
        }
      }
      if (at >= count) break;
    }
    std::size_t length = UnitLength(t, bytes + at, count - at);
    if (length == 0) {
      if (!last) break;
      length = count - at;
    }
    to += DecodeUnit(t, bytes + at, length, to);
    at += length;
  }
  *taken = at;
  return static_cast<std::size_t>(to - out);
}

bool StepToText(const Transcoder& t, const unsigned char* bytes, std::size_t count,
                std::size_t* byteAt, std::size_t* textAt, std::size_t textTarget) {
  unsigned char text[4];
  while (*textAt < textTarget && *byteAt < count) {
    std::size_t length = UnitLength(t, bytes + *byteAt, count - *byteAt);
    if (length == 0) length = count - *byteAt;
    *textAt += static_cast<std::size_t>(DecodeUnit(t, bytes + *byteAt, length, text));
    *byteAt += length;
  }
  return *textAt == textTarget;
}

namespace {

// The next character of text in the model at *at (moved past it); kNoCharacter for bytes
// that are none. In the UTF-8 model the three-byte form of a surrogate gives the
// surrogate's value, for an encoding that can hold it.
char32_t NextCharacter(bool fromUtf8, const unsigned char* text, std::size_t n, std::size_t* at) {
  const unsigned char lead = text[*at];
  if (!fromUtf8) {
    ++*at;
    return OemCharacterOf(lead);
  }
  char32_t c;
  const int length = DecodeUtf8(text + *at, n - *at, &c);
  if (length > 0) {
    *at += static_cast<std::size_t>(length);
    return c;
  }
  if (lead == 0xED && n - *at >= 3 && (text[*at + 1] & 0xE0) == 0xA0 &&
      (text[*at + 2] & 0xC0) == 0x80) {
    c = 0xD000 | (text[*at + 1] & 0x3F) << 6 | (text[*at + 2] & 0x3F);
    *at += 3;
    return c;
  }
  ++*at;
  return kNoCharacter;
}

void PutUtf16(unsigned u, bool bigEndian, std::string* out) {
  const char high = static_cast<char>(u >> 8);
  const char low = static_cast<char>(u & 0xFF);
  *out += bigEndian ? high : low;
  *out += bigEndian ? low : high;
}

}  // namespace

bool EncodeText(const Transcoder& t, const unsigned char* text, std::size_t n, std::string* out) {
  const SourceEncoding source = t.encoding.source;
  // The model's own bytes go out as they are.
  if (source == SourceEncoding::kAsIs || (source == SourceEncoding::kUtf8 && t.toUtf8)) {
    out->append(reinterpret_cast<const char*>(text), n);
    return true;
  }
  const bool bigEndian = source == SourceEncoding::kUtf16Be || source == SourceEncoding::kUtf32Be;
  std::size_t at = 0;
  while (at < n) {
    const char32_t c = NextCharacter(t.toUtf8, text, n, &at);
    if (c == kNoCharacter) return false;
    const bool surrogate = c >= 0xD800 && c <= 0xDFFF;
    switch (source) {
      case SourceEncoding::kUtf16Le:
      case SourceEncoding::kUtf16Be:
        if (c >= 0x10000) {
          PutUtf16(0xD800 + ((c - 0x10000) >> 10), bigEndian, out);
          PutUtf16(0xDC00 + ((c - 0x10000) & 0x3FF), bigEndian, out);
        } else {
          PutUtf16(c, bigEndian, out);
        }
        break;
      case SourceEncoding::kUtf32Le:
      case SourceEncoding::kUtf32Be:
        if (surrogate) return false;
        for (int i = 0; i < 4; ++i) {
          const int shift = bigEndian ? 24 - 8 * i : 8 * i;
          *out += static_cast<char>((c >> shift) & 0xFF);
        }
        break;
      case SourceEncoding::kUtf8:
        if (surrogate) return false;
        AppendUtf8(*out, c);
        break;
      case SourceEncoding::kCodePage: {
        if (c < 0x80) {
          *out += static_cast<char>(c);
          break;
        }
        const char16_t* table = t.encoding.codePage->upper;
        const char16_t* found = std::find(table, table + 128, c);
        if (c > 0xFFFF || c == 0xFFFF || found == table + 128) return false;
        *out += static_cast<char>(0x80 + (found - table));
        break;
      }
      case SourceEncoding::kAsIs:
        break;
    }
  }
  return true;
}

bool IsValidUtf8(const unsigned char* bytes, std::size_t count) {
  std::size_t at = 0;
  while (at < count) {
    if (bytes[at] < 0x80) {
      ++at;
      continue;
    }
    char32_t c;
    const int length = DecodeUtf8(bytes + at, count - at, &c);
    if (length == 0) return false;
    at += static_cast<std::size_t>(length);
  }
  return true;
}

bool IsReadingWorthTrying(const Reading& reading, bool utf8Model, const unsigned char* bytes,
                          std::size_t count, int* validUtf8) {
  if (reading.kind == ReadingKind::kUtf16Le || reading.kind == ReadingKind::kUtf16Be) return true;
  if (utf8Model && reading.kind == ReadingKind::kUtf8) return false;  // the model's own
  if (!utf8Model && reading.kind == ReadingKind::kCodePage) return true;
  if (*validUtf8 < 0) *validUtf8 = IsValidUtf8(bytes, count) ? 1 : 0;
  return utf8Model ? *validUtf8 == 0 : *validUtf8 == 1;
}

bool ReadsAsItIs(const std::vector<Reading>& readings, bool utf8Model, const unsigned char* bytes,
                 std::size_t count, int* validUtf8) {
  if (!utf8Model) return true;
  bool namesCodePage = false;
  for (const Reading& reading : readings)
    namesCodePage = namesCodePage || reading.kind == ReadingKind::kCodePage;
  if (!namesCodePage) return true;
  if (*validUtf8 < 0) *validUtf8 = IsValidUtf8(bytes, count) ? 1 : 0;
  return *validUtf8 == 1;
}
