// What the Windows tests share: a fresh folder below the temporary folder, and the
// settings key emptied, in the private Wine prefix the suite runs in.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "far/plugin.h"
#include "platform/win32/windows_api.h"

namespace win32test {

inline const char kSettingsKey[] = "Software\\Far\\Plugins\\Quarix";

// A folder of its own for one test, removed with everything in it at the end.
class ScratchFolder {
 public:
  ScratchFolder() {
    char temp[MAX_PATH];
    const unsigned long length = GetTempPathA(sizeof temp, temp);
    if (length == 0 || length >= sizeof temp) return;
    static unsigned counter = 0;
    for (int attempt = 0; attempt < 1000; ++attempt) {
      std::string candidate = std::string(temp) + "quarix-" +
                              std::to_string(GetCurrentProcessId()) + "-" +
                              std::to_string(++counter);
      if (CreateDirectoryA(candidate.c_str(), nullptr)) {
        path_ = candidate;
        break;
      }
    }
  }
  ~ScratchFolder() {
    if (path_.empty()) return;
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  // The folder without a trailing "\" ("" when it could not be made).
  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "\\" + name; }

 private:
  std::string path_;
};

inline void WriteBytes(const std::string& path, const std::string& bytes) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Empties the settings key. Only in the suite's own Wine prefix: on a person's machine
// this would throw away their settings, so the test runner's marker is required.
inline void ClearSettingsKey() {
  const char* scratch = std::getenv("QUARIX_SCRATCH_REGISTRY");
  ASSERT_TRUE(scratch && std::string(scratch) == "1")
      << "runs only where the registry is a scratch one (QUARIX_SCRATCH_REGISTRY=1)";
  const long result = RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsKey);
  ASSERT_TRUE(result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND) << result;
}

}  // namespace win32test
