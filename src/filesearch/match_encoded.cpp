#include "filesearch/match_encoded.h"

#include "common/text_model.h"
#include "filesearch/file_encoding.h"
#include "filesearch/match_context.h"

namespace {

constexpr std::size_t kKeptTextBuffer = 4 << 20;

// The matcher over the text of the count bytes, decoded into the thread's text buffer.
int MatchDecoded(MatchContext& context, const Transcoder& transcoder, const unsigned char* bytes,
                 std::size_t count, Matcher matcher) {
  // UTF-8 in the UTF-8 model needs no decoding.
  if (transcoder.toUtf8 && transcoder.encoding.source == SourceEncoding::kUtf8)
    return count > 0 ? matcher(context, bytes, count) : 0;
  std::vector<unsigned char>& text = context.textBuffer;
  const std::size_t room = MaxTextSize(transcoder, count);
  if (text.size() < room) text.resize(room);
  std::size_t taken = 0;
  const std::size_t length = DecodeText(transcoder, bytes, count, true, text.data(), &taken);
  // A file of nothing but its byte order mark holds no text, as an empty file does.
  const int answer = length > 0 ? matcher(context, text.data(), length) : 0;
  // The text of a large file is not kept for the files after it.
  if (text.size() > kKeptTextBuffer) std::vector<unsigned char>().swap(text);
  return answer;
}

}  // namespace

int MatchInEncoding(MatchContext& context, const unsigned char* bytes, std::size_t count,
                    Matcher matcher) {
  const bool utf8Model = TextIsUtf8();
  const FileEncoding marked = DetectByteOrderMark(bytes, count);
  if (!marked.IsAsIs())
    return MatchDecoded(context, Transcoder{marked, utf8Model}, bytes + marked.bomLength,
                        count - marked.bomLength, matcher);
  const std::vector<Reading>& readings = context.settings.readings;
  if (readings.empty()) return matcher(context, bytes, count);
  int validUtf8 = -1;  // not looked at yet
  int answer = 0;
  if (ReadsAsItIs(readings, utf8Model, bytes, count, &validUtf8)) {
    answer = matcher(context, bytes, count);
    if (answer > 0) return answer;
  }
  for (const Reading& reading : readings) {
    if (context.Stopped()) return 0;
    if (!IsReadingWorthTrying(reading, utf8Model, bytes, count, &validUtf8)) continue;
    const int found =
        MatchDecoded(context, Transcoder{EncodingOfReading(reading), utf8Model}, bytes, count, matcher);
    if (found > 0) return 1;
    if (found < 0 && answer == 0) answer = found;
  }
  return answer;
}
