// The decoding of a file's bytes into the text model, and the encoding of text back:
// decoding in two pieces (split anywhere) gives the text decoding at once gives, and never
// more than MaxTextSize bytes of it; stepping through the bytes unit by unit reaches the
// text's end at the bytes' end; text that EncodeText takes decodes back to itself.
//
// Input: a byte choosing the encoding and the model, a byte choosing where to split, then
// the file's bytes (the byte order mark left out).
#include <cstdint>
#include <string>
#include <vector>

#include "filesearch/code_pages.h"
#include "filesearch/file_encoding.h"
#include "fuzz_support.h"

namespace {

Transcoder ChooseTranscoder(unsigned char choice) {
  Transcoder t;
  t.toUtf8 = (choice & 0x80) == 0;
  const int kind = (choice & 0x7F) % (5 + kCodePageCount);
  const SourceEncoding sources[] = {SourceEncoding::kUtf8, SourceEncoding::kUtf16Le,
                                    SourceEncoding::kUtf16Be, SourceEncoding::kUtf32Le,
                                    SourceEncoding::kUtf32Be};
  if (kind < 5) {
    t.encoding.source = sources[kind];
  } else {
    t.encoding.source = SourceEncoding::kCodePage;
    t.encoding.codePage = &kCodePages[kind - 5];
  }
  return t;
}

std::string Decode(const Transcoder& t, const unsigned char* bytes, std::size_t count, bool last,
                   std::size_t* taken) {
  std::vector<unsigned char> out(MaxTextSize(t, count) + 1);
  const std::size_t length = DecodeText(t, bytes, count, last, out.data(), taken);
  if (length > MaxTextSize(t, count))
    fuzz::Fail("DecodeText wrote " + std::to_string(length) + " bytes, more than " +
               std::to_string(MaxTextSize(t, count)));
  return std::string(reinterpret_cast<const char*>(out.data()), length);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::Input input(data, size);
  const Transcoder t = ChooseTranscoder(input.TakeByte());
  const unsigned char split = input.TakeByte();
  const std::string file = input.TakeRest();
  const auto* bytes = reinterpret_cast<const unsigned char*>(file.data());
  std::size_t taken = 0;
  const std::string whole = Decode(t, bytes, file.size(), true, &taken);
  if (taken != file.size())
    fuzz::Fail("the last piece left " + std::to_string(file.size() - taken) + " bytes of " +
               fuzz::Show(file));

  // The same text from two pieces: the first ends anywhere, the unit it ends inside of
  // goes with the second.
  const std::size_t cut = file.empty() ? 0 : split % (file.size() + 1);
  std::size_t first = 0;
  std::string pieces = Decode(t, bytes, cut, false, &first);
  if (first > cut) fuzz::Fail("a piece took more bytes than it had");
  std::size_t second = 0;
  pieces += Decode(t, bytes + first, file.size() - first, true, &second);
  if (pieces != whole)
    fuzz::Fail("cut at " + std::to_string(cut) + ", " + fuzz::Show(file) + " decoded to " +
               fuzz::Show(pieces) + ", at once to " + fuzz::Show(whole));

  // Unit by unit, the bytes and the text end together.
  std::size_t byteAt = 0, textAt = 0;
  if (!StepToText(t, bytes, file.size(), &byteAt, &textAt, whole.size()) ||
      byteAt != file.size() || textAt != whole.size())
    fuzz::Fail("stepping through " + fuzz::Show(file) + " stopped at byte " +
               std::to_string(byteAt) + ", text " + std::to_string(textAt) + " of " +
               std::to_string(whole.size()));

  // Text the encoding can spell comes back as it went.
  std::string encoded;
  if (EncodeText(t, reinterpret_cast<const unsigned char*>(whole.data()), whole.size(), &encoded)) {
    const std::string again = Decode(t, reinterpret_cast<const unsigned char*>(encoded.data()),
                                     encoded.size(), true, &taken);
    if (again != whole)
      fuzz::Fail("the text " + fuzz::Show(whole) + " encoded to " + fuzz::Show(encoded) +
                 " and decoded to " + fuzz::Show(again));
  }
  return 0;
}
