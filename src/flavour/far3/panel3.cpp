#include "flavour/far3/panel3.h"

#include <cstring>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "flavour/far3/host3.h"
#include "flavour/far3/wide_strings.h"
#include "flavour/flavour.h"

namespace {

// What the last panel query handed the core: it reads the arrays until its next query.
// Names too long for the core's record live in longNames, which the items point into.
struct PanelCopy {
  std::vector<PluginPanelItem> all, selected;
  std::deque<std::string> longNames;
};
PanelCopy g_active, g_passive;

far3::IntPtr CallPanel(HANDLE panel, int command, far3::IntPtr param1, void* param2) {
  const auto control = Far3Host().PanelControl;
  return control ? control(panel, command, param1, param2) : 0;
}

// A host item as the core's record; a name too long for the record is kept in longNames.
void ConvertItem(const far3::PluginPanelItem& from, PluginPanelItem* to,
                 std::deque<std::string>* longNames) {
  *to = PluginPanelItem{};
  std::string name = Utf8Of(from.FileName);
  if (name.size() < sizeof(to->FindData.cFileName)) {
    std::memcpy(to->FindData.cFileName, name.c_str(), name.size() + 1);
  } else {
    longNames->push_back(std::move(name));
    to->LongName = longNames->back().data();
  }
  to->FindData.dwFileAttributes = static_cast<DWORD>(from.FileAttributes);
  to->FindData.nFileSizeLow = static_cast<DWORD>(from.FileSize);
  to->FindData.nFileSizeHigh = static_cast<DWORD>(from.FileSize >> 32);
  to->FindData.ftCreationTime = from.CreationTime;
  to->FindData.ftLastAccessTime = from.LastAccessTime;
  to->FindData.ftLastWriteTime = from.LastWriteTime;
}

// Item index of a panel, through the host's two-step query (size, then the item).
bool FetchItem(HANDLE panel, int command, std::size_t index, PluginPanelItem* out,
               std::deque<std::string>* longNames) {
  far3::FarGetPluginPanelItem get{sizeof(get), 0, nullptr};
  const far3::IntPtr size = CallPanel(panel, command, static_cast<far3::IntPtr>(index), &get);
  if (size < static_cast<far3::IntPtr>(sizeof(far3::PluginPanelItem))) return false;
  std::unique_ptr<std::uint64_t[]> buffer(
      new std::uint64_t[(static_cast<std::size_t>(size) + 7) / 8]);
  get.Size = static_cast<std::size_t>(size);
  get.Item = reinterpret_cast<far3::PluginPanelItem*>(buffer.get());
  if (!CallPanel(panel, command, static_cast<far3::IntPtr>(index), &get)) return false;
  ConvertItem(*get.Item, out, longNames);
  return true;
}

bool FetchItems(HANDLE panel, int command, std::size_t count, std::vector<PluginPanelItem>* out,
                std::deque<std::string>* longNames) {
  out->assign(count, PluginPanelItem{});
  for (std::size_t i = 0; i < count; ++i)
    if (!FetchItem(panel, command, i, &(*out)[i], longNames)) return false;
  return true;
}

// The panel's folder in UTF-8; false when it does not fit the core's record.
bool FetchFolder(HANDLE panel, char* dir, std::size_t size) {
  const far3::IntPtr needed = CallPanel(panel, far3::FCTL_GETPANELDIRECTORY, 0, nullptr);
  if (needed < static_cast<far3::IntPtr>(sizeof(far3::FarPanelDirectory))) return false;
  std::unique_ptr<std::uint64_t[]> buffer(
      new std::uint64_t[(static_cast<std::size_t>(needed) + 7) / 8]);
  auto* folder = reinterpret_cast<far3::FarPanelDirectory*>(buffer.get());
  folder->StructSize = sizeof(*folder);
  if (!CallPanel(panel, far3::FCTL_GETPANELDIRECTORY, needed, folder) || !folder->Name)
    return false;
  const std::string name = Utf8Of(folder->Name);
  if (name.size() >= size) return false;
  std::memcpy(dir, name.c_str(), name.size() + 1);
  return true;
}

int GetPanelInfo(HANDLE panel, PanelInfo* out, PanelCopy* copy) {
  far3::PanelInfo info{};
  info.StructSize = sizeof(info);
  if (!CallPanel(panel, far3::FCTL_GETPANELINFO, 0, &info)) return 0;
  *out = PanelInfo{};
  out->PanelType = info.PanelType;
  out->Plugin = (info.Flags & far3::PFLAGS_PLUGIN) ? 1 : 0;
  out->Visible = (info.Flags & far3::PFLAGS_VISIBLE) ? 1 : 0;
  out->CurrentItem = static_cast<int>(info.CurrentItem);
  out->TopPanelItem = static_cast<int>(info.TopPanelItem);
  // A panel whose folder the core cannot hold is given no items either: nothing of it is
  // searched rather than something else.
  if (!FetchFolder(panel, out->CurDir, sizeof(out->CurDir))) return 1;
  copy->longNames.clear();
  if (!FetchItems(panel, far3::FCTL_GETPANELITEM, info.ItemsNumber, &copy->all,
                  &copy->longNames) ||
      !FetchItems(panel, far3::FCTL_GETSELECTEDPANELITEM, info.SelectedItemsNumber,
                  &copy->selected, &copy->longNames))
    return 1;
  out->PanelItems = copy->all.data();
  out->ItemsNumber = static_cast<int>(copy->all.size());
  out->SelectedItems = copy->selected.data();
  out->SelectedItemsNumber = static_cast<int>(copy->selected.size());
  return 1;
}

far3::Flags64 ConvertPanelFlags(DWORD flags) {
  far3::Flags64 out = 0;
  // The 1.x API asks for filter, sort groups and highlighting; Far 3 for their absence.
  if (!(flags & OPIF_USEFILTER)) out |= far3::OPIF_DISABLEFILTER;
  if (!(flags & OPIF_USESORTGROUPS)) out |= far3::OPIF_DISABLESORTGROUPS;
  if (!(flags & OPIF_USEHIGHLIGHTING)) out |= far3::OPIF_DISABLEHIGHLIGHTING;
  if (flags & OPIF_ADDDOTS) out |= far3::OPIF_ADDDOTS;
  if (flags & OPIF_RAWSELECTION) out |= far3::OPIF_RAWSELECTION;
  if (flags & OPIF_REALNAMES) out |= far3::OPIF_REALNAMES;
  if (flags & OPIF_SHOWNAMESONLY) out |= far3::OPIF_SHOWNAMESONLY;
  if (flags & OPIF_SHOWRIGHTALIGNNAMES) out |= far3::OPIF_SHOWRIGHTALIGNNAMES;
  return out;
}

// The panel's texts, converted when the core hands them out and kept until the next time.
struct PanelTexts {
  std::wstring curDir, format, title;
  std::vector<std::wstring> labels;
  std::vector<far3::KeyBarLabel> keys;
  far3::KeyBarTitles keyBar{};
};
PanelTexts g_texts;

void ConvertKeyBar(const KeyBarTitles* from, PanelTexts* texts) {
  texts->labels.clear();
  texts->keys.clear();
  texts->keyBar = far3::KeyBarTitles{};
  if (!from) return;
  // Each row of 12 labels with the control keys that show it.
  const struct {
    char* const* row;
    DWORD state;
  } rows[] = {{from->Titles, 0},
              {from->CtrlTitles, far3::LEFT_CTRL_PRESSED},
              {from->AltTitles, far3::LEFT_ALT_PRESSED},
              {from->ShiftTitles, far3::SHIFT_PRESSED}};
  std::size_t n = 0;
  for (const auto& row : rows)
    for (int i = 0; i < 12; ++i) n += row.row[i] ? 1 : 0;
  texts->labels.reserve(n);  // no reallocation: the labels point in
  for (const auto& row : rows) {
    for (int i = 0; i < 12; ++i) {
      if (!row.row[i]) continue;
      texts->labels.push_back(WideOf(row.row[i]));
      texts->keys.push_back({{static_cast<far3::WORD>(0x70 + i), row.state},  // VK_F1 + i
                             texts->labels.back().c_str(),
                             texts->labels.back().c_str()});
    }
  }
  texts->keyBar = {texts->keys.size(), texts->keys.data()};
}

}  // namespace

