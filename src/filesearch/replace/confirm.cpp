#include "filesearch/replace/confirm.h"

#include "common/host_binding.h"
#include "common/messages.h"
#include "filesearch/search_run.h"

namespace {

constexpr int kReplace = 0;
constexpr int kAll = 1;
constexpr int kCancel = 3;

}  // namespace

Confirmations StartConfirmRun(const SearchRun& run) {
  Confirmations confirmations;
  confirmations.filesThisRun = run.settings.confirmFiles;
  return confirmations;
}

void StartConfirmFile(Confirmations& confirmations, const SearchRun& run) {
  confirmations.linesThisFile = run.settings.confirmMatches;
  confirmations.fileConfirmed = !confirmations.filesThisRun;
}

int ConfirmFile(Confirmations& confirmations, SearchRun& run, const char* path) {
  if (confirmations.fileConfirmed) return 1;
  const char* lines[] = {
      MessageText(kMsgReplaceTitle), MessageText(kMsgReplaceInFile), path,
      MessageText(kMsgOk),           MessageText(kMsgAllButton),     MessageText(kMsgSkipButton),
      MessageText(kMsgCancel)};
  switch (Info.Message(Info.ModuleNumber, 0, "FRConfirmFile", lines, 7, 4)) {
    case kReplace:
      confirmations.fileConfirmed = true;
      return 1;
    case kAll:
      confirmations.filesThisRun = false;
      confirmations.fileConfirmed = true;
      return 1;
    case kCancel:
      run.stop = true;
      return 0;
    default:  // skip, Escape, or a question the host could not show
      return 0;
  }
}

int ConfirmMatch(Confirmations& confirmations, SearchRun& run, const std::string& matched,
                 const std::string& replacement, const char* path) {
  if (!confirmations.linesThisFile) return 1;
  if (run.stop) return 0;
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
      confirmations.linesThisFile = false;
      return 1;
    case kCancel:
      run.stop = true;
      return 0;
    default:
      return 0;
  }
}
