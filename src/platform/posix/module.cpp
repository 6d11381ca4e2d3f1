// The other plugin's library, loaded by its full path only: a bare name would make the
// dynamic loader search its own folders and could load some other library.
#include <dlfcn.h>

#include <cstring>

#include "platform/platform.h"

namespace platform {

Module* LoadModule(const char* path) {
  if (!path || !std::strchr(path, '/')) return nullptr;
  return static_cast<Module*>(dlopen(path, RTLD_NOW | RTLD_LOCAL));
}

void* FindModuleExport(Module* module, const char* name) {
  if (!module || !name) return nullptr;
  return dlsym(module, name);
}

void FreeModule(Module* module) {
  if (module) dlclose(module);
}

}  // namespace platform
