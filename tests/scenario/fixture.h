// What every scenario needs: a fresh scratch folder and settings store per test, a host
// that loads the real plugin modules, trees of files, and the settings store as a person
// editing the registry sees it.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <memory>
#include <optional>
#include <regex>
#include <string>
#include <vector>

#include "host/host.h"
#include "platform/platform.h"

namespace scenario {

namespace fs = std::filesystem;

inline const std::string kBinDir = QUARIX_BIN_DIR;
inline const char kSettingsKey[] = "Software\\Far\\Plugins\\Quarix";

// A fresh folder below QUARIX_TEST_TMP, by its canonical path (the host hands the
// plugins canonical module paths, and the walk reports what the panel shows).
inline std::string MakeTempFolder(const std::string& prefix) {
  const char* base = getenv("QUARIX_TEST_TMP");
  fs::path root = base && *base ? base : fs::temp_directory_path();
  fs::create_directories(root);
  std::string pattern = (root / (prefix + "-XXXXXX")).string();
  if (!mkdtemp(pattern.data())) return std::string();
  return fs::canonical(pattern).string();
}

// Sets (or, with no value, unsets) one environment variable until the scope ends.
class Environment {
 public:
  Environment(const char* name, std::optional<std::string> value) : name_(name) {
    if (const char* old = getenv(name)) old_ = old;
    if (value)
      setenv(name, value->c_str(), 1);
    else
      unsetenv(name);
  }
  ~Environment() {
    if (old_)
      setenv(name_.c_str(), old_->c_str(), 1);
    else
      unsetenv(name_.c_str());
  }
  Environment(const Environment&) = delete;
  Environment& operator=(const Environment&) = delete;

 private:
  std::string name_;
  std::optional<std::string> old_;
};

inline void WriteFile(const std::string& path, const std::string& bytes) {
  fs::create_directories(fs::path(path).parent_path());
  std::ofstream(path, std::ios::binary) << bytes;
}

// Makes the entries below base: a name ending in "/" is a folder, any other a file
// holding its own name.
inline void MakeTree(const std::string& base, std::initializer_list<std::string> entries) {
  for (const std::string& entry : entries) {
    if (!entry.empty() && entry.back() == '/')
      fs::create_directories(base + "/" + entry);
    else
      WriteFile(base + "/" + entry, entry);
  }
}

struct StoredValue {
  DWORD type = 0;
  std::string bytes;
};

// The settings key, opened for one look or change, as a person editing the registry.
class StoredKey {
 public:
  StoredKey() : key_(platform::OpenRegistryKey(kSettingsKey)) {}
  ~StoredKey() {
    if (key_) platform::CloseRegistryKey(key_);
  }
  StoredKey(const StoredKey&) = delete;
  StoredKey& operator=(const StoredKey&) = delete;

  std::optional<StoredValue> Read(const char* name) const {
    DWORD type = 0, size = 0;
    if (!key_ || !platform::QueryRegistryValue(key_, name, &type, nullptr, &size))
      return std::nullopt;
    StoredValue value{type, std::string(size, '\0')};
    if (size && !platform::QueryRegistryValue(key_, name, &type, value.bytes.data(), &size))
      return std::nullopt;
    return value;
  }
  void Write(const char* name, DWORD type, const std::string& bytes) {
    ASSERT_NE(key_, nullptr);
    ASSERT_TRUE(platform::SetRegistryValue(key_, name, type, bytes.data(),
                                           static_cast<DWORD>(bytes.size())));
  }

