#include "filesearch/limit_warning.h"

#include "common/messages.h"
#include "common/pattern.h"

namespace {

bool LimitWarned = false;

}  // namespace

void StartLimitWarnings() { LimitWarned = false; }

void WarnPatternLimit(const char* path, int limit, bool replacing) {
  if (LimitWarned) return;
  LimitWarned = true;
  const MessageId reason = limit == kLimitDepth    ? kMsgDepthLimit
                           : limit == kLimitMemory ? kMsgMemoryLimit
                                                   : kMsgBacktrackingLimit;
  const char* lines[] = {MessageText(replacing ? kMsgReplaceTitle : kMsgPluginTitle),
                         MessageText(reason), path,
                         MessageText(replacing ? kMsgLeftUnchanged : kMsgNotListed),
                         MessageText(kMsgLaterNotReported)};
  ShowWarning("PatternLimit", lines, 5);
}