int FARAPI BridgePanelControl(HANDLE plugin, int command, void* param) {
  switch (command) {
    case FCTL_GETPANELINFO:
      return param ? GetPanelInfo(plugin, static_cast<PanelInfo*>(param), &g_active) : 0;
    case FCTL_GETANOTHERPANELINFO:
      return param ? GetPanelInfo(FAR3_PANEL_PASSIVE, static_cast<PanelInfo*>(param), &g_passive)
                   : 0;
    case FCTL_UPDATEPANEL:
      return static_cast<int>(CallPanel(plugin, far3::FCTL_UPDATEPANEL, 0, nullptr));
    case FCTL_REDRAWPANEL:
      return static_cast<int>(CallPanel(plugin, far3::FCTL_REDRAWPANEL, 0, nullptr));
    case FCTL_UPDATEANOTHERPANEL:
      return static_cast<int>(CallPanel(FAR3_PANEL_PASSIVE, far3::FCTL_UPDATEPANEL, 0, nullptr));
    case FCTL_REDRAWANOTHERPANEL:
      return static_cast<int>(CallPanel(FAR3_PANEL_PASSIVE, far3::FCTL_REDRAWPANEL, 0, nullptr));
    case FCTL_CLOSEPLUGIN: {
      const std::wstring dir = WideOf(static_cast<const char*>(param));
      return static_cast<int>(CallPanel(plugin, far3::FCTL_CLOSEPANEL, 0,
                                        param ? const_cast<wchar_t*>(dir.c_str()) : nullptr));
    }
    default:
      return 0;  // nothing else is bridged: the core asks for nothing else
  }
}