 private:
  platform::RegistryKey* key_;
};

inline std::optional<StoredValue> ReadStored(const char* name) { return StoredKey().Read(name); }

// A REG_DWORD of 4 bytes, as the plugins write integers.
inline std::optional<int> ReadStoredInt(const char* name) {
  auto value = ReadStored(name);
  if (!value || value->type != platform::kRegDword || value->bytes.size() != 4) return std::nullopt;
  std::int32_t number;
  std::memcpy(&number, value->bytes.data(), 4);
  return number;
}

// A REG_SZ written with its terminating zero, as the plugins write texts.
inline std::optional<std::string> ReadStoredText(const char* name) {
  auto value = ReadStored(name);
  if (!value || value->type != platform::kRegSz || value->bytes.empty() ||
      value->bytes.back() != '\0')
    return std::nullopt;
  value->bytes.pop_back();
  return value->bytes;
}

inline void WriteStoredInt(const char* name, std::int32_t number) {
  std::string bytes(4, '\0');
  std::memcpy(bytes.data(), &number, 4);
  StoredKey().Write(name, platform::kRegDword, bytes);
}

inline void WriteStoredText(const char* name, const std::string& text, bool withZero = true) {
  StoredKey().Write(name, platform::kRegSz, withZero ? text + '\0' : text);
}

// The line a progress message shows for a count, worked out on its own: the first
// decimal conversion of the text (flags and width included) takes the number.
inline std::string ExpectedCountLine(const std::string& text, long long number) {
  static const std::regex conversion("%[-+ #0]*[0-9]*[diu]");
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 1 < text.size() && text[i + 1] == '%') {
      out += '%';
      ++i;
      continue;
    }
    std::smatch match;
    std::string rest = text.substr(i);
    if (text[i] == '%' &&
        std::regex_search(rest, match, conversion, std::regex_constants::match_continuous)) {
      std::string format = match.str().substr(0, match.length() - 1);
      format.erase(std::remove(format.begin(), format.end(), '#'), format.end());
      format += "lld";
      char buffer[128];
      std::snprintf(buffer, sizeof buffer, format.c_str(), number);
      out += buffer + text.substr(i + match.length());
      break;
    }
    out += text[i];
  }
  return out.substr(0, 79);
}

// A host that keeps the record of every service call, for the checks on it.
inline std::unique_ptr<host::Host> MakeRecordingHost() {
  auto made = std::make_unique<host::Host>();
  made->recordCalls = true;
  return made;
}

class ScenarioTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = MakeTempFolder("scenario");
    ASSERT_FALSE(root_.empty());
    fs::create_directories(root_ + "/registry");
    registry_ = std::make_unique<Environment>("QUARIX_REGISTRY", root_ + "/registry");
    // The scratch folder is the only drive: no scope ever walks the machine's own disks.
    drives_ = std::make_unique<Environment>("QUARIX_DRIVES", "C=" + root_ + ":fixed");
    host_ = MakeRecordingHost();
  }

  void TearDown() override {
    host_.reset();  // ExitFAR of every plugin still loaded
    drives_.reset();
    registry_.reset();
    std::error_code ignored;
    fs::remove_all(root_, ignored);
  }

  // Loads a module from folder; the test fails when it does not load or its language
  // file is missing (every check of a shown text needs it).
  host::Plugin* Load(const std::string& folder, const char* module) {
    host::Plugin* plugin = host_->LoadPlugin(folder + "/" + module);
    EXPECT_NE(plugin, nullptr) << folder << "/" << module;
    if (plugin) {
      EXPECT_GT(plugin->messages.size(), 52u) << "language file of " << module;
    }
    return plugin;
  }
  host::Plugin* LoadTrawlix(const std::string& folder = kBinDir) {
    return Load(folder, "Trawlix.so");
  }
  host::Plugin* LoadLinquo() { return Load(kBinDir, "Linquo.so"); }

  // The host shuts down (every plugin's ExitFAR) and a new one starts with no plugin.
  void RestartHost() {
    host_.reset();
    host_ = MakeRecordingHost();
  }

  // A folder below the scratch folder, made when missing.
  std::string Folder(const std::string& name) {
    std::string path = root_ + "/" + name;
    fs::create_directories(path);
    return path;
  }

  void ShowFolder(const std::string& folder) {
    ASSERT_TRUE(host_->ShowFolder(host_->activePanel(), folder)) << folder;
  }

  // "ff:" and text on the command line.
  HANDLE Search(const std::string& text = "") { return host_->RunCommandLine("ff:" + text); }

  // The entries of the active panel, without the dots entry.
  std::vector<std::string> PanelNames() {
    std::vector<std::string> names;
    for (const PluginPanelItem& item : host_->activePanel().items)
      if (std::strcmp(item.FindData.cFileName, "..") != 0) names.push_back(item.FindData.cFileName);
    return names;
  }
  std::vector<std::string> SortedPanelNames() {
    std::vector<std::string> names = PanelNames();
    std::sort(names.begin(), names.end());
    return names;
  }

  std::vector<const host::ServiceCall*> CallsOf(const std::string& service) const {
    std::vector<const host::ServiceCall*> found;
    for (const host::ServiceCall& call : host_->calls)
      if (call.service == service) found.push_back(&call);
    return found;
  }

  std::string root_;
  std::unique_ptr<Environment> registry_;
  std::unique_ptr<Environment> drives_;
  std::unique_ptr<host::Host> host_;
};

inline const HANDLE kResultsPanel = reinterpret_cast<HANDLE>(std::intptr_t{1});

}  // namespace scenario
