#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/posix/mount_table.h"
#include "unit/platform/scratch.h"

namespace {

struct Listed {
  char letter;
  int type;
  std::string root;
  bool operator==(const Listed&) const = default;
};

std::vector<Listed> ListAll() {
  std::vector<platform::Drive> drives(40);
  int count = platform::ListDrives(drives.data(), static_cast<int>(drives.size()));
  std::vector<Listed> listed;
  for (int i = 0; i < count && i < 40; ++i)
    listed.push_back({static_cast<char>('A' + drives[i].letter), drives[i].type, drives[i].root});
  return listed;
}

std::string RootOf(const char* path) {
  char root[platform::kMaxPath];
  return platform::FindDriveRoot(path, root, sizeof root) ? root : "(none)";
}

TEST(DrivesTest, TheDriveListReplacesTheMountTableAndSkipsWhatItCannotRead) {
  scratch::Environment drives(
      "QUARIX_DRIVES",
      "E=/mnt/net:remote, C=/srv/a:fixed,bogus,1=/x:fixed,D=relative:fixed,F=/run/ram/:ram,"
      "G=/x:weird,C=/again:fixed,,=,h=/media/cd:cdrom,I=/y,J=/r:removable,K=/u:unknown,"
      "L=/n:noroot");
  const std::vector<Listed> expected = {
      {'C', platform::kDriveFixed, "/srv/a/"},     {'E', platform::kDriveRemote, "/mnt/net/"},
      {'F', platform::kDriveRamdisk, "/run/ram/"}, {'H', platform::kDriveCdrom, "/media/cd/"},
      {'J', platform::kDriveRemovable, "/r/"},     {'K', platform::kDriveUnknown, "/u/"},
      {'L', platform::kDriveNoRoot, "/n/"},
  };
  EXPECT_EQ(ListAll(), expected);

  // A short buffer gets the first drives; the count is still the whole count.
  platform::Drive two[3];
  two[2].letter = -7;
  EXPECT_EQ(platform::ListDrives(two, 2), 7);
  EXPECT_EQ(two[1].letter, 'E' - 'A');
  EXPECT_EQ(two[2].letter, -7);
  EXPECT_EQ(platform::ListDrives(nullptr, 0), 7);
}

TEST(DrivesTest, AnEmptyDriveListMeansNoDrives) {
  scratch::Environment drives("QUARIX_DRIVES", "");
  EXPECT_EQ(platform::ListDrives(nullptr, 0), 0);
  EXPECT_EQ(RootOf("/srv"), "(none)");
}

TEST(DrivesTest, APathBelongsToTheLongestRootThatHoldsItsWholeComponents) {
  scratch::Environment drives("QUARIX_DRIVES", "C=/:fixed,D=/srv/a:fixed,E=/srv/a/deep/:remote");
  const std::pair<const char*, const char*> cases[] = {
      {"/srv/a/b/c", "/srv/a/"},
      {"/srv/a", "/srv/a/"},
      {"/srv/a/", "/srv/a/"},
      {"/srv/ab/c", "/"},
      {"/srv/a/deep/x", "/srv/a/deep/"},
      {"//srv//a//deep", "/srv/a/deep/"},
      {"/srv/a/deep/../x", "/srv/a/"},
      {"/srv/a/../a/deep/./y", "/srv/a/deep/"},
      {"relative/path", "(none)"},
      {"", "(none)"},
  };
  for (auto [path, root] : cases) EXPECT_EQ(RootOf(path), root) << path;

  char small[4];
  EXPECT_FALSE(platform::FindDriveRoot("/srv/a/b", small, sizeof small));
  EXPECT_FALSE(platform::FindDriveRoot(nullptr, small, sizeof small));
}

TEST(DrivesTest, TheMountTableGivesDrivesOfTheRightTypesOnly) {
  const char* mountinfo =
      "22 1 0:21 / / rw,relatime shared:1 - overlay overlay rw,lowerdir=/a\n"
      "23 22 0:22 / /proc rw,nosuid - proc proc rw\n"
      "24 22 0:23 / /sys rw - sysfs sysfs rw\n"
      "25 24 0:24 / /sys/fs/cgroup rw - tmpfs tmpfs rw\n"
      "39 22 8:6 / /system rw - ext4 /dev/sda6 rw\n"
      "26 22 0:25 / /dev rw - tmpfs tmpfs rw\n"
      "27 26 0:26 / /dev/pts rw - devpts devpts rw\n"
      "28 22 8:1 /data /srv/my\\040data rw shared:2 master:3 - ext4 /dev/sda1 rw\n"
      "29 22 0:40 / /mnt/share rw - nfs4 server:/share rw\n"
      "30 22 0:41 / /mnt/sshfs rw - fuse.sshfs host: rw\n"
      "31 22 11:0 / /media/cd ro - iso9660 /dev/sr0 ro\n"
      "32 22 0:42 / /run/user/1000 rw - tmpfs tmpfs rw\n"
      "33 22 0:43 / /mnt/odd rw - someunknownfs x rw\n"
      "34 22 8:2 / /mnt/twice rw - ext4 /dev/sda2 rw\n"
      "35 22 8:3 / /mnt/twice rw - xfs /dev/sda3 rw\n"
      "36 22 8:4 / /mnt/hidden rw - ext4 /dev/sda4 rw\n"
      "37 22 0:44 / /mnt/hidden rw - proc proc rw\n"
      "broken line\n"
      "38 22 8:5 / /mnt/nodash rw ext4 /dev/sda5 rw\n";
  struct Mount {
    std::string point;
    int type;
    bool operator==(const Mount&) const = default;
  };
  std::vector<Mount> found;
  for (const auto& m : platform::posix::ParseMountTable(mountinfo))
    found.push_back({m.mountPoint, m.type});
  const std::vector<Mount> expected = {
      {"/", platform::kDriveFixed},           {"/system", platform::kDriveFixed},
      {"/dev", platform::kDriveRamdisk},      {"/srv/my data", platform::kDriveFixed},
      {"/mnt/share", platform::kDriveRemote}, {"/mnt/sshfs", platform::kDriveRemote},
      {"/media/cd", platform::kDriveCdrom},   {"/run/user/1000", platform::kDriveRamdisk},
      {"/mnt/twice", platform::kDriveFixed},
  };
  ASSERT_EQ(found.size(), expected.size());
  for (std::size_t i = 0; i < found.size(); ++i) {
    EXPECT_EQ(found[i].point, expected[i].point) << i;
    EXPECT_EQ(found[i].type, expected[i].type) << found[i].point;
  }
}

TEST(DrivesTest, ThisMachinesMountsAreListedInLetterOrderFromC) {
  scratch::Environment drives("QUARIX_DRIVES", std::nullopt);
  std::vector<platform::Drive> all(32);
  int count = platform::ListDrives(all.data(), 32);
  ASSERT_GE(count, 1) << "the root file system at least";
  ASSERT_LE(count, 30);
  for (int i = 0; i < count; ++i) {
    SCOPED_TRACE(all[i].root);
    EXPECT_EQ(all[i].letter, 2 + i);
    EXPECT_EQ(all[i].root[0], '/');
    EXPECT_EQ(all[i].root[std::strlen(all[i].root) - 1], '/');
    EXPECT_NE(std::strncmp(all[i].root, "/proc/", 6), 0);
  }
  char root[platform::kMaxPath];
  EXPECT_TRUE(platform::FindDriveRoot("/", root, sizeof root));
}

}  // namespace
