#include "filesearch/limit_warning.h"

#include "common/messages.h"
#include "common/pattern.h"
#include "filesearch/search_run.h"

namespace {

}  // namespace

void WarnPatternLimit(SearchRun& run, const char* path, int limit, bool replacing) {
  if (run.limitWarned.exchange(true)) return;
  const MessageId reason = limit == kLimitDepth    ? kMsgDepthLimit
                           : limit == kLimitMemory ? kMsgMemoryLimit
                                                   : kMsgBacktrackingLimit;
  const char* lines[] = {MessageText(replacing ? kMsgReplaceTitle : kMsgPluginTitle),
                         MessageText(reason), path,
                         MessageText(replacing ? kMsgLeftUnchanged : kMsgNotListed),
                         MessageText(kMsgLaterNotReported)};
  ShowWarning("PatternLimit", lines, 5);
}
