// The other plugin's library, loaded by its full path only: a bare name would make the
// loader search its own folders and could load some other library.
#include <cstring>
#include <string>

#include "platform/platform.h"
#include "platform/win32/names.h"
#include "platform/win32/windows_api.h"

namespace platform {

namespace {

bool IsFullPath(const char* path) {
  const bool drive = ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z')) &&
                     path[1] == ':' && path[2] == '\\';
  const bool network = path[0] == '\\' && path[1] == '\\';
  return drive || network;
}

}  // namespace

Module* LoadModule(const char* path) {
  if (!path || std::strlen(path) < 3 || !IsFullPath(path)) return nullptr;
  std::wstring wide;
  if (!ConvertPathToWide(path, &wide)) return nullptr;
  return reinterpret_cast<Module*>(LoadLibraryW(wide.c_str()));
}

void* FindModuleExport(Module* module, const char* name) {
  if (!module || !name) return nullptr;
  return reinterpret_cast<void*>(GetProcAddress(reinterpret_cast<HMODULE>(module), name));
}

void FreeModule(Module* module) {
  if (module) FreeLibrary(reinterpret_cast<HMODULE>(module));
}

}  // namespace platform
