// The UTF-8 functions against Unicode's table of well-formed sequences and against each
// other: DecodeUtf8 and Utf8SequenceLength at every offset, AppendUtf8 giving back the
// bytes decoded and decoding back to every code point it writes, HasNonAscii, and the
// text model's steps: the characters CharacterLengthAt walks forward are those
// CharacterStartBefore walks backward, in both models.
//
// Input: any bytes; each four of them also make a code point to write.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "common/text_model.h"
#include "common/utf8.h"
#include "fuzz_support.h"
#include "reference_utf8.h"

namespace {

void CheckDecoding(const std::string& text) {
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  for (std::size_t at = 0; at < text.size(); ++at) {
    char32_t got = 0, want = 0;
    const int length = DecodeUtf8(p + at, text.size() - at, &got);
    const int expected = fuzz::ReferenceDecode(text, at, &want);
    if (length != expected || (length > 0 && got != want))
      fuzz::Fail("DecodeUtf8 at " + std::to_string(at) + " of " + fuzz::Show(text) + " gave " +
                 std::to_string(length) + " U+" + std::to_string(got) + ", expected " +
                 std::to_string(expected) + " U+" + std::to_string(want));
    if (Utf8SequenceLength(p[at]) != fuzz::ReferenceLeadLength(p[at]))
      fuzz::Fail("Utf8SequenceLength of " + fuzz::Show(text.substr(at, 1)));
    if (length == 0) continue;
    std::string written;
    AppendUtf8(written, got);
    if (written != text.substr(at, static_cast<std::size_t>(length)))
      fuzz::Fail("AppendUtf8 of what " + fuzz::Show(text.substr(at, length)) + " decodes to gave " +
                 fuzz::Show(written));
  }
  bool nonAscii = false;
  for (unsigned char c : text) nonAscii = nonAscii || c >= 0x80;
  if (HasNonAscii(text.data(), text.size()) != nonAscii)
    fuzz::Fail("HasNonAscii of " + fuzz::Show(text));
}

void CheckEncoding(const std::string& text) {
  for (std::size_t at = 0; at + 4 <= text.size(); at += 4) {
    std::uint32_t raw = 0;
    for (int k = 0; k < 4; ++k) raw = raw << 8 | static_cast<unsigned char>(text[at + k]);
    // Spread over every length of sequence; surrogates are no code points.
    const char32_t c = raw % 0x110000;
    if (c >= 0xD800 && c <= 0xDFFF) continue;
    std::string written;
    AppendUtf8(written, c);
    char32_t back = 0;
    const int length = fuzz::ReferenceDecode(written, 0, &back);
    if (length != static_cast<int>(written.size()) || back != c)
      fuzz::Fail("AppendUtf8(U+" + std::to_string(c) + ") wrote " + fuzz::Show(written));
  }
}

void CheckSteps(const std::string& text, bool utf8) {
  SetTextIsUtf8(utf8);
  std::vector<std::size_t> forward, expected;
  for (std::size_t at = 0; at < text.size();) {
    forward.push_back(at);
    at += CharacterLengthAt(text.data(), text.size(), at);
  }
  for (std::size_t at = 0; at < text.size();) {
    expected.push_back(at);
    char32_t c;
    const int length = utf8 ? fuzz::ReferenceDecode(text, at, &c) : 1;
    at += length > 0 ? static_cast<std::size_t>(length) : 1;
  }
  std::vector<std::size_t> backward;
  for (std::size_t at = text.size(); at > 0;) {
    const std::size_t before = CharacterStartBefore(text.data(), at);
    if (before >= at) fuzz::Fail("CharacterStartBefore did not go back in " + fuzz::Show(text));
    at = before;
    backward.push_back(at);
  }
  std::reverse(backward.begin(), backward.end());
  if (forward != expected || backward != expected)
    fuzz::Fail(std::string("the character steps of ") + fuzz::Show(text) +
               (utf8 ? " (UTF-8)" : " (OEM)") + " differ forward or backward");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  CheckDecoding(text);
  CheckEncoding(text);
  CheckSteps(text, true);
  CheckSteps(text, false);
  return 0;
}
