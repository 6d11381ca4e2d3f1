// A line as the core sees it (UTF-8 bytes) beside the line as a wide host holds it (its
// own character values), with the map between the two scales of positions. Used by the
// bridges between wide hosts and the core; pure.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

struct Utf8Line {
  std::string bytes;
  // Where each unit begins: a unit is the host's values that make one indivisible piece of
  // bytes (a character, a surrogate pair, an escaped byte). Ends with {values, bytes}.
  struct Unit {
    int chars;
    int bytes;
  };
  std::vector<Unit> units;
};

// A host position to a byte offset. A position inside a unit counts as the unit's start;
// positions past the line's end count one byte each, as an editor's cursor may stand
// beyond the end of a line.
int CharToByte(const Utf8Line& line, int position);
// A byte offset to a host position: an offset inside a unit goes to its start (floor) or
// past its end (ceil). Offsets past the end count one position each.
int ByteToCharFloor(const Utf8Line& line, int offset);
int ByteToCharCeil(const Utf8Line& line, int offset);

// The longest prefix of text, cut before a character, that fits limit bytes.
std::size_t FitUtf8(std::string_view text, std::size_t limit);

// The values of a line the core set to bytes, given the line's values before and their
// encoding: the bytes the core left as they were at the line's start and at its end keep
// the values they came from (cut at whole units); only the part between is decoded.
template <class Values, class Decode>
Values MergeLineValues(const Values& before, const Utf8Line& encoded, std::string_view bytes,
                       Decode decode) {
  const std::string& old = encoded.bytes;
  const std::size_t common = old.size() < bytes.size() ? old.size() : bytes.size();
  std::size_t head = 0;
  while (head < common && old[head] == bytes[head]) ++head;
  std::size_t tail = 0;
  while (tail < common - head && old[old.size() - 1 - tail] == bytes[bytes.size() - 1 - tail])
    ++tail;
  const int headChars = ByteToCharFloor(encoded, static_cast<int>(head));
  const auto headBytes = static_cast<std::size_t>(CharToByte(encoded, headChars));
  const int tailChars = ByteToCharCeil(encoded, static_cast<int>(old.size() - tail));
  const std::size_t keptTail =
      old.size() - static_cast<std::size_t>(CharToByte(encoded, tailChars));
  Values values = before.substr(0, static_cast<std::size_t>(headChars));
  values += decode(bytes.substr(headBytes, bytes.size() - keptTail - headBytes));
  values += before.substr(static_cast<std::size_t>(tailChars));
  return values;
}