void DescribePanel(const OpenPluginInfo& core, far3::OpenPanelInfo* info) {
  g_texts.curDir = WideOf(core.CurDir);
  g_texts.format = WideOf(core.Format);
  g_texts.title = WideOf(core.PanelTitle);
  ConvertKeyBar(core.KeyBar, &g_texts);
  info->StructSize = sizeof(*info);
  info->Flags = ConvertPanelFlags(core.Flags);
  info->HostFile = nullptr;
  info->CurDir = g_texts.curDir.c_str();
  info->Format = g_texts.format.c_str();
  info->PanelTitle = g_texts.title.c_str();
  info->StartPanelMode = core.StartPanelMode;
  info->StartSortMode = core.StartSortMode;
  info->StartSortOrder = core.StartSortOrder;
  info->KeyBar = core.KeyBar ? &g_texts.keyBar : nullptr;
}

bool ConvertPanelItems(const PluginPanelItem* items, int count, far3::GetFindDataInfo* info) {
  const std::size_t n = count > 0 && items ? static_cast<std::size_t>(count) : 0;
  auto* out = new far3::PluginPanelItem[n + 1]();  // never empty: the host frees it
  auto* names = new std::wstring[n + 1];
  for (std::size_t i = 0; i < n; ++i) {
    const FarFindData& from = items[i].FindData;
    names[i] = WideOf(flavour::NameOfPanelItem(items[i]));
    far3::PluginPanelItem& to = out[i];
    to.CreationTime = from.ftCreationTime;
    to.LastAccessTime = from.ftLastAccessTime;
    to.LastWriteTime = from.ftLastWriteTime;
    to.ChangeTime = from.ftLastWriteTime;
    to.FileSize = (static_cast<std::uint64_t>(from.nFileSizeHigh) << 32) | from.nFileSizeLow;
    to.FileName = names[i].c_str();
    to.FileAttributes = from.dwFileAttributes;
    to.NumberOfLinks = items[i].NumberOfLinks;
  }
  // The names live beside the items: the element past the last holds their array.
  out[n].UserData.Data = names;
  info->PanelItem = out;
  info->ItemsNumber = n;
  return true;
}

void FreePanelItems(const far3::FreeFindDataInfo* info) {
  if (!info || !info->PanelItem) return;
  delete[] static_cast<std::wstring*>(info->PanelItem[info->ItemsNumber].UserData.Data);
  delete[] info->PanelItem;
}

bool ConvertKey(const far3::InputRecord& record, int* key, unsigned int* controlState) {
  if (record.EventType != far3::KEY_EVENT || !record.KeyEvent.bKeyDown) return false;
  const DWORD state = record.KeyEvent.dwControlKeyState;
  *key = record.KeyEvent.wVirtualKeyCode;
  *controlState = 0;
  if (state & (far3::LEFT_CTRL_PRESSED | far3::RIGHT_CTRL_PRESSED)) *controlState |= PKF_CONTROL;
  if (state & (far3::LEFT_ALT_PRESSED | far3::RIGHT_ALT_PRESSED)) *controlState |= PKF_ALT;
  if (state & far3::SHIFT_PRESSED) *controlState |= PKF_SHIFT;
  return true;
}
