#include "common/line_units.h"

#include <algorithm>
#include <iterator>

namespace {

// A position on one scale of a line (values or bytes) on the other: the start of the unit
// it falls in, or with up the end of that unit; past the line's end one for one.
template <int Utf8Line::Unit::*From, int Utf8Line::Unit::*To>
int MapPosition(const Utf8Line& line, int value, bool up) {
  const Utf8Line::Unit& end = line.units.back();
  if (value < 0) return value;
  if (value >= end.*From) return end.*To + (value - end.*From);
  auto unit =
      std::prev(std::upper_bound(line.units.begin(), line.units.end(), value,
                                 [](int v, const Utf8Line::Unit& u) { return v < u.*From; }));
  if (up && (*unit).*From < value) ++unit;
  return (*unit).*To;
}

}  // namespace

int CharToByte(const Utf8Line& line, int position) {
  return MapPosition<&Utf8Line::Unit::chars, &Utf8Line::Unit::bytes>(line, position, false);
}

int ByteToCharFloor(const Utf8Line& line, int offset) {
  return MapPosition<&Utf8Line::Unit::bytes, &Utf8Line::Unit::chars>(line, offset, false);
}

int ByteToCharCeil(const Utf8Line& line, int offset) {
  return MapPosition<&Utf8Line::Unit::bytes, &Utf8Line::Unit::chars>(line, offset, true);
}

std::size_t FitUtf8(std::string_view text, std::size_t limit) {
  if (text.size() <= limit) return text.size();
  std::size_t cut = limit;
  while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
  return cut;
}
