#include "common/folded_text.h"

#include <memory>
#include <string>
#include <vector>

#include "common/pattern.h"
#include "common/text_model.h"
#include "common/utf8.h"

namespace {

struct FoldedEntry {
  std::string text;
  CompiledPattern* pattern = nullptr;  // null: the text is no valid UTF-8
  ~FoldedEntry() { ReleasePattern(&pattern); }
};

// The texts compiled lately, newest last: a word list tests the same few words in every
// file, so each is compiled once per search, not once per file. Each thread keeps its own,
// so that files are searched on several threads without a lock; behind a plain pointer,
// as the thread's match data is (common/pattern.cpp).
constexpr std::size_t kKeptTexts = 32;
using CompiledTexts = std::vector<std::unique_ptr<FoldedEntry>>;
thread_local CompiledTexts* g_compiled = nullptr;

const FoldedEntry& CompiledText(const char* text, std::size_t n) {
  if (!g_compiled) g_compiled = new CompiledTexts;
  CompiledTexts& compiled = *g_compiled;
  for (std::size_t i = compiled.size(); i-- > 0;) {
    if (compiled[i]->text.size() == n && compiled[i]->text.compare(0, n, text, n) == 0)
      return *compiled[i];
  }
  if (compiled.size() >= kKeptTexts) compiled.erase(compiled.begin());
  auto entry = std::make_unique<FoldedEntry>();
  entry->text.assign(text, n);
  CompileFoldedText(&entry->pattern, text, n);
  compiled.push_back(std::move(entry));
  return *compiled.back();
}

}  // namespace

void ReleaseThreadFoldedTexts() {
  delete g_compiled;
  g_compiled = nullptr;
}

bool NeedsUnicodeFold(const char* text, std::size_t n) {
  if (!TextIsUtf8() || !HasNonAscii(text, n)) return false;
  return CompiledText(text, n).pattern != nullptr;
}

int FindFoldedText(const char* text, std::size_t n, const char* subject, std::size_t length,
                   std::size_t from, std::size_t* start, std::size_t* end) {
  const CompiledPattern* pattern = CompiledText(text, n).pattern;
  if (!pattern || from > length) return 0;
  return FindPatternMatch(pattern, subject, length, from, 0, start, end);
}
