#include "filesearch/replace/confirm.h"

#include "common/host_binding.h"
#include "common/messages.h"
#include "filesearch/settings.h"
#include "filesearch/walker.h"

int ConfirmFilesThisRun = 0;
int FileConfirmed = 1;
int ConfirmLinesThisFile = 0;

namespace {

constexpr int kReplace = 0;
constexpr int kAll = 1;
constexpr int kCancel = 3;

}  // namespace

void StartConfirmRun() { ConfirmFilesThisRun = FRConfirmFile ? 1 : 0; }

void StartConfirmFile() {
  ConfirmLinesThisFile = FRConfirmLine ? 1 : 0;
  FileConfirmed = ConfirmFilesThisRun ? 0 : 1;
}

int ConfirmFile(const char* path) {
  if (FileConfirmed) return 1;
  const char* lines[] = {
      MessageText(kMsgReplaceTitle), MessageText(kMsgReplaceInFile), path,
      MessageText(kMsgOk),           MessageText(kMsgAllButton),     MessageText(kMsgSkipButton),
      MessageText(kMsgCancel)};
  switch (Info.Message(Info.ModuleNumber, 0, "FRConfirmFile", lines, 7, 4)) {
    case kReplace:
      FileConfirmed = 1;
      return 1;
    case kAll:
      ConfirmFilesThisRun = 0;
      FileConfirmed = 1;
      return 1;
    case kCancel:
      StopSearch = true;
      return 0;
    default:  // skip, Escape, or a question the host could not show
      return 0;
  }
}

int ConfirmMatch(const std::string& matched, const std::string& replacement, const char* path) {
  if (!ConfirmLinesThisFile) return 1;
  if (StopSearch) return 0;
  const char* lines[] = {MessageText(kMsgReplaceTitle),
                         MessageText(kMsgReplaceTheText),
                         matched.c_str(),
                         MessageText(kMsgWith),
                         replacement.c_str(),
                         MessageText(kMsgInTheFile),
                         path,
                         MessageText(kMsgReplaceButton),
                         MessageText(kMsgAllButton),
                         MessageText(kMsgSkipButton),
                         MessageText(kMsgCancel)};
  switch (Info.Message(Info.ModuleNumber, 0, "FRAskReplace", lines, 11, 4)) {
    case kReplace:
      return 1;
    case kAll:
      ConfirmLinesThisFile = 0;
      return 1;
    case kCancel:
      StopSearch = true;
      return 0;
    default:
      return 0;
  }
}
