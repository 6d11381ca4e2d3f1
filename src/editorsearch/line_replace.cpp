#include "editorsearch/line_replace.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "common/template.h"
#include "common/text_model.h"

namespace {

constexpr std::size_t kLongestLine = INT_MAX;  // the editor's records count in ints
constexpr std::size_t kFirstRoom = 256;

std::string Expand(const char* subject, const LineHit& hit, const char* templateText,
                   const char* eol) {
  return ExpandTemplate(subject, hit.pairs ? hit.ovector.data() : nullptr, hit.pairs, templateText,
                        eol);
}

// Forward, the new line grows behind the search position while the old bytes from there
// on stay where they are in work. The matcher must see the line as it now stands, so the
// new bytes just before the position, as many as it may read back, are copied in front
// of the old ones (over old bytes already taken into the new line).
LineReplacement ReplaceForward(const LineSearch& search, std::string work, int start,
                               const char* templateText, const char* eol, std::size_t reach,
                               bool (*stop)()) {
  LineReplacement result;
  const std::size_t length = work.size();
  // Room in front of the first byte; a pattern that may read far back gets more once the
  // new line is that long.
  std::size_t room = std::min<std::size_t>(reach, kFirstRoom);
  work.insert(0, room, '\0');
  std::string& output = result.text;
  output.reserve(length);
  std::size_t done = 0;  // the old bytes before this are in output
  std::size_t from = start < 0 ? 0 : std::min(static_cast<std::size_t>(start), length);
  LineHit hit;
  while (from < length) {
    output.append(work, room + done, from - done);
    done = from;
    const std::size_t context = std::min(reach, output.size());
    if (context > room + from) {
      const std::size_t more = std::max(context - from, 2 * room) - room;
      work.insert(0, more, '\0');
      room += more;
    }
    char* window = work.data() + room + from - context;
    std::memcpy(window, output.data() + output.size() - context, context);
    const int offset = static_cast<int>(context);
    const int count = static_cast<int>(length - from);
    // Holding all of the new bytes, the window begins where the line begins.
    const bool found = context == output.size()
                           ? FindInLine(search, window, offset, count, true, &hit)
                           : FindInLineWindow(search, window, offset, count, true, &hit);
    if (!found || hit.start < offset) break;  // none begins before its start offset
    if (stop && stop()) {
      result.stopped = true;
      break;
    }
    const std::size_t matchStart = from + static_cast<std::size_t>(hit.start - offset);
    const std::size_t matchEnd = matchStart + static_cast<std::size_t>(hit.length);
    std::string replacement = Expand(window, hit, templateText, eol);
    const std::size_t before = output.size() + (matchStart - done);
    if (before + replacement.size() + (length - matchEnd) > kLongestLine) {
      result.stopped = true;
      break;
    }
    output.append(work, room + done, matchStart - done);
    output += replacement;
    done = matchEnd;
    ++result.replaced;
    result.position = static_cast<int>(output.size());
    // An empty match would be found again: the character after it is passed over.
    from = matchEnd;
    if (hit.length == 0)
      from += matchEnd < length ? CharacterLengthAt(work.data() + room, length, matchEnd) : 1;
  }
  output.append(work, room + done, length - done);
  return result;
}

// Backward, the line before a replaced match is never changed, so every search runs on
// the old bytes; the new line's end is collected reversed, behind the part still to search.
LineReplacement ReplaceBackward(LineSearch search, std::string line, int start,
                                const char* templateText, const char* eol, bool (*stop)()) {
  LineReplacement result;
  search.inSelection = false;
  EditorGetString view{};
  view.StringText = line.data();
  view.StringLength = static_cast<int>(line.size());
  view.SelStart = view.SelEnd = -1;
  std::size_t kept = line.size();  // the old bytes before this are the line's
  std::string tail;                // the new line after them, reversed
  LineHit hit;
  for (int at = start; LineRegion(search, view, at, true, &hit);) {
    if (stop && stop()) {
      result.stopped = true;
      break;
    }
    const auto matchStart = static_cast<std::size_t>(hit.start);
    const std::size_t matchEnd = matchStart + static_cast<std::size_t>(hit.length);
    std::string replacement = Expand(line.data(), hit, templateText, eol);
    if (matchStart + replacement.size() + (kept - matchEnd) + tail.size() > kLongestLine) {
      result.stopped = true;
      break;
    }
    tail.append(std::make_reverse_iterator(line.begin() + static_cast<std::ptrdiff_t>(kept)),
                std::make_reverse_iterator(line.begin() + static_cast<std::ptrdiff_t>(matchEnd)));
    tail.append(replacement.rbegin(), replacement.rend());
    kept = matchStart;
    ++result.replaced;
    result.position = hit.start;
    // An empty match would be found again: the next region ends one character before it.
    if (hit.length > 0) {
      at = hit.start;
    } else {
      if (hit.start <= 0) break;  // -1 would be the whole line again
      at = static_cast<int>(CharacterStartBefore(line.data(), matchStart));
    }
  }
  line.resize(kept);
  line.append(tail.rbegin(), tail.rend());
  result.text = std::move(line);
  return result;
}

}  // namespace

LineReplacement ReplaceAllInLine(const LineSearch& search, std::string line, int start,
                                 const char* templateText, const char* eol, std::size_t reach,
                                 bool (*stop)()) {
  if (line.size() > kLongestLine) return LineReplacement{std::move(line), 0, -1, true};
  if (search.reverse)
    return ReplaceBackward(search, std::move(line), start, templateText, eol, stop);
  return ReplaceForward(search, std::move(line), start, templateText, eol, reach, stop);
}
