// The services the plugins reach through their startup record. Each call is recorded
// on the current host; the answers of dialogs and messages come from its driver.
#include <algorithm>
#include <cstring>

#include "host/host.h"

namespace host {
namespace {

std::intptr_t AsNumber(const void* pointer) { return reinterpret_cast<std::intptr_t>(pointer); }

ServiceCall& Record(Host& host, const char* service, FarModuleNumber moduleNumber = -1) {
  ServiceCall call;
  call.service = service;
  call.moduleNumber = moduleNumber;
  host.calls.push_back(std::move(call));
  return host.calls.back();
}

// The services we do not offer: the call is recorded and fails.
void RecordUnsupported(const char* service) {
  if (Host* host = CurrentHost()) Record(*host, service);
}

int FARAPI Menu(FarModuleNumber moduleNumber, int, int, int, DWORD, const char*, const char*, const char*,
                const int*, int* breakCode, const FarMenuItem*, int) {
  if (breakCode) *breakCode = -1;
  if (Host* host = CurrentHost()) Record(*host, "Menu", moduleNumber).result = -1;
  return -1;
}

int FARAPI Dialog(FarModuleNumber moduleNumber, int x1, int y1, int x2, int y2, const char* helpTopic,
                  FarDialogItem* items, int count) {
  Host* host = CurrentHost();
  if (!host) return -1;
  // The driver may add calls of its own; work on the index, not a reference.
  std::size_t index = host->calls.size();
  ServiceCall& call = Record(*host, "Dialog", moduleNumber);
  call.args = {x1, y1, x2, y2, count};
  call.texts.push_back(helpTopic ? helpTopic : "");
  if (!items || count <= 0) {
    call.result = -1;
    return -1;
  }
  for (int i = 0; i < count; ++i) {
    items[i].Data[sizeof(items[i].Data) - 1] = '\0';
    call.items.push_back(items[i]);
    call.texts.push_back(items[i].Data);
  }
  int answer = -1;
  if (host->driver.dialog) {
    answer = host->driver.dialog(moduleNumber, helpTopic, items, count);
    // Whatever the driver wrote, the plugin reads zero-terminated texts.
    for (int i = 0; i < count; ++i) items[i].Data[sizeof(items[i].Data) - 1] = '\0';
    if (answer < -1 || answer >= count) answer = -1;
  }
  host->calls[index].result = answer;
  return answer;
}

int FARAPI Message(FarModuleNumber moduleNumber, DWORD flags, const char* helpTopic, const char* const* lines,
                   int lineCount, int buttons) {
  Host* host = CurrentHost();
  if (!host) return -1;
  std::size_t index = host->calls.size();
  ServiceCall& call = Record(*host, "Message", moduleNumber);
  call.args = {static_cast<std::intptr_t>(flags), lineCount, buttons};
  call.texts.push_back(helpTopic ? helpTopic : "");
  if (!lines || lineCount < 0) lineCount = 0;
  MessageRequest request;
  request.moduleNumber = moduleNumber;
  request.flags = flags;
  request.helpTopic = helpTopic ? helpTopic : "";
  for (int i = 0; i < lineCount; ++i) request.lines.push_back(lines[i] ? lines[i] : "");
  // The buttons are among the lines, after the title.
  request.buttons = buttons < 0 ? 0 : std::min(buttons, std::max(lineCount - 1, 0));
  call.texts.insert(call.texts.end(), request.lines.begin(), request.lines.end());

  int answer = host->driver.message ? host->driver.message(request) : -1;
  if (request.buttons == 0)
    answer = 0;  // drawn and left on screen; nothing to answer
  else if (answer < -1 || answer >= request.buttons)
    answer = -1;
  host->calls[index].result = answer;
  return answer;
}

const char* FARAPI GetMsg(FarModuleNumber moduleNumber, int number) {
  Host* host = CurrentHost();
  if (!host) return "";
  const char* text = "";
  if (Plugin* plugin = host->FindPlugin(moduleNumber))
    if (number >= 0 && static_cast<std::size_t>(number) < plugin->messages.size())
      text = plugin->messages[number].c_str();
  ServiceCall& call = Record(*host, "GetMsg", moduleNumber);
  call.args = {number};
  call.texts.push_back(text);
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
  std::size_t index = host->calls.size();
  ServiceCall& call = Record(*host, "Control");
  call.args = {AsNumber(handle), command};
  if (command == FCTL_CLOSEPLUGIN && param) call.texts.push_back(static_cast<const char*>(param));
  int result = RunControl(*host, handle, command, param);
  host->calls[index].result = result;
  return result;
}

HANDLE FARAPI SaveScreen(int x1, int y1, int x2, int y2) {
  Host* host = CurrentHost();
  if (!host) return nullptr;
  static std::intptr_t next = 0;
  HANDLE screen = reinterpret_cast<HANDLE>(++next);
  host->savedScreens.push_back(screen);
  ServiceCall& call = Record(*host, "SaveScreen");
  call.args = {x1, y1, x2, y2};
  call.result = AsNumber(screen);
  return screen;
}

void FARAPI RestoreScreen(HANDLE screen) {
  Host* host = CurrentHost();
  if (!host) return;
  Record(*host, "RestoreScreen").args = {AsNumber(screen)};
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

int FARAPI GetPluginDirList(FarModuleNumber moduleNumber, HANDLE, const char*, PluginPanelItem** items,
                            int* count) {
  if (items) *items = nullptr;
  if (count) *count = 0;
  if (Host* host = CurrentHost()) Record(*host, "GetPluginDirList", moduleNumber);
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
  std::size_t index = host->calls.size();
  Record(*host, "EditorControl").args = {command};
  // Without an open editor every command fails, as outside the real host's editor.
  const int result = host->editor() ? host->editor()->Control(command, param) : 0;
  host->calls[index].result = result;
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
