#include "filesearch/limit_warning.h"

#include "common/messages.h"
#include "common/pattern.h"
#include "filesearch/search_run.h"

namespace {

constexpr int kSearchTitle = 7;
constexpr int kReplaceTitle = 8;
constexpr int kBacktrackingText = 53;
constexpr int kDepthText = 54;
constexpr int kMemoryText = 55;
constexpr int kNotListedText = 56;
constexpr int kLeftUnchangedText = 57;
constexpr int kLaterNotReportedText = 58;

}  // namespace

void WarnPatternLimit(SearchRun& run, const char* path, int limit, bool replacing) {
  if (run.limitWarned.exchange(true)) return;
  const int reason = limit == kLimitDepth    ? kDepthText
                     : limit == kLimitMemory ? kMemoryText
                                             : kBacktrackingText;
  const char* lines[] = {MessageText(replacing ? kReplaceTitle : kSearchTitle), MessageText(reason),
                         path, MessageText(replacing ? kLeftUnchangedText : kNotListedText),
                         MessageText(kLaterNotReportedText)};
  ShowWarning("PatternLimit", lines, 5);
}
