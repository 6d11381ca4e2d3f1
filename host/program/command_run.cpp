#include "command_run.h"

#include <dirent.h>
#include <sys/stat.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>

#include "command_args.h"
#include "escaped_text.h"
#include "platform/platform.h"

namespace program {

std::optional<int> ReadCommandLine(const CommandLine& line) {
  std::string error;
  bool help = false;
  if (!line.read(&error, &help)) {
    // The words are the user's own, but control bytes in them would act on the terminal.
    std::fprintf(stderr, "%s: %s\n%s", line.prefix, EscapeControlBytes(error).c_str(), line.usage);
    return kCommandFailed;
  }
  if (help) {
    std::fputs(line.usage, stdout);
    return 0;
  }
  return std::nullopt;
}

std::string ResolveFolder(const std::string& dir) {
  const std::string& given = dir.empty() ? std::string(".") : dir;
  char resolved[PATH_MAX];
  if (!realpath(given.c_str(), resolved)) {
    std::fprintf(stderr, "quarix: %s: %s\n", EscapeName(given).c_str(), std::strerror(errno));
    return "";
  }
  struct stat st;
  if (stat(resolved, &st) != 0 || !S_ISDIR(st.st_mode)) {
    std::fprintf(stderr, "quarix: %s: not a folder\n", EscapeName(given).c_str());
    return "";
  }
  DIR* listing = opendir(resolved);
  if (!listing) {
    std::fprintf(stderr, "quarix: %s: cannot read the folder: %s\n", EscapeName(given).c_str(),
                 std::strerror(errno));
    return "";
  }
  closedir(listing);
  std::string folder = resolved;
  if (folder.back() != '/') folder += '/';
  return folder;
}

namespace {

// A stored setting of the plugins, changed for one command: the old value is stored back
// once the host has ended, after the plugins stored theirs.
class SettingForOneCommand {
 public:
  SettingForOneCommand(const std::string& key, const char* name, std::uint32_t value)
      : key_(key), name_(name) {
    platform::RegistryKey* opened = platform::OpenRegistryKey(key_.c_str());
    if (!opened) return;
    std::uint32_t type = 0, size = sizeof old_;
    hadOld_ = platform::QueryRegistryValue(opened, name_, &type, &old_, &size) &&
              type == platform::kRegDword && size == sizeof old_;
    platform::SetRegistryValue(opened, name_, platform::kRegDword, &value, sizeof value);
    platform::CloseRegistryKey(opened);
  }
  SettingForOneCommand(const SettingForOneCommand&) = delete;
  SettingForOneCommand& operator=(const SettingForOneCommand&) = delete;
  // Without an old value the default, 0, goes back: the plugins store every setting.
  ~SettingForOneCommand() {
    platform::RegistryKey* opened = platform::OpenRegistryKey(key_.c_str());
    if (!opened) return;
    const std::uint32_t value = hadOld_ ? old_ : 0;
    platform::SetRegistryValue(opened, name_, platform::kRegDword, &value, sizeof value);
    platform::CloseRegistryKey(opened);
  }

 private:
  std::string key_;
  const char* name_;
  std::uint32_t old_ = 0;
  bool hadOld_ = false;
};

// Both panels show the folder, and the entries named are selected in the active one.
bool ShowFolderInPanels(host::Host& host, const std::string& folder,
                        const std::vector<std::string>* select) {
  if (!host.ShowFolder(host.activePanel(), folder) || !host.ShowFolder(host.otherPanel(), folder)) {
    std::fprintf(stderr, "quarix: %s: the folder cannot be shown (too long a path?)\n",
                 EscapeName(folder).c_str());
    return false;
  }
  if (!select) return true;
  for (const std::string& name : *select) {
    if (!host.SelectItem(host.activePanel(), name)) {
      std::fprintf(stderr, "quarix: %s: no entry %s to select\n", EscapeName(folder).c_str(),
                   EscapeName(name).c_str());
      return false;
    }
  }
  return true;
}

// The driver of a command's expected dialog (HostSteps::dialog).
int AnswerExpectedDialog(ExpectedDialog& dialog, ProgressLine& progress, const char* helpTopic,
                         FarDialogItem* items, int count,
                         const std::function<int(FarDialogItem* items, int count)>& fill) {
  progress.Clear();
  if (!helpTopic || std::strcmp(helpTopic, dialog.topic) != 0) {
    std::fprintf(stderr, "quarix: an unexpected dialog (%s) was cancelled\n",
                 helpTopic ? helpTopic : "no help topic");
    dialog.explained = true;
    return FindCancelButton(items, count);
  }
  if (++dialog.shown > 1) {
    std::fprintf(stderr, "quarix: the %s came back; cancelled\n", dialog.name);
    dialog.explained = true;
    return FindCancelButton(items, count);
  }
  const int button = fill(items, count);
  if (button < 0) {
    std::fprintf(stderr, "quarix: the %s's fields were not recognised\n", dialog.name);
    dialog.explained = true;
    return FindCancelButton(items, count);
  }
  return button;
}

}  // namespace

int RunInHost(const HostSteps& steps) {
  std::string folder;
  if (steps.dir) {
    folder = ResolveFolder(*steps.dir);
    if (folder.empty()) return kCommandFailed;
  }
  ProgressLine progress;
  std::optional<SettingForOneCommand> threads;  // outlives the host
  host::Host host;  // its end gives every plugin ExitFAR, which stores the settings
  if (steps.threads && *steps.threads)
    threads.emplace(host.rootKey + "\\Quarix", "Threads", static_cast<std::uint32_t>(**steps.threads));
  SetUpTerminalDriver(host, progress);
  CommandHost at{progress, host, {}, folder};
  if (steps.dialog)
    host.driver.dialog = [&](int, const char* helpTopic, FarDialogItem* items, int count) {
      return AnswerExpectedDialog(*steps.dialog, progress, helpTopic, items, count, steps.fill);
    };
  if (steps.answer) steps.answer(at);
  at.plugins = LoadPlugins(host, FindPluginFolder());
  if (!(steps.needsLinquo ? at.plugins.linquo : at.plugins.trawlix)) return kCommandFailed;
  if (steps.dir && !ShowFolderInPanels(host, folder, steps.select)) return kCommandFailed;
  return steps.run(at);
}

int RunCommand(const CommandLine& line, const HostSteps& steps) {
  if (std::optional<int> status = ReadCommandLine(line)) return *status;
  return RunInHost(steps);
}

bool IsResultsPanelOpen(host::Host& host, HANDLE panel) {
  return panel != FAR_INVALID_HANDLE && panel != nullptr && host.activePanel().plugin;
}

}  // namespace program
