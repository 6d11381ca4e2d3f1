#include "filesearch/code_pages.h"

#include <cctype>
#include <cstring>

namespace {

std::string Lowered(const std::string& text) {
  std::string lowered = text;
  for (char& c : lowered) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lowered;
}

// Whether name is one of the blank-separated words of names.
bool IsOneOf(const std::string& name, const char* names) {
  const std::size_t n = name.size();
  for (const char* at = names; *at;) {
    const char* end = std::strchr(at, ' ');
    const std::size_t length = end ? static_cast<std::size_t>(end - at) : std::strlen(at);
    if (length == n && name.compare(0, n, at, length) == 0) return true;
    if (!end) break;
    at = end + 1;
  }
  return false;
}

struct NamedKind {
  const char* names;
  ReadingKind kind;
};

constexpr NamedKind kUnicodeNames[] = {
    {"utf-8 utf8 cp65001 65001", ReadingKind::kUtf8},
    {"utf-16le utf16le cp1200 1200", ReadingKind::kUtf16Le},
    {"utf-16be utf16be cp1201 1201", ReadingKind::kUtf16Be},
};

}  // namespace

bool FindReading(const std::string& name, Reading* reading) {
  const std::string lowered = Lowered(name);
  for (const NamedKind& named : kUnicodeNames)
    if (IsOneOf(lowered, named.names)) {
      *reading = Reading{named.kind, nullptr};
      return true;
    }
  for (int i = 0; i < kCodePageCount; ++i)
    if (lowered == kCodePages[i].name || IsOneOf(lowered, kCodePages[i].aliases)) {
      *reading = Reading{ReadingKind::kCodePage, &kCodePages[i]};
      return true;
    }
  return false;
}

bool ParseReadings(const std::string& list, std::vector<Reading>* readings,
                   std::string* unknown) {
  readings->clear();
  std::size_t at = 0;
  while (at < list.size()) {
    const std::size_t end = list.find_first_of(", \t", at);
    const std::string name = list.substr(at, end == std::string::npos ? end : end - at);
    at = end == std::string::npos ? list.size() : end + 1;
    if (name.empty() || Lowered(name) == "auto") continue;
    Reading reading;
    if (!FindReading(name, &reading)) {
      if (unknown) *unknown = name;
      readings->clear();
      return false;
    }
    // Reading a file twice the same way finds nothing new.
    bool listed = false;
    for (const Reading& other : *readings) listed = listed || other == reading;
    if (!listed) readings->push_back(reading);
  }
  return true;
}

std::string ListReadingNames() {
  std::string names = "auto, utf-8, utf-16le, utf-16be";
  for (int i = 0; i < kCodePageCount; ++i) names += std::string(", ") + kCodePages[i].name;
  return names;
}
