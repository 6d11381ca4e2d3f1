// The two panels: file panels listed from disk, plugin panels read through the plugin.
#include <algorithm>
#include <cstring>

#include "host/host.h"

namespace host {
namespace {

bool IsFolder(const PluginPanelItem& item) {
  return (item.FindData.dwFileAttributes & kAttrDirectory) != 0;
}

PluginPanelItem MakeDotsEntry() {
  PluginPanelItem dots{};
  dots.FindData.dwFileAttributes = kAttrDirectory;
  std::strcpy(dots.FindData.cFileName, "..");
  return dots;
}

std::string WithTrailingSeparator(std::string folder) {
  if (folder.empty() || folder.back() != platform::kPathSeparator)
    folder += platform::kPathSeparator;
  return folder;
}

// "/a/b/" -> "/a/"; the root stays itself.
std::string ParentFolder(const std::string& folder) {
  if (folder.size() <= 1) return folder;
  std::size_t cut = folder.rfind(platform::kPathSeparator, folder.size() - 2);
  return cut == std::string::npos ? folder : folder.substr(0, cut + 1);
}

// The bare name of a folder path: "/a/b/" -> "b".
std::string LastName(const std::string& folder) {
  std::string trimmed = folder;
  while (trimmed.size() > 1 && trimmed.back() == platform::kPathSeparator) trimmed.pop_back();
  return trimmed.substr(trimmed.rfind(platform::kPathSeparator) + 1);
}

// The host's panel record of a listed name: the listing's fields as they are.
void ToPanelRecord(const platform::FileRecord& found, FarFindData* record) {
  const auto time = [](const platform::FileTime& t) {
    return FILETIME{t.dwLowDateTime, t.dwHighDateTime};
  };
  record->dwFileAttributes = found.dwFileAttributes;
  record->ftCreationTime = time(found.ftCreationTime);
  record->ftLastAccessTime = time(found.ftLastAccessTime);
  record->ftLastWriteTime = time(found.ftLastWriteTime);
  record->nFileSizeHigh = found.nFileSizeHigh;
  record->nFileSizeLow = found.nFileSizeLow;
  record->dwReserved0 = found.dwReserved0;
  record->dwReserved1 = found.dwReserved1;
  std::memcpy(record->cFileName, found.cFileName, sizeof record->cFileName);
  std::memcpy(record->cAlternateFileName, found.cAlternateFileName,
              sizeof record->cAlternateFileName);
}

}  // namespace

bool Host::ShowFolder(Panel& panel, const std::string& folder) {
  std::string shown = WithTrailingSeparator(folder);
  // A real host's folders fit its path buffers; the plugins rely on that and would
  // otherwise see a cut path, that is another folder.
  if (shown.size() >= static_cast<std::size_t>(kMaxPath)) return false;
  platform::Listing* listing = platform::OpenListing(shown.c_str());
  if (!listing) return false;
  std::vector<PluginPanelItem> entries;
  platform::FileRecord found{};
  while (platform::NextListingEntry(listing, &found)) {
    if (std::strcmp(found.cFileName, ".") == 0 || std::strcmp(found.cFileName, "..") == 0) continue;
    PluginPanelItem item{};
    ToPanelRecord(found, &item.FindData);
    entries.push_back(item);
  }
  platform::CloseListing(listing);
  // Folders first, then files, each by name: the host's default order, and a stable one.
  std::sort(entries.begin(), entries.end(), [](const PluginPanelItem& a, const PluginPanelItem& b) {
    if (IsFolder(a) != IsFolder(b)) return IsFolder(a);
    return std::strcmp(a.FindData.cFileName, b.FindData.cFileName) < 0;
  });

  if (pendingClose_ == &panel) pendingClose_ = nullptr;
  panel.type = PTYPE_FILEPANEL;
  panel.folder = shown;
  panel.plugin = nullptr;
  panel.handle = FAR_INVALID_HANDLE;
  panel.openInfo = OpenPluginInfo{};
  panel.folderBeforePlugin.clear();
  panel.items.clear();
  if (shown != "/") panel.items.push_back(MakeDotsEntry());
  panel.items.insert(panel.items.end(), entries.begin(), entries.end());
  panel.selected.assign(panel.items.size(), false);
  panel.current = 0;
  return true;
}

bool Host::SelectItem(Panel& panel, const std::string& name, bool selected) {
  bool found = false;
  panel.selected.resize(panel.items.size(), false);
  for (std::size_t i = 0; i < panel.items.size(); ++i) {
    if (name == panel.items[i].FindData.cFileName) {
      panel.selected[i] = selected;
      found = true;
    }
  }
  return found;
}

bool Host::SetCurrentItem(Panel& panel, const std::string& name) {
  for (std::size_t i = 0; i < panel.items.size(); ++i) {
    if (name == panel.items[i].FindData.cFileName) {
      panel.current = static_cast<int>(i);
      return true;
    }
  }
  return false;
}

void Host::RereadPluginPanel(Panel& panel) {
  Plugin* plugin = panel.plugin;
  if (!plugin) return;
  OpenPluginInfo info{};
  info.StructSize = sizeof(info);
  if (plugin->GetOpenPluginInfo) plugin->GetOpenPluginInfo(panel.handle, &info);
  panel.openInfo = info;
  panel.folder = info.CurDir ? info.CurDir : "";

  PluginPanelItem* items = nullptr;
  int count = 0;
  if (!plugin->GetFindData || !plugin->GetFindData(panel.handle, &items, &count, 0) || !items ||
      count < 0)
    count = 0;
  panel.items.clear();
  if (info.Flags & OPIF_ADDDOTS) panel.items.push_back(MakeDotsEntry());
  panel.items.insert(panel.items.end(), items, items + count);
  panel.selected.assign(panel.items.size(), false);
  int last = static_cast<int>(panel.items.size()) - 1;
  panel.current = std::clamp(panel.current, 0, std::max(last, 0));
}

void Host::UpdatePanel(Panel& panel) {
  ++panel.updates;
  if (panel.plugin) {
    RereadPluginPanel(panel);
    return;
  }
  int current = panel.current;
  std::string name =
      current < static_cast<int>(panel.items.size()) ? panel.items[current].FindData.cFileName : "";
  if (!ShowFolder(panel, panel.folder)) return;
  if (!SetCurrentItem(panel, name))
    panel.current = std::clamp(current, 0, std::max(static_cast<int>(panel.items.size()) - 1, 0));
}

int Host::PressKey(int key, unsigned controlState) {
  Panel& panel = activePanel();
  int result = 0;
  if (panel.plugin && panel.plugin->ProcessKey)
    result = panel.plugin->ProcessKey(panel.handle, key, controlState);
  CarryOutPendingClose();
  return result;
}

int Host::ChangeDirectory(const std::string& dir) {
  Panel& panel = activePanel();
  if (panel.plugin) {
    int result =
        panel.plugin->SetDirectory ? panel.plugin->SetDirectory(panel.handle, dir.c_str(), 0) : 0;
    CarryOutPendingClose();
    return result;
  }
  if (dir == "..") {
    std::string from = LastName(panel.folder);
    if (!ShowFolder(panel, ParentFolder(panel.folder))) return 0;
    SetCurrentItem(panel, from);
    return 1;
  }
  if (dir.empty()) return 0;
  std::string target = dir.front() == platform::kPathSeparator ? dir : panel.folder + dir;
  return ShowFolder(panel, target) ? 1 : 0;
}

void Host::ClosePluginPanel(Panel& panel) {
  if (!panel.plugin) return;
  if (pendingClose_ == &panel) pendingClose_ = nullptr;
  Plugin* plugin = panel.plugin;
  HANDLE handle = panel.handle;
  std::string folder = panel.folderBeforePlugin;
  panel.plugin = nullptr;  // no service reaches a panel that is being closed
  if (plugin->ClosePlugin) plugin->ClosePlugin(handle);
  ShowFolderOrFallback(panel, folder, folder);
}

void Host::RequestClosePluginPanel(Panel& panel, const char* dir) {
  pendingClose_ = &panel;
  pendingCloseDir_ = dir ? dir : "";
}

void Host::CarryOutPendingClose() {
  Panel* panel = pendingClose_;
  pendingClose_ = nullptr;
  if (!panel || !panel->plugin) return;
  std::string dir = pendingCloseDir_;
  Plugin* plugin = panel->plugin;
  HANDLE handle = panel->handle;
  std::string returnTo = panel->folderBeforePlugin;
  panel->plugin = nullptr;
  if (plugin->ClosePlugin) plugin->ClosePlugin(handle);
  std::string target = returnTo;
  if (!dir.empty() && dir != "..")
    target = dir.front() == platform::kPathSeparator ? dir : WithTrailingSeparator(returnTo) + dir;
  ShowFolderOrFallback(*panel, target, returnTo);
}

void Host::ShowFolderOrFallback(Panel& panel, const std::string& folder,
                                const std::string& fallback) {
  if (!folder.empty() && ShowFolder(panel, folder)) return;
  if (!fallback.empty() && ShowFolder(panel, fallback)) return;
  if (ShowFolder(panel, "/")) return;
  // Nothing can be listed: an empty file panel, never a panel of a closed plugin.
  panel.type = PTYPE_FILEPANEL;
  panel.plugin = nullptr;
  panel.handle = FAR_INVALID_HANDLE;
  panel.openInfo = OpenPluginInfo{};
  panel.folder = WithTrailingSeparator(fallback.empty() ? "/" : fallback);
  panel.items.clear();
  panel.selected.clear();
  panel.current = 0;
}

void Host::FillPanelInfo(Panel& panel, PanelInfo* info) {
  std::memset(info, 0, sizeof(*info));
  info->PanelType = panel.type;
  info->Plugin = panel.plugin ? 1 : 0;
  panel.lentItems = panel.items;
  panel.lentSelected.clear();
  panel.selected.resize(panel.items.size(), false);
  for (std::size_t i = 0; i < panel.items.size(); ++i)
    if (panel.selected[i]) panel.lentSelected.push_back(panel.items[i]);
  int count = static_cast<int>(panel.items.size());
  panel.current = std::clamp(panel.current, 0, std::max(count - 1, 0));
  // With nothing selected, the real host reports the entry under the cursor as selected.
  if (panel.lentSelected.empty() && count > 0)
    panel.lentSelected.push_back(panel.items[panel.current]);
  info->PanelItems = panel.lentItems.empty() ? nullptr : panel.lentItems.data();
  info->ItemsNumber = count;
  info->SelectedItems = panel.lentSelected.empty() ? nullptr : panel.lentSelected.data();
  info->SelectedItemsNumber = static_cast<int>(panel.lentSelected.size());
  info->CurrentItem = panel.current;
  info->Visible = 1;
  info->Focus = isActive(panel) ? 1 : 0;
  // The folder is cut, never overflowed; a real host has no longer folders.
  std::size_t length = std::min(panel.folder.size(), sizeof(info->CurDir) - 1);
  std::memcpy(info->CurDir, panel.folder.data(), length);
  info->CurDir[length] = '\0';
}

}  // namespace host
