// The Windows scenarios: our host loads the real Trawlix.dll and Linquo.dll through
// LoadLibraryA, the settings live in Wine's registry, the files on its C: drive.
#pragma once

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "host/host.h"
#include "platform/platform.h"
#include "scenario/dialog_script.h"
#include "win32/scratch.h"

namespace win32scenario {

inline const HANDLE kResultsPanel = reinterpret_cast<HANDLE>(std::intptr_t{1});
constexpr int kSearchMenuItem = 0;
constexpr int kReplaceMenuItem = 1;
constexpr int kReplaceStartButton = 22;

// The build's bin folder as a Windows program sees it: Wine shows "/" as drive Z:.
inline std::string BinFolder() {
  std::string folder = QUARIX_BIN_DIR;
  if (!folder.empty() && folder.front() == '/') folder = "Z:" + folder;
  std::replace(folder.begin(), folder.end(), '/', '\\');
  return folder;
}

inline std::optional<std::string> StoredValue(const char* name, unsigned long* type = nullptr) {
  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, win32test::kSettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
    return std::nullopt;
  unsigned long valueType = 0, size = 0;
  std::optional<std::string> value;
  if (RegQueryValueExA(key, name, nullptr, &valueType, nullptr, &size) == ERROR_SUCCESS) {
    std::string bytes(size, '\0');
    if (RegQueryValueExA(key, name, nullptr, &valueType,
                         reinterpret_cast<BYTE*>(bytes.data()), &size) == ERROR_SUCCESS) {
      bytes.resize(size);
      value = bytes;
      if (type) *type = valueType;
    }
  }
  RegCloseKey(key);
  return value;
}

inline std::optional<int> StoredInt(const char* name) {
  unsigned long type = 0;
  auto value = StoredValue(name, &type);
  if (!value || type != REG_DWORD || value->size() != 4) return std::nullopt;
  std::int32_t number;
  std::memcpy(&number, value->data(), 4);
  return number;
}

// A REG_SZ as the plugins write texts: with its terminating zero.
inline std::optional<std::string> StoredText(const char* name) {
  unsigned long type = 0;
  auto value = StoredValue(name, &type);
  if (!value || type != REG_SZ || value->empty() || value->back() != '\0') return std::nullopt;
  value->pop_back();
  return value;
}

inline void Store(const char* name, unsigned long type, const std::string& bytes) {
  HKEY key;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, win32test::kSettingsKey, 0, nullptr, 0,
                            KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  EXPECT_EQ(RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                           static_cast<unsigned long>(bytes.size())),
            ERROR_SUCCESS);
  RegCloseKey(key);
}
inline void StoreInt(const char* name, std::int32_t number) {
  std::string bytes(4, '\0');
  std::memcpy(bytes.data(), &number, 4);
  Store(name, REG_DWORD, bytes);
}
inline void StoreText(const char* name, const std::string& text) {
  Store(name, REG_SZ, text + '\0');
}

class DllTest : public ::testing::Test {
 protected:
  void SetUp() override {
    win32test::ClearSettingsKey();
    ASSERT_FALSE(scratch_.path().empty());
    host_ = std::make_unique<host::Host>();
  }
  void TearDown() override {
    host_.reset();  // ExitFAR of every plugin still loaded
    win32test::ClearSettingsKey();
  }

  host::Plugin* Load(const char* module) {
    host::Plugin* plugin = host_->LoadPlugin(BinFolder() + "\\" + module);
    EXPECT_NE(plugin, nullptr) << BinFolder() << "\\" << module;
    if (plugin) {
      EXPECT_GT(plugin->messages.size(), 52u) << "language file of " << module;
    }
    return plugin;
  }
  void RestartHost() {
    host_.reset();
    host_ = std::make_unique<host::Host>();
  }
  std::string Folder(const std::string& name) {
    std::string path = scratch_ / name;
    std::filesystem::create_directories(path);
    return path;
  }
  void ShowFolder(const std::string& folder) {
    ASSERT_TRUE(host_->ShowFolder(host_->activePanel(), folder)) << folder;
  }
  std::vector<std::string> SortedPanelNames() {
    std::vector<std::string> names;
    for (const PluginPanelItem& item : host_->activePanel().items)
      if (std::strcmp(item.FindData.cFileName, "..") != 0) names.push_back(item.FindData.cFileName);
    std::sort(names.begin(), names.end());
    return names;
  }
  // Every file below base by its relative path, with its bytes.
  static std::map<std::string, std::string> ReadTree(const std::string& base) {
    std::map<std::string, std::string> tree;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(base))
      if (entry.is_regular_file())
        tree[entry.path().lexically_relative(base).string()] =
            win32test::ReadBytes(entry.path().string());
    return tree;
  }

  win32test::ScratchFolder scratch_;
  std::unique_ptr<host::Host> host_;
};

}  // namespace win32scenario
