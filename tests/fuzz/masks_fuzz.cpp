// The file masks against reference rules: "*" any run of characters (after a star the
// rest of the mask is never tried against an empty remainder, unless the star ends the
// mask), "?" exactly one character, any other character equal without regard to case
// (ASCII letters in the OEM model, every letter in the UTF-8 model, where a character is a
// whole UTF-8 sequence and a byte that is none only equals itself); a list cut at the
// delimiter, a mask that begins with the negation character excludes, and a name without
// a "." tested with one appended when DotAsteriskMatchesNoExtension is set.
//
// Input: a flags byte (bit 0 the UTF-8 model, bit 1 DotAsteriskMatchesNoExtension, bit 2
// a delimiter and a negation character of the input's own instead of "," and "!"), those
// two bytes when asked for, the mask list (ended by a zero byte), then the name.
#include <cstdint>
#include <string>
#include <vector>

#include "filesearch/masks.h"
#include "filesearch/settings.h"
#include "common/text_model.h"
#include "fuzz_support.h"
#include "platform/platform.h"
#include "reference_utf8.h"

namespace {

// One character of a mask or a name: a wildcard, or what it compares as.
struct Unit {
  enum Kind { kCharacter, kStar, kAny } kind;
  std::uint64_t key;
};

std::uint64_t KeyOfByte(unsigned char c, bool utf8) {
  if (utf8 && c >= 0x80) return 0x100000000ull | c;  // no character: only itself
  return (c >= 'a' && c <= 'z') ? c - 32 : c;
}

std::vector<Unit> ReadUnits(const std::string& text, bool utf8, bool wildcards) {
  std::vector<Unit> units;
  for (std::size_t at = 0; at < text.size();) {
    const auto c = static_cast<unsigned char>(text[at]);
    if (wildcards && (c == '*' || c == '?')) {
      units.push_back({c == '*' ? Unit::kStar : Unit::kAny, 0});
      ++at;
      continue;
    }
    char32_t code;
    const int length = utf8 ? fuzz::ReferenceDecode(text, at, &code) : 0;
    if (length > 1) {
      // Letters with more than two cases meet in the upper case of their lower case.
      units.push_back({Unit::kCharacter,
                       platform::UpperCharacter(platform::LowerCharacter(code))});
      at += static_cast<std::size_t>(length);
    } else {
      units.push_back({Unit::kCharacter, KeyOfByte(c, utf8)});
      ++at;
    }
  }
  return units;
}

// The rules read literally, with the answers of (mask position, name position) kept.
class Wildcard {
 public:
  Wildcard(std::vector<Unit> mask, std::vector<Unit> name)
      : mask_(std::move(mask)), name_(std::move(name)),
        known_((mask_.size() + 1) * (name_.size() + 1), -1) {}

  bool Matches(std::size_t m = 0, std::size_t n = 0) {
    signed char& known = known_[m * (name_.size() + 1) + n];
    if (known < 0) known = Decide(m, n) ? 1 : 0;
    return known == 1;
  }

 private:
  bool Decide(std::size_t m, std::size_t n) {
    if (m == mask_.size()) return n == name_.size();
    if (mask_[m].kind == Unit::kStar) {
      if (m + 1 == mask_.size()) return true;
      for (std::size_t from = n; from < name_.size(); ++from)
        if (Matches(m + 1, from)) return true;
      return false;
    }
    if (n == name_.size()) return false;
    if (mask_[m].kind == Unit::kCharacter && mask_[m].key != name_[n].key) return false;
    return Matches(m + 1, n + 1);
  }

  std::vector<Unit> mask_;
  std::vector<Unit> name_;
  std::vector<signed char> known_;
};

bool ReferenceWildcard(const std::string& mask, const std::string& name, bool utf8) {
  return Wildcard(ReadUnits(mask, utf8, true), ReadUnits(name, utf8, false)).Matches();
}

bool ReferenceMaskList(const std::string& list, std::string name, bool utf8, char delimiter,
                       char negation, bool dotAsterisk) {
  if (dotAsterisk && name.find('.') == std::string::npos) name += '.';
  std::vector<std::string> pieces(1);
  for (char c : list) {
    if (delimiter != '\0' && c == delimiter)
      pieces.emplace_back();
    else
      pieces.back() += c;
  }
  bool included = false;
  bool excluded = false;
  for (const std::string& piece : pieces) {
    if (negation != '\0' && !piece.empty() && piece[0] == negation)
      excluded = excluded || ReferenceWildcard(piece.substr(1), name, utf8);
    else
      included = included || ReferenceWildcard(piece, name, utf8);
  }
  return included && !excluded;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::Input input(data, size);
  const unsigned char flags = input.TakeByte();
  const bool utf8 = flags & 1;
  const bool dotAsterisk = flags & 2;
  char delimiter = ',', negation = '!';
  if (flags & 4) {
    delimiter = static_cast<char>(input.TakeByte());
    negation = static_cast<char>(input.TakeByte());
  }
  const std::string list = input.TakeText();
  std::string name = input.TakeRest();
  name = name.substr(0, name.find('\0'));  // a name is a C string
  // Keeps the reference's table and its recursion small.
  if (list.size() > 2048 || name.size() > 2048 || list.size() * name.size() > 1 << 16) return 0;

  SetTextIsUtf8(utf8);
  Stored.MaskDelimiter = static_cast<unsigned char>(delimiter);
  Stored.MaskNegation = static_cast<unsigned char>(negation);
  Stored.DotAsteriskMatchesNoExtension = dotAsterisk ? 1 : 0;

  const std::string model = utf8 ? " (UTF-8)" : " (OEM)";
  const int wildcard = MatchWildcard(list.c_str(), name.c_str());
  if (wildcard != (ReferenceWildcard(list, name, utf8) ? 1 : 0))
    fuzz::Fail("MatchWildcard(" + fuzz::Show(list) + ", " + fuzz::Show(name) + ") gave " +
               std::to_string(wildcard) + model);
  const int passes = MatchMaskList(list.c_str(), name.c_str());
  if (passes != (ReferenceMaskList(list, name, utf8, delimiter, negation, dotAsterisk) ? 1 : 0))
    fuzz::Fail("MatchMaskList(" + fuzz::Show(list) + ", " + fuzz::Show(name) + ") gave " +
               std::to_string(passes) + " with delimiter " + fuzz::Show({&delimiter, 1}) +
               " negation " + fuzz::Show({&negation, 1}) + " dot-star " +
               std::to_string(dotAsterisk) + model);
  return 0;
}
