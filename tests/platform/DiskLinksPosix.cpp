// How udev's links in /dev/disk are matched to the mounted device, with
// links of the test's own that lead to this system's loop devices.
#include "platform/Identity.h"
#include "platform/IdentityDetail.h"
#include "support/Tools.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>
#include <utility>

using namespace orvo;
using platform::DiskLinkTo;

namespace {

bool BlockDevice(const char *path, struct stat &st) {
  return stat(path, &st) == 0 && S_ISBLK(st.st_mode);
}

} // namespace

TEST(DiskLinks, OnlyALinkToTheBlockDeviceItselfNamesIt) {
  struct stat loop0 {};
  struct stat loop1 {};
  struct stat null {};
  if (!BlockDevice("/dev/loop0", loop0) || !BlockDevice("/dev/loop1", loop1) ||
      stat("/dev/null", &null) != 0)
    GTEST_SKIP() << "no loop devices here to lead links to";
  test::TempDir dir;
  const std::pair<const char *, std::string> links[] = {
      {"/dev/loop1", "OTHER"}, {"/dev/loop0", "CARD\\x20B"}, {"/dev/loop0", "CARD\\x20A"},
      {"/dev/null", "NULL"},   {"/nowhere", "DANGLING"},
  };
  for (const auto &[target, name] : links)
    ASSERT_EQ(symlink(target, dir.File(name).c_str()), 0) << name;
  ASSERT_EQ(symlink(dir.File("CIRCLE").c_str(), dir.File("CIRCLE").c_str()), 0);

  EXPECT_EQ(DiskLinkTo(dir.path, loop0.st_rdev), "CARD A"); // the lower of two
  EXPECT_EQ(DiskLinkTo(dir.path, loop1.st_rdev), "OTHER");
  EXPECT_EQ(DiskLinkTo(dir.path, null.st_rdev), ""); // a character device
  EXPECT_EQ(DiskLinkTo(dir.File("missing"), loop0.st_rdev), "");
}

TEST(DiskLinks, AFolderOnNoBlockDeviceHasItsSourceAndNothingElse) {
  platform::VolumeIdentity id{"stale", "stale", "stale"};
  ASSERT_TRUE(platform::IdentifyVolume("/proc", id));
  EXPECT_EQ(id.device, "proc");
  EXPECT_EQ(id.label, "");
  EXPECT_EQ(id.serial, "");
}
