#include "program_host.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "escaped_text.h"
#include "questions.h"

namespace program {
namespace {

std::string DialogTitle(const FarDialogItem* items, int count) {
  for (int i = 0; i < count; ++i)
    if (items[i].Type == DI_DOUBLEBOX || items[i].Type == DI_SINGLEBOX) return items[i].Data;
  return "";
}

host::Plugin* LoadOne(host::Host& host, const std::string& folder, const char* name) {
  std::string path = folder + name;
  host::Plugin* plugin = host.LoadPlugin(path);
  if (!plugin) {
    std::fprintf(stderr, "quarix: cannot load the plugin module %s\n", EscapeName(path).c_str());
    return nullptr;
  }
  host.QueryPluginInfo(plugin);
  return plugin;
}

}  // namespace

std::string FindPluginFolder() {
  if (const char* dir = std::getenv("QUARIX_PLUGIN_DIR"); dir && *dir) {
    std::string folder = dir;
    if (folder.back() != '/') folder += '/';
    return folder;
  }
  std::vector<char> buffer(4096);
  ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
  if (length <= 0) return "./";
  std::string exe(buffer.data(), static_cast<std::size_t>(length));
  return exe.substr(0, exe.rfind('/') + 1);
}

LoadedPlugins LoadPlugins(host::Host& host, const std::string& folder) {
  LoadedPlugins loaded;
  loaded.trawlix = LoadOne(host, folder, "Trawlix.so");
  loaded.linquo = LoadOne(host, folder, "Linquo.so");
  return loaded;
}

void SetUpTerminalDriver(host::Host& host, ProgressLine& progress) {
  host.driver.message = [&progress](const host::MessageRequest& request) {
    if (request.buttons == 0) {
      progress.Show(request.lines);
      return 0;
    }
    progress.Clear();
    WriteMessageLines(request);
    const std::size_t textLines = request.lines.size() - static_cast<std::size_t>(request.buttons);
    std::string buttons;
    for (std::size_t i = textLines; i < request.lines.size(); ++i)
      buttons += (buttons.empty() ? "[ " : "  [ ") + EscapeControlBytes(request.lines[i]) + " ]";
    std::fprintf(stderr, "%s\n", buttons.c_str());
    // No questions are asked on the terminal yet: a lone button is pressed (it only
    // acknowledges), anything else is answered as Escape would.
    return request.buttons == 1 ? 0 : -1;
  };
  host.driver.dialog = [&progress](int, const char*, FarDialogItem* items, int count) {
    progress.Clear();
    std::fprintf(stderr, "quarix: the dialog \"%s\" cannot be answered here; cancelled\n",
                 EscapeControlBytes(DialogTitle(items, count)).c_str());
    return -1;
  };
}

}  // namespace program
