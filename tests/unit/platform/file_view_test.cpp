#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "platform/platform.h"
#include "unit/platform/scratch.h"

namespace {

TEST(FileViewTest, MapsARegularFileByTheSizeItHasWhenOpened) {
  scratch::Folder folder;
  scratch::WriteFile(folder / "text", "hello\nworld");
  platform::FileView view;
  ASSERT_TRUE(view.Open((folder / "text").c_str()));
  ASSERT_EQ(view.size(), 11u);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(view.data()), 11), "hello\nworld");

  // Growth after the open does not change the view.
  {
    std::ofstream grow(folder / "text", std::ios::app);
    grow << " and more";
  }
  EXPECT_EQ(view.size(), 11u);

  // Opening again on the same view releases the first file.
  scratch::WriteFile(folder / "other", "xyz");
  ASSERT_TRUE(view.Open((folder / "other").c_str()));
  EXPECT_EQ(view.size(), 3u);
  EXPECT_EQ(view.data()[2], 'z');
  view.Close();
  view.Close();
  EXPECT_EQ(view.data(), nullptr);
  EXPECT_EQ(view.size(), 0u);
}

TEST(FileViewTest, WhatCannotBeMappedFails) {
  scratch::Folder folder;
  scratch::WriteFile(folder / "empty", "");
  platform::FileView view;
  for (std::string path : {folder / "empty", folder / "missing", folder.path(),
                           std::string("/dev/null"), std::string()}) {
    EXPECT_FALSE(view.Open(path.c_str())) << path;
    EXPECT_EQ(view.data(), nullptr);
    EXPECT_EQ(view.size(), 0u);
  }
  EXPECT_FALSE(view.Open(nullptr));
}

TEST(FileViewTest, FilesAboveFourGibibytesAreMappedWhole) {
  scratch::Folder folder;
  const std::uint64_t size = (std::uint64_t{1} << 32) + 10;
  std::string path = folder / "sparse";
  int fd = open(path.c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0600);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(ftruncate(fd, static_cast<off_t>(size)), 0);
  ASSERT_EQ(pwrite(fd, "Z", 1, static_cast<off_t>(size - 1)), 1);
  close(fd);
  platform::FileView view;
  ASSERT_TRUE(view.Open(path.c_str()));
  EXPECT_EQ(view.size(), size);
  EXPECT_EQ(view.data()[size - 1], 'Z');
  EXPECT_EQ(view.data()[size - 2], 0);
}

}  // namespace
