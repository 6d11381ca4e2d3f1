// A fresh folder of a test's own below QUARIX_TEST_TMP (or the system's temporary folder),
// made the same way on every system the suite runs on, and removed with everything in it.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

class TestFolder {
 public:
  explicit TestFolder(const std::string& prefix) {
    const char* base = std::getenv("QUARIX_TEST_TMP");
    std::filesystem::path root = base && *base ? base : std::filesystem::temp_directory_path();
    std::filesystem::create_directories(root);
    std::random_device seed;
    for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
      const std::filesystem::path folder = root / (prefix + "-" + std::to_string(seed()));
      if (std::filesystem::create_directory(folder)) path_ = folder.string();
    }
  }
  TestFolder(const TestFolder&) = delete;
  TestFolder& operator=(const TestFolder&) = delete;
  ~TestFolder() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }
  // Empty when no folder could be made.
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};
