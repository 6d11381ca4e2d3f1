#include "flavour/far3/host3.h"

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "common/host_binding.h"
#include "far3/plugin3_layout.h"
#include "flavour/far3/editor3.h"
#include "flavour/far3/guids.h"
#include "flavour/far3/wide_strings.h"

namespace {

// The host calls in on one thread and gives its record once: kept for the module's life.
far3::PluginStartupInfo g_host{};
far3::Uuid g_plugin{};
// The root of the settings key the core composes, as Far 3 gives it to 1.x plugins.
const char* const kRootKey = "Software\\Far Manager\\Plugins";

const far3::Uuid* FindTopicGuid(const char* topic) {
  if (!topic) return &far3::kMessageGuid;
  for (const far3::TopicGuid& entry : far3::kTopicGuids)
    if (entry.topic == topic) return &entry.id;
  return &far3::kMessageGuid;
}

// Texts from the language file: converted once, kept for the life of the module, as the
// host keeps its own.
const char* FARAPI BridgeGetMsg(FarModuleNumber, int id) {
  static std::map<int, std::string> texts;
  if (!g_host.GetMsg) return nullptr;
  const wchar_t* text = g_host.GetMsg(&g_plugin, id);
  if (!text) return nullptr;
  auto [at, added] = texts.try_emplace(id);
  if (added) at->second = Utf8Of(text);
  return at->second.c_str();
}

int FARAPI BridgeMessage(FarModuleNumber, DWORD flags, const char* topic, const char* const* items,
                         int itemsNumber, int buttonsNumber) {
  if (!g_host.Message || itemsNumber < 0) return -1;
  std::vector<std::wstring> lines;
  lines.reserve(static_cast<std::size_t>(itemsNumber));
  for (int i = 0; i < itemsNumber; ++i) lines.push_back(WideOf(items[i]));
  std::vector<const wchar_t*> pointers;
  for (const std::wstring& line : lines) pointers.push_back(line.c_str());
  // The topic the core named, passed on as it is.
  const std::wstring wideTopic = WideOf(topic);
  const wchar_t* helpTopic = topic ? wideTopic.c_str() : nullptr;
  // Only the warning bit is the core's: the others mean other things in this API.
  const far3::Flags64 hostFlags = (flags & FMSG_WARNING) ? far3::FMSG_WARNING : 0;
  return static_cast<int>(g_host.Message(&g_plugin, FindTopicGuid(topic), hostFlags, helpTopic,
                                         pointers.data(), pointers.size(), buttonsNumber));
}

bool IsEditField(int type) { return type == DI_EDIT || type == DI_FIXEDIT || type == DI_PSWEDIT; }
bool HasState(int type) { return type == DI_CHECKBOX || type == DI_RADIOBUTTON; }

far3::Flags64 ConvertItemFlags(const FarDialogItem& from) {
  static const struct {
    DWORD core;
    far3::Flags64 host;
  } kFlags[] = {{DIF_BOXCOLOR, far3::DIF_BOXCOLOR},
                {DIF_GROUP, far3::DIF_GROUP},
                {DIF_CENTERGROUP, far3::DIF_CENTERGROUP},
                {DIF_SEPARATOR, far3::DIF_SEPARATOR},
                {DIF_HISTORY, far3::DIF_HISTORY}};
  far3::Flags64 flags = 0;
  for (const auto& f : kFlags)
    if (from.Flags & f.core) flags |= f.host;
  if (from.Focus) flags |= far3::DIF_FOCUS;
  if (from.DefaultButton) flags |= far3::DIF_DEFAULTBUTTON;
  return flags;
}

// The host's items for the core's: texts and history names converted, kept in texts.
std::vector<far3::FarDialogItem> ConvertItems(const FarDialogItem* items, int count,
                                              std::vector<std::wstring>* texts) {
  std::vector<far3::FarDialogItem> out(static_cast<std::size_t>(count));
  texts->reserve(2 * static_cast<std::size_t>(count));  // no reallocation: items point in
  for (int i = 0; i < count; ++i) {
    const FarDialogItem& from = items[i];
    far3::FarDialogItem& to = out[static_cast<std::size_t>(i)];
    to.Type = static_cast<far3::DialogItemType>(from.Type);
    to.X1 = from.X1;
    to.Y1 = from.Y1;
    to.X2 = from.X2;
    to.Y2 = from.Y2;
    to.Flags = ConvertItemFlags(from);
    if (IsEditField(from.Type) && (from.Flags & DIF_HISTORY) && from.History) {
      texts->push_back(WideOf(from.History));
      to.History = texts->back().c_str();
    } else if (HasState(from.Type)) {
      to.Selected = from.Selected;
    }
    texts->push_back(WideOf(std::string_view(from.Data, strnlen(from.Data, sizeof(from.Data)))));
    to.Data = texts->back().c_str();
    // The core's item holds this many bytes; a longer text is cut before a character.
    to.MaxLength = IsEditField(from.Type) ? sizeof(from.Data) - 1 : 0;
  }
  return out;
}

// The dialog's results into the core's item: an edit field's text as UTF-8, a check box's
// state.
void ReadBack(HANDLE dialog, int index, FarDialogItem* item) {
  if (HasState(item->Type)) {
    item->Selected = static_cast<decltype(item->Selected)>(
        g_host.SendDlgMessage(dialog, far3::DM_GETCHECK, index, nullptr));
  } else if (IsEditField(item->Type)) {
    const auto* text = reinterpret_cast<const wchar_t*>(
        g_host.SendDlgMessage(dialog, far3::DM_GETCONSTTEXTPTR, index, nullptr));
    const std::string bytes = Utf8Of(text);
    const std::size_t length = FitUtf8(bytes, sizeof(item->Data) - 1);
    std::memcpy(item->Data, bytes.data(), length);
    item->Data[length] = '\0';
  }
}

int FARAPI BridgeDialog(FarModuleNumber, int x1, int y1, int x2, int y2, const char* helpTopic,
                        FarDialogItem* items, int count) {
  if (!g_host.DialogInit || !g_host.DialogRun || !g_host.DialogFree || !g_host.SendDlgMessage ||
      !items || count <= 0)
    return -1;
  std::vector<std::wstring> texts;
  std::vector<far3::FarDialogItem> hostItems = ConvertItems(items, count, &texts);
  const std::wstring help = WideOf(helpTopic);
  HANDLE dialog = g_host.DialogInit(&g_plugin, FindTopicGuid(helpTopic), x1, y1, x2, y2,
                                    helpTopic ? help.c_str() : nullptr, hostItems.data(),
                                    hostItems.size(), 0, 0, nullptr, nullptr);
  if (dialog == FAR_INVALID_HANDLE) return -1;
  const int result = static_cast<int>(g_host.DialogRun(dialog));
  for (int i = 0; i < count; ++i) ReadBack(dialog, i, &items[i]);
  g_host.DialogFree(dialog);
  return result;
}

HANDLE FARAPI BridgeSaveScreen(int x1, int y1, int x2, int y2) {
  return g_host.SaveScreen ? g_host.SaveScreen(x1, y1, x2, y2) : nullptr;
}

void FARAPI BridgeRestoreScreen(HANDLE screen) {
  if (g_host.RestoreScreen) g_host.RestoreScreen(screen);
}

}  // namespace

