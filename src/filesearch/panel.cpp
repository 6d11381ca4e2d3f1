#include "filesearch/panel.h"

#include <cstring>
#include <string>

#include "common/host_binding.h"
#include "common/messages.h"
#include "filesearch/results.h"
#include "flavour/flavour.h"

namespace {

constexpr DWORD kResultsPanelFlags = OPIF_USEFILTER | OPIF_USESORTGROUPS | OPIF_USEHIGHLIGHTING |
                                     OPIF_ADDDOTS | OPIF_REALNAMES | OPIF_SHOWRIGHTALIGNNAMES;
static_assert(kResultsPanelFlags == 175);

KeyBarTitles KeyBar;

bool SameName(const PluginPanelItem& a, const PluginPanelItem& b) {
  return flavour::NameOfPanelItem(a) == flavour::NameOfPanelItem(b);
}

// Marks each entry to keep (1) or drop (0): an entry is dropped when a selected item
// of the panel carries its name.
void MarkEntriesToKeep(const PanelInfo& panel) {
  for (int i = 0; i < Results.count; ++i) {
    PluginPanelItem& entry = Results.items[i];
    entry.UserData = 1;
    for (int s = 0; s < panel.SelectedItemsNumber && panel.SelectedItems; ++s) {
      if (SameName(panel.SelectedItems[s], entry)) {
        entry.UserData = 0;
        break;
      }
    }
  }
}

}  // namespace

void DescribeResultsPanel(OpenPluginInfo* info) {
  info->StructSize = sizeof(OpenPluginInfo);
  info->Flags = kResultsPanelFlags;
  info->HostFile = nullptr;
  info->CurDir = "";
  info->Format = MessageText(kMsgFoundFiles);
  info->PanelTitle = MessageText(kMsgFoundFiles);
  // Files left out because their paths do not fit the panel record are counted in the
  // title, so that no one takes the list for all that was found.
  // So are names the walk could not hand to the search under their own name.
  static std::string title;
  if (Results.leftOut > 0) {
    title = FormatMessageNumber(MessageText(kMsgFoundFilesLeftOut), Results.leftOut);
    info->PanelTitle = title.c_str();
  }
  if (Results.namesLeftOut > 0) {
    title = std::string(info->PanelTitle) + " (" + std::to_string(Results.namesLeftOut) + " " +
            MessageText(kMsgNamesNotSearched) + ")";
    info->PanelTitle = title.c_str();
  }
  info->InfoLines = nullptr;
  info->InfoLinesNumber = 0;
  info->DescrFiles = nullptr;
  info->DescrFilesNumber = 0;
  info->PanelModesArray = nullptr;
  info->PanelModesNumber = 0;
  info->StartPanelMode = '4';
  // Only the plain F7 label is ours; every other key keeps the host's own label.
  std::memset(&KeyBar, 0, sizeof(KeyBar));
  KeyBar.Titles[6] = const_cast<char*>(MessageText(kMsgRemoveKey));
  info->KeyBar = &KeyBar;
}

int HandOutResults(PluginPanelItem** items, int* count) {
  *items = Results.items;
  *count = Results.count;
  return 1;
}

int ChangeResultsDirectory(const char* dir, int opMode) {
  if (opMode & OPM_FIND) return 0;
  if (!dir) return 0;
  // The way to the root is refused: the results have no root to go to. Our host on
  // posix asks for "/".
  if (std::strcmp(dir, "\\") == 0 || std::strcmp(dir, "/") == 0) return 0;
  Info.Control(ResultsPanelHandle(), FCTL_CLOSEPLUGIN, const_cast<char*>(dir));
  return 1;
}

int ProcessResultsKey(int key, unsigned int controlState) {
  if (key != VK_F7 || controlState != 0) return 0;
  RemoveSelectedResults();
  return 1;
}

void RemoveSelectedResults() {
  PanelInfo panel{};
  if (Info.Control(ResultsPanelHandle(), FCTL_GETPANELINFO, &panel)) {
    MarkEntriesToKeep(panel);
    // Compacting in place needs no memory, so the removal cannot fail halfway, and the
    // array the host read last stays valid until it rereads the list.
    int next = 0;
    for (int i = 0; i < Results.count; ++i) {
      if (Results.items[i].UserData == 0) {
        flavour::ReleaseLongName(&Results.items[i]);
        continue;
      }
      if (next != i) std::memcpy(&Results.items[next], &Results.items[i], sizeof(PluginPanelItem));
      ++next;
    }
    Results.count = next;
  }
  Info.Control(ResultsPanelHandle(), FCTL_UPDATEPANEL, nullptr);
  Info.Control(ResultsPanelHandle(), FCTL_REDRAWPANEL, nullptr);
  PanelInfo other{};
  if (Info.Control(ResultsPanelHandle(), FCTL_GETANOTHERPANELINFO, &other) &&
      other.PanelType == PTYPE_QVIEWPANEL) {
    Info.Control(ResultsPanelHandle(), FCTL_UPDATEANOTHERPANEL, nullptr);
    Info.Control(ResultsPanelHandle(), FCTL_REDRAWANOTHERPANEL, nullptr);
  }
}

void CloseResultsPanel() { ClearResults(&Results); }
