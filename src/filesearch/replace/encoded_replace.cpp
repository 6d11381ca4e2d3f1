#include "filesearch/replace/encoded_replace.h"

#include <string>
#include <vector>

#include "common/text_model.h"
#include "filesearch/file_encoding.h"
#include "filesearch/match_context.h"

namespace {

// The scan over the text of the count bytes (after prefix, the byte order mark, which is
// written first); the sink of out sees the file's bytes.
int ReplaceInText(const Transcoder& transcoder, const unsigned char* bytes, std::size_t count,
                  const std::string& prefix, ReplaceOutput* out, bool* unspellable) {
  std::vector<unsigned char> decoded;
  const unsigned char* text = bytes;
  std::size_t length = count;
  // UTF-8 in the UTF-8 model is its own text.
  if (!(transcoder.toUtf8 && transcoder.encoding.source == SourceEncoding::kUtf8)) {
    decoded.resize(MaxTextSize(transcoder, count));
    std::size_t taken = 0;
    length = DecodeText(transcoder, bytes, count, true, decoded.data(), &taken);
    text = decoded.data();
  }
  const OutputSink* inner = out->sink;
  // Where the bytes not yet written start, in the file and in its text.
  std::size_t byteAt = 0;
  std::size_t textAt = 0;
  auto encode = [&](const std::string& replacement, std::string* encoded) {
    if (EncodeText(transcoder, reinterpret_cast<const unsigned char*>(replacement.data()),
                   replacement.size(), encoded))
      return true;
    *unspellable = true;
    return false;
  };
  OutputSink sink;
  sink.begin = [&] {
    if (!inner->begin()) return 0;
    return prefix.empty() ? 1
                          : inner->write(reinterpret_cast<const unsigned char*>(prefix.data()),
                                         prefix.size());
  };
  sink.confirm = inner->confirm;
  sink.accepts = [&](const std::string& replacement) {
    std::string encoded;
    return encode(replacement, &encoded) ? 1 : 0;
  };
  sink.insert = [&](const std::string& replacement) {
    std::string encoded;
    if (!encode(replacement, &encoded)) return 0;
    return inner->write(reinterpret_cast<const unsigned char*>(encoded.data()), encoded.size());
  };
  // Text the scan keeps is written as the file's own bytes; the text before it, which
  // the scan replaced, is stepped over.
  sink.write = [&](const unsigned char* kept, std::size_t n) {
    const std::size_t from = static_cast<std::size_t>(kept - text);
    if (!StepToText(transcoder, bytes, count, &byteAt, &textAt, from)) {
      *unspellable = true;
      return 0;
    }
    const std::size_t start = byteAt;
    // A match that ends inside a unit of the file (only a search for bytes that are no
    // character can) would cut the unit in two.
    if (!StepToText(transcoder, bytes, count, &byteAt, &textAt, from + n)) {
      *unspellable = true;
      return 0;
    }
    return inner->write(bytes + start, byteAt - start);
  };
  out->sink = &sink;
  const int result = ReplaceInContent(text, length, out);
  out->sink = inner;
  return result;
}

// Whether the scan did something that another reading must not follow: it found a match,
// or it stopped.
bool IsSettled(const ReplaceOutput& out) {
  return out.open || out.failed || out.interrupted || out.limit || out.tooLarge;
}

}  // namespace

int ReplaceInEncodedContent(const unsigned char* content, std::size_t length, ReplaceOutput* out,
                            bool* unspellable) {
  const bool utf8Model = TextIsUtf8();
  const FileEncoding marked = DetectByteOrderMark(content, length);
  if (!marked.IsAsIs()) {
    const std::string mark(reinterpret_cast<const char*>(content), marked.bomLength);
    return ReplaceInText(Transcoder{marked, utf8Model}, content + marked.bomLength,
                         length - marked.bomLength, mark, out, unspellable);
  }
  const std::vector<Reading>& readings = out->context->settings.readings;
  int validUtf8 = -1;  // not looked at yet
  int result = 0;
  if (ReadsAsItIs(readings, utf8Model, content, length, &validUtf8)) {
    result = ReplaceInContent(content, length, out);
    if (IsSettled(*out)) return result;
  }
  for (const Reading& reading : readings) {
    if (!IsReadingWorthTrying(reading, utf8Model, content, length, &validUtf8)) continue;
    result = ReplaceInText(Transcoder{EncodingOfReading(reading), utf8Model}, content, length, "",
                           out, unspellable);
    if (IsSettled(*out)) return result;
  }
  return result;
}