void BindFar3Host(const far3::PluginStartupInfo* host, const far3::Uuid& plugin,
                  FARAPICONTROL control) {
  // A host with a shorter record has none of the later services.
  g_host = far3::PluginStartupInfo{};
  const std::size_t size = host->StructSize > 0 && host->StructSize < sizeof(g_host)
                               ? host->StructSize
                               : sizeof(g_host);
  std::memcpy(&g_host, host, size);
  g_plugin = plugin;
  BindFar3Editor(g_host.EditorControl);

  PluginStartupInfo info{};
  info.StructSize = sizeof(info);
  const std::string name = Utf8Of(host->ModuleName);
  // A path that does not fit is left out rather than cut: the hand-off then finds no
  // Linquo, and nothing else needs it.
  if (name.size() < sizeof(info.ModuleName))
    std::memcpy(info.ModuleName, name.c_str(), name.size() + 1);
  info.RootKey = kRootKey;
  info.Dialog = BridgeDialog;
  info.Message = BridgeMessage;
  info.GetMsg = BridgeGetMsg;
  info.SaveScreen = BridgeSaveScreen;
  info.RestoreScreen = BridgeRestoreScreen;
  info.Control = control;
  info.EditorControl = BridgeEditorControl;
  CopyStartupInfo(&info);
}

const far3::PluginStartupInfo& Far3Host() { return g_host; }

const far3::Uuid* Far3Plugin() { return &g_plugin; }
