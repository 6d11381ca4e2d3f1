// The services the plugins reach through their startup record. Each call is recorded
// on the current host when it keeps a record; the answers of dialogs and messages come
// from its driver.
#include <algorithm>
#include <cstring>

#include "host/host.h"

namespace host {
namespace {

std::intptr_t AsNumber(const void* pointer) { return reinterpret_cast<std::intptr_t>(pointer); }

// One service call on its way into the host's record. Without a record it goes into a
// scratch copy that is dropped. Its place in the record is found again by index each
// time: a driver may record calls of its own while the call is answered.
class CallRecord {
 public:
  CallRecord(Host& host, const char* service, FarModuleNumber moduleNumber = -1) : host_(host) {
    if (!host.recordCalls) return;
    kept_ = true;
    index_ = host.calls.size();
    host.calls.emplace_back();
    call().service = service;
    call().moduleNumber = moduleNumber;
  }
  // False when nothing is kept: what is costly to record need not be gathered.
  bool kept() const { return kept_; }
  ServiceCall& call() { return kept_ ? host_.calls[index_] : scratch_; }

 private:
  Host& host_;
  bool kept_ = false;
  std::size_t index_ = 0;
  ServiceCall scratch_;
};

// The services we do not offer: the call is recorded and fails.
void RecordUnsupported(const char* service) {
  if (Host* host = CurrentHost()) CallRecord(*host, service);
}

int FARAPI Menu(FarModuleNumber moduleNumber, int, int, int, DWORD, const char*, const char*,
                const char*, const int*, int* breakCode, const FarMenuItem*, int) {
  if (breakCode) *breakCode = -1;
  if (Host* host = CurrentHost()) CallRecord(*host, "Menu", moduleNumber).call().result = -1;
  return -1;
}

int FARAPI Dialog(FarModuleNumber moduleNumber, int x1, int y1, int x2, int y2,
                  const char* helpTopic, FarDialogItem* items, int count) {
  Host* host = CurrentHost();
  if (!host) return -1;
  CallRecord record(*host, "Dialog", moduleNumber);
  record.call().args = {x1, y1, x2, y2, count};
  record.call().texts.push_back(helpTopic ? helpTopic : "");
  if (!items || count <= 0) {
    record.call().result = -1;
    return -1;
  }
  for (int i = 0; i < count; ++i) {
    items[i].Data[sizeof(items[i].Data) - 1] = '\0';
    if (!record.kept()) continue;
    record.call().items.push_back(items[i]);
    record.call().texts.push_back(items[i].Data);
  }
  int answer = -1;
  if (host->driver.dialog) {
    answer = host->driver.dialog(moduleNumber, helpTopic, items, count);
    // Whatever the driver wrote, the plugin reads zero-terminated texts.
    for (int i = 0; i < count; ++i) items[i].Data[sizeof(items[i].Data) - 1] = '\0';
    if (answer < -1 || answer >= count) answer = -1;
  }
  record.call().result = answer;
  return answer;
}

int FARAPI Message(FarModuleNumber moduleNumber, DWORD flags, const char* helpTopic,
                   const char* const* lines, int lineCount, int buttons) {
  Host* host = CurrentHost();
  if (!host) return -1;
  CallRecord record(*host, "Message", moduleNumber);
  record.call().args = {static_cast<std::intptr_t>(flags), lineCount, buttons};
  record.call().texts.push_back(helpTopic ? helpTopic : "");
  if (!lines || lineCount < 0) lineCount = 0;
  MessageRequest request;
  request.moduleNumber = moduleNumber;
  request.flags = flags;
  request.helpTopic = helpTopic ? helpTopic : "";
  for (int i = 0; i < lineCount; ++i) request.lines.push_back(lines[i] ? lines[i] : "");
  // The buttons are among the lines, after the title.
  request.buttons = buttons < 0 ? 0 : std::min(buttons, std::max(lineCount - 1, 0));
  if (record.kept())
    record.call().texts.insert(record.call().texts.end(), request.lines.begin(),
                               request.lines.end());

  int answer = host->driver.message ? host->driver.message(request) : -1;
  if (request.buttons == 0)
    answer = 0;  // drawn and left on screen; nothing to answer
  else if (answer < -1 || answer >= request.buttons)
    answer = -1;
  record.call().result = answer;
  return answer;
}

const char* FARAPI GetMsg(FarModuleNumber moduleNumber, int number) {
  Host* host = CurrentHost();
  if (!host) return "";
  const char* text = "";
  if (Plugin* plugin = host->FindPlugin(moduleNumber))
    if (number >= 0 && static_cast<std::size_t>(number) < plugin->messages.size())
      text = plugin->messages[number].c_str();
  CallRecord record(*host, "GetMsg", moduleNumber);
  record.call().args = {number};
  if (record.kept()) record.call().texts.push_back(text);
  return text;
}

int RunControl(Host& host, HANDLE handle, int command, void* param) {
  Panel* panel = host.FindPluginPanel(handle);
  if (!panel) return 0;
  switch (command) {
    case FCTL_CLOSEPLUGIN:
      if (!panel->plugin) return 0;
      host.RequestClosePluginPanel(*panel, static_cast<const char*>(param));
      return 1;
    case FCTL_GETPANELINFO:
    case FCTL_GETANOTHERPANELINFO:
      if (!param) return 0;
      host.FillPanelInfo(command == FCTL_GETPANELINFO ? *panel : host.oppositePanel(*panel),
                         static_cast<PanelInfo*>(param));
      return 1;
    case FCTL_UPDATEPANEL:
      host.UpdatePanel(*panel);
      return 1;
    case FCTL_UPDATEANOTHERPANEL:
      host.UpdatePanel(host.oppositePanel(*panel));
      return 1;
    case FCTL_REDRAWPANEL:
      ++panel->redraws;
      return 1;
    case FCTL_REDRAWANOTHERPANEL:
      ++host.oppositePanel(*panel).redraws;
      return 1;
    default:
      return 0;
  }
}

int FARAPI Control(HANDLE handle, int command, void* param) {
  Host* host = CurrentHost();
  if (!host) return 0;
  CallRecord record(*host, "Control");
  record.call().args = {AsNumber(handle), command};
  if (command == FCTL_CLOSEPLUGIN && param)
    record.call().texts.push_back(static_cast<const char*>(param));
  int result = RunControl(*host, handle, command, param);
  record.call().result = result;
  return result;
}

HANDLE FARAPI SaveScreen(int x1, int y1, int x2, int y2) {
  Host* host = CurrentHost();
  if (!host) return nullptr;
  static std::intptr_t next = 0;
  HANDLE screen = reinterpret_cast<HANDLE>(++next);
  host->savedScreens.push_back(screen);
  CallRecord record(*host, "SaveScreen");
  record.call().args = {x1, y1, x2, y2};
  record.call().result = AsNumber(screen);
  return screen;
}

void FARAPI RestoreScreen(HANDLE screen) {
  Host* host = CurrentHost();
  if (!host) return;
  CallRecord(*host, "RestoreScreen").call().args = {AsNumber(screen)};
  auto& saved = host->savedScreens;
  for (auto it = saved.begin(); it != saved.end(); ++it) {
    if (*it == screen) {
      saved.erase(it);
      break;
    }
  }
}

int FARAPI GetDirList(const char*, PluginPanelItem** items, int* count) {
  if (items) *items = nullptr;
  if (count) *count = 0;
  RecordUnsupported("GetDirList");
  return 0;
}

int FARAPI GetPluginDirList(FarModuleNumber moduleNumber, HANDLE, const char*,
                            PluginPanelItem** items, int* count) {
  if (items) *items = nullptr;
  if (count) *count = 0;
  if (Host* host = CurrentHost()) CallRecord(*host, "GetPluginDirList", moduleNumber);
  return 0;
}

void FARAPI FreeDirList(const PluginPanelItem*) { RecordUnsupported("FreeDirList"); }

int FARAPI ViewerService(const char*, const char*, int, int, int, int, DWORD) {
  RecordUnsupported("Viewer");
  return 0;
}

int FARAPI EditorService(const char*, const char*, int, int, int, int, DWORD, int, int) {
  RecordUnsupported("Editor");
  return 0;
}

int FARAPI CmpName(const char*, const char*, int) {
  RecordUnsupported("CmpName");
  return 0;
}

int FARAPI CharTable(int, char*, int) {
  RecordUnsupported("CharTable");
  return -1;
}

void FARAPI Text(int, int, int, const char*) { RecordUnsupported("Text"); }

int FARAPI EditorControl(int command, void* param) {
  Host* host = CurrentHost();
  if (!host) return 0;
  CallRecord record(*host, "EditorControl");
  record.call().args = {command};
  // Without an open editor every command fails, as outside the real host's editor.
  const int result = host->editor() ? host->editor()->Control(command, param) : 0;
  record.call().result = result;
  return result;
}

}  // namespace

void FillServicePointers(PluginStartupInfo* info) {
  info->Menu = Menu;
  info->Dialog = Dialog;
  info->Message = Message;
  info->GetMsg = GetMsg;
  info->Control = Control;
  info->SaveScreen = SaveScreen;
  info->RestoreScreen = RestoreScreen;
  info->GetDirList = GetDirList;
  info->GetPluginDirList = GetPluginDirList;
  info->FreeDirList = FreeDirList;
  info->Viewer = ViewerService;
  info->Editor = EditorService;
  info->CmpName = CmpName;
  info->CharTable = CharTable;
  info->Text = Text;
  info->EditorControl = EditorControl;
}

}  // namespace host
