#include "host/language_file.h"

#include <algorithm>

#include "common/utf8.h"
#include "platform/platform.h"

namespace host {
namespace {

// Language files are a few kilobytes; anything far larger is not one.
constexpr std::uint64_t kMaxLanguageFileSize = 4 << 20;

std::string_view TrimLeft(std::string_view line) {
  std::size_t start = line.find_first_not_of(" \t");
  return start == std::string_view::npos ? std::string_view() : line.substr(start);
}

bool ParseHeader(std::string_view line, LanguageFile* out) {
  constexpr std::string_view kHeader = ".Language=";
  if (line.size() < kHeader.size() ||
      !EqualsIgnoringAsciiCase(line.substr(0, kHeader.size()), kHeader))
    return false;
  std::string_view value = line.substr(kHeader.size());
  while (!value.empty() && (value.back() == ' ' || value.back() == '\t')) value.remove_suffix(1);
  std::size_t comma = value.find(',');
  out->name = std::string(value.substr(0, comma));
  out->description = comma == std::string_view::npos ? "" : std::string(value.substr(comma + 1));
  return !out->name.empty();
}

// The text between the first quote and the last one; an unclosed text runs to the end
// of the line.
std::string QuotedText(std::string_view line) {
  std::string_view rest = line.substr(1);
  std::size_t close = rest.rfind('"');
  return std::string(close == std::string_view::npos ? rest : rest.substr(0, close));
}

std::string OemToUtf8(const std::string& oem) {
  std::string utf8;
  utf8.reserve(oem.size() * 2);
  for (const char byte : oem) {
    const auto b = static_cast<unsigned char>(byte);
    const char32_t c = b < 0x80 ? b : platform::CharacterOfOem(b);
    AppendUtf8(utf8, c == platform::kNoOemCharacter ? U'\uFFFD' : c);
  }
  return utf8;
}

std::string Utf8ToOem(const std::string& utf8) {
  std::string oem;
  const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
  for (std::size_t at = 0; at < utf8.size();) {
    char32_t c = 0;
    const int length = DecodeUtf8(p + at, utf8.size() - at, &c);
    unsigned char byte = 0;
    if (length > 0 && c < 0x80)
      byte = static_cast<unsigned char>(c);
    else if (length == 0 || !platform::ConvertCharacterToOem(c, &byte))
      byte = '?';
    oem += static_cast<char>(byte);
    at += length > 0 ? static_cast<std::size_t>(length) : 1;
  }
  return oem;
}

}  // namespace

bool ParseLanguageFile(std::string_view bytes, LanguageFile* out) {
  *out = LanguageFile{};
  out->markedUtf8 = bytes.substr(0, 3) == "\xEF\xBB\xBF";
  if (out->markedUtf8) bytes.remove_prefix(3);
  bool haveHeader = false;
  while (!bytes.empty()) {
    std::size_t end = bytes.find('\n');
    std::string_view line = bytes.substr(0, end);
    bytes = end == std::string_view::npos ? std::string_view() : bytes.substr(end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    line = TrimLeft(line);
    if (line.empty() || line.substr(0, 2) == "//") continue;
    if (!haveHeader) {
      if (!ParseHeader(line, out)) return false;
      haveHeader = true;
    } else if (line.front() == '"') {
      out->messages.push_back(QuotedText(line));
    }
    // Other lines (directives such as ".Options") carry no message.
  }
  return haveHeader;
}

bool ReadLanguageFile(const std::string& path, LanguageFile* out) {
  std::string bytes;
  if (platform::ReadWholeFile(path.c_str(), kMaxLanguageFileSize, &bytes) !=
      platform::ReadResult::kRead)
    return false;
  return ParseLanguageFile(bytes, out);
}

void ConvertLanguageFile(LanguageFile* file, bool utf8Model) {
  if (file->markedUtf8 == utf8Model) return;
  const auto convert = utf8Model ? OemToUtf8 : Utf8ToOem;
  file->description = convert(file->description);
  for (std::string& text : file->messages) text = convert(text);
  file->markedUtf8 = utf8Model;
}

std::string ChooseLanguageFile(const std::string& folder, const std::string& language) {
  std::vector<std::string> names;
  std::string base = folder;
  if (!base.empty() && base.back() != platform::kPathSeparator) base += platform::kPathSeparator;
  if (platform::Listing* listing = platform::OpenListing(base.c_str())) {
    platform::FileRecord entry;
    while (platform::NextListingEntry(listing, &entry)) {
      std::string_view name = entry.cFileName;
      if (name.size() > 4 && EqualsIgnoringAsciiCase(name.substr(name.size() - 4), ".lng"))
        names.emplace_back(name);
    }
    platform::CloseListing(listing);
  }
  std::sort(names.begin(), names.end());
  std::string english, first;
  for (const std::string& name : names) {
    LanguageFile file;
    if (!ReadLanguageFile(base + name, &file)) continue;
    if (EqualsIgnoringAsciiCase(file.name, language)) return base + name;
    if (english.empty() && EqualsIgnoringAsciiCase(file.name, "English")) english = base + name;
    if (first.empty()) first = base + name;
  }
  return english.empty() ? first : english;
}

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    unsigned char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x += 'a' - 'A';
    if (y >= 'A' && y <= 'Z') y += 'a' - 'A';
    if (x != y) return false;
  }
  return true;
}

}  // namespace host
