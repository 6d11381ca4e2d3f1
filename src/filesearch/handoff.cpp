#include "filesearch/handoff.h"

#include <cstring>
#include <memory>

#include "common/host_binding.h"
#include "filesearch/settings.h"
#include "flavour/flavour.h"
#include "platform/platform.h"

namespace {

// Linquo's path: this module's folder and Linquo's file name. False when it does not fit
// the host's path buffer.
bool ComposeLinquoPath(char* path) {
  std::size_t length = strnlen(Info.ModuleName, sizeof(Info.ModuleName));
  if (length >= static_cast<std::size_t>(kHostPath)) return false;
  const char* last = nullptr;
  for (std::size_t i = 0; i < length; ++i)
    if (Info.ModuleName[i] == platform::kPathSeparator) last = Info.ModuleName + i;
  std::size_t folder = last ? static_cast<std::size_t>(last - Info.ModuleName) + 1 : 0;
  std::size_t name = std::strlen(flavour::kLinquoModuleName);
  if (folder + name >= static_cast<std::size_t>(kHostPath)) return false;
  std::memcpy(path, Info.ModuleName, folder);
  std::memcpy(path + folder, flavour::kLinquoModuleName, name + 1);
  return true;
}

struct ModuleFreer {
  void operator()(platform::Module* module) const { platform::FreeModule(module); }
};

}  // namespace

void HandOffToLinquo() {
  char path[kHostPath];
  if (!ComposeLinquoPath(path)) return;
  std::unique_ptr<platform::Module, ModuleFreer> linquo(platform::LoadModule(path));
  if (!linquo) return;
  // Linquo reads the file search's settings from the store, so they are written first.
  SaveSettings(false);
  auto setStartupInfo = flavour::kLinquoTakesStartupRecord
                            ? reinterpret_cast<SetStartupInfoFn>(
                                  platform::FindModuleExport(linquo.get(), "SetStartupInfo"))
                            : nullptr;
  auto reloadEText =
      reinterpret_cast<ReloadETextFn>(platform::FindModuleExport(linquo.get(), "ReloadEText"));
  if (setStartupInfo) setStartupInfo(&Info);
  if (reloadEText) reloadEText();
}
