#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/platform.h"

namespace {

TEST(ModuleTest, LoadsByFullPathOnly) {
  Dl_info info;
  ASSERT_NE(dladdr(reinterpret_cast<void*>(&dlopen), &info), 0);
  ASSERT_NE(info.dli_fname, nullptr);
  std::string path = info.dli_fname;
  ASSERT_NE(path.find('/'), std::string::npos) << path;

  platform::Module* module = platform::LoadModule(path.c_str());
  ASSERT_NE(module, nullptr) << path;
  EXPECT_NE(platform::FindModuleExport(module, "dlopen"), nullptr);
  EXPECT_EQ(platform::FindModuleExport(module, "NoSuchExportAnywhere"), nullptr);
  EXPECT_EQ(platform::FindModuleExport(module, nullptr), nullptr);
  platform::FreeModule(module);

  std::string bare = path.substr(path.rfind('/') + 1);
  EXPECT_EQ(platform::LoadModule(bare.c_str()), nullptr) << "no search of the loader's folders";
  EXPECT_EQ(platform::LoadModule("/nonexistent/Linquo.so"), nullptr);
  EXPECT_EQ(platform::LoadModule(nullptr), nullptr);
  EXPECT_EQ(platform::FindModuleExport(nullptr, "dlopen"), nullptr);
  platform::FreeModule(nullptr);
}

}  // namespace
