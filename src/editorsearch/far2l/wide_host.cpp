#include "editorsearch/far2l/wide_host.h"

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "common/host_binding.h"
#include "editorsearch/far2l/wide_editor.h"
#include "editorsearch/far2l/wide_text.h"

namespace {

wide::PluginStartupInfo g_host{};
std::string g_rootKey;

std::wstring ToWide(const char* text) { return text ? DecodeToWide(text) : std::wstring(); }

const wchar_t* OrNull(const char* text, const std::wstring& converted) {
  return text ? converted.c_str() : nullptr;
}

// Texts from the language file: converted once, kept for the life of the module, as the
// host keeps its own.
const char* FARAPI BridgeGetMsg(FarModuleNumber, int id) {
  static std::map<int, std::string> texts;
  if (!g_host.GetMsg) return nullptr;
  const wchar_t* text = g_host.GetMsg(g_host.ModuleNumber, id);
  if (!text) return nullptr;
  auto [at, added] = texts.try_emplace(id);
  if (added) at->second = EncodeWide(text);
  return at->second.c_str();
}

int FARAPI BridgeMessage(FarModuleNumber, DWORD flags, const char* topic, const char* const* items,
                         int itemsNumber, int buttonsNumber) {
  if (!g_host.Message || itemsNumber < 0) return -1;
  std::vector<std::wstring> lines;
  lines.reserve(static_cast<std::size_t>(itemsNumber));
  std::vector<const wchar_t*> pointers;
  for (int i = 0; i < itemsNumber; ++i) lines.push_back(ToWide(items[i]));
  for (const std::wstring& line : lines) pointers.push_back(line.c_str());
  // The topic the core named, passed on as it is.
  const std::wstring wideTopic = ToWide(topic);
  const wchar_t* helpTopic = OrNull(topic, wideTopic);
  return static_cast<int>(g_host.Message(g_host.ModuleNumber, flags, helpTopic, pointers.data(),
                                         itemsNumber, buttonsNumber));
}

bool IsEditField(int type) { return type == DI_EDIT || type == DI_FIXEDIT || type == DI_PSWEDIT; }

bool HasState(int type) { return type == DI_CHECKBOX || type == DI_RADIOBUTTON; }

// The wide items for the core's: texts and history names converted, kept in texts.
std::vector<wide::FarDialogItem> ToWideItems(const FarDialogItem* items, int count,
                                             std::vector<std::wstring>* texts) {
  std::vector<wide::FarDialogItem> out(static_cast<std::size_t>(count));
  texts->reserve(2 * static_cast<std::size_t>(count));  // no reallocation: items point in
  for (int i = 0; i < count; ++i) {
    const FarDialogItem& from = items[i];
    wide::FarDialogItem& to = out[static_cast<std::size_t>(i)];
    to.Type = from.Type;
    to.X1 = from.X1;
    to.Y1 = from.Y1;
    to.X2 = from.X2;
    to.Y2 = from.Y2;
    to.Focus = from.Focus;
    to.Flags = from.Flags;
    to.DefaultButton = from.DefaultButton;
    if (IsEditField(from.Type) && (from.Flags & DIF_HISTORY) && from.History) {
      texts->push_back(ToWide(from.History));
      to.History = texts->back().c_str();
    } else {
      to.Selected = static_cast<int>(from.Selected);
    }
    texts->push_back(
        DecodeToWide(std::string_view(from.Data, strnlen(from.Data, sizeof(from.Data)))));
    to.PtrData = texts->back().c_str();
    // An edit field takes no more characters than the core's item holds bytes.
    to.MaxLen = IsEditField(from.Type) ? sizeof(from.Data) - 1 : 0;
  }
  return out;
}

// The dialog's results into the core's item: an edit field's text as UTF-8 (cut before a
// character if it does not fit), a check box's state.
void ReadBack(HANDLE dialog, int index, FarDialogItem* item) {
  if (HasState(item->Type)) {
    item->Selected = static_cast<decltype(item->Selected)>(
        g_host.SendDlgMessage(dialog, wide::DM_GETCHECK, index, 0));
  } else if (IsEditField(item->Type)) {
    const auto* text = reinterpret_cast<const wchar_t*>(
        g_host.SendDlgMessage(dialog, wide::DM_GETCONSTTEXTPTR, index, 0));
    const std::string bytes = text ? EncodeWide(text) : std::string();
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
  std::vector<wide::FarDialogItem> wideItems = ToWideItems(items, count, &texts);
  const std::wstring help = ToWide(helpTopic);
  HANDLE dialog =
      g_host.DialogInit(g_host.ModuleNumber, x1, y1, x2, y2, OrNull(helpTopic, help),
                        wideItems.data(), static_cast<unsigned>(count), 0, 0, nullptr, 0);
  if (dialog == FAR_INVALID_HANDLE) return -1;
  const int result = g_host.DialogRun(dialog);
  for (int i = 0; i < count; ++i) ReadBack(dialog, i, &items[i]);
  g_host.DialogFree(dialog);
  return result;
}

}  // namespace

void BindWideHost(const wide::PluginStartupInfo* host) {
  // A host with a shorter record has none of the later services.
  g_host = wide::PluginStartupInfo{};
  const std::size_t size =
      host->StructSize > 0 && static_cast<std::size_t>(host->StructSize) < sizeof(g_host)
          ? static_cast<std::size_t>(host->StructSize)
          : sizeof(g_host);
  std::memcpy(&g_host, host, size);
  g_rootKey = host->RootKey ? EncodeWide(host->RootKey) : std::string();
  BindWideEditor(g_host.EditorControl);

  PluginStartupInfo info{};
  info.StructSize = sizeof(info);
  if (host->ModuleName) {
    const std::string name = EncodeWide(host->ModuleName);
    // A path that does not fit is left out rather than cut: the core does not need it.
    if (name.size() < sizeof(info.ModuleName))
      std::memcpy(info.ModuleName, name.c_str(), name.size() + 1);
  }
  info.ModuleNumber = static_cast<FarModuleNumber>(host->ModuleNumber);
  info.RootKey = g_rootKey.c_str();
  info.Dialog = BridgeDialog;
  info.Message = BridgeMessage;
  info.GetMsg = BridgeGetMsg;
  info.EditorControl = BridgeEditorControl;
  CopyStartupInfo(&info);
}
