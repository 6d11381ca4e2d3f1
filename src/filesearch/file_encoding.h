// The encoding a file comes in, and its text in the plugin's text model (UTF-8 or the OEM
// code page): a byte order mark at the file's start names the encoding; a file without
// one is read as it is, or through a code page of the "Encodings" setting.
//
// Decoding keeps every file searchable and every rewrite byte-exact:
// - what cannot be decoded (an unpaired UTF-16 surrogate, a final unit cut short, a byte a
//   code page leaves undefined, invalid UTF-8 read into the OEM code page) becomes bytes no
//   text can hold, so that it matches nothing a user types: in the UTF-8 model an unpaired
//   surrogate takes its three-byte form (no valid UTF-8, so the pattern engine sees no
//   character there) and anything else the byte 0xFF; in the OEM model a 0 byte, which no
//   search text can contain. A character the OEM code page cannot spell becomes a 0 byte
//   too.
// - the replace copies the file's own bytes wherever it changes nothing, and only its
//   replacements are encoded (see StepToText and EncodeText).
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "filesearch/code_pages.h"

enum class SourceEncoding : unsigned char {
  kAsIs,  // the text model's own bytes
  kUtf8,
  kUtf16Le,
  kUtf16Be,
  kUtf32Le,
  kUtf32Be,
  kCodePage,
};

struct FileEncoding {
  SourceEncoding source = SourceEncoding::kAsIs;
  std::size_t bomLength = 0;  // the byte order mark's bytes, which the text leaves out
  const CodePage* codePage = nullptr;
  bool IsAsIs() const { return source == SourceEncoding::kAsIs; }
};

// The encoding the byte order mark at the start of the count bytes names (UTF-8, UTF-16 or
// UTF-32, either order); kAsIs without one. Looks at no more than four bytes.
FileEncoding DetectByteOrderMark(const unsigned char* bytes, std::size_t count);
// How a file without byte order mark is read under an entry of the setting.
FileEncoding EncodingOfReading(const Reading& reading);

// One file's bytes into the text model. toUtf8: the UTF-8 model, else the OEM model.
struct Transcoder {
  FileEncoding encoding;
  bool toUtf8 = true;
};

// The most text bytes count bytes of the file can give.
std::size_t MaxTextSize(const Transcoder& t, std::size_t count);
// Decodes the count bytes into out (room for MaxTextSize of them); returns the text's
// length. Without last, a unit the bytes end inside of is left for the next call: *taken
// says how many bytes were decoded. With last, every byte is.
std::size_t DecodeText(const Transcoder& t, const unsigned char* bytes, std::size_t count,
                       bool last, unsigned char* out, std::size_t* taken);
// Moves *byteAt and *textAt, a pair of positions in the file's bytes (count of them, the
// byte order mark left out) and in their text, on unit by unit until *textAt reaches
// textTarget. False when textTarget lies inside a unit's text.
bool StepToText(const Transcoder& t, const unsigned char* bytes, std::size_t count,
                std::size_t* byteAt, std::size_t* textAt, std::size_t textTarget);
// Appends the n bytes of text (in the text model) to out in the file's encoding. False
// when a character cannot be spelled in it, or the text holds bytes that are no character.
bool EncodeText(const Transcoder& t, const unsigned char* text, std::size_t n, std::string* out);
// Whether the count bytes are valid UTF-8 throughout.
bool IsValidUtf8(const unsigned char* bytes, std::size_t count);
// Whether a file without byte order mark, whose count bytes the model's own reading did
// not find the text in, is worth reading as the entry of the setting says: in the UTF-8
// model valid UTF-8 was read right already, and in the OEM model only valid UTF-8 is read
// as UTF-8. *validUtf8 (-1: not known yet) keeps what was found out about the bytes.
bool IsReadingWorthTrying(const Reading& reading, bool utf8Model, const unsigned char* bytes,
                          std::size_t count, int* validUtf8);
// Whether a file without byte order mark is read as it is before the setting's readings:
// always, but in the UTF-8 model for bytes that are no valid UTF-8 while the setting names
// a code page, which then reads them instead (a replace must not write UTF-8 into them).
bool ReadsAsItIs(const std::vector<Reading>& readings, bool utf8Model, const unsigned char* bytes,
                 std::size_t count, int* validUtf8);
