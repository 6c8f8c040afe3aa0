// The names and the volume that go into a report, as this system gives
// them, and the decoding of udev's link names, which holds everywhere.
#include "platform/Identity.h"
#include "platform/IdentityDetail.h"
#include "support/Tools.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

using namespace orvo;
using platform::DecodeDiskLinkName;
using platform::IdentifyVolume;
using platform::VolumeIdentity;

namespace {

bool Printable(const std::string &text) {
  for (const unsigned char c : text)
    if (c < 0x20 || c == 0x7F)
      return false;
  return true;
}

const VolumeIdentity Stale{"stale label", "stale serial", "stale device"};

} // namespace

TEST(Identity, ComputerAndUserNamesArePrintableText) {
  for (const std::string &name : {platform::ComputerName(), platform::UserName()}) {
    EXPECT_FALSE(name.empty());
    EXPECT_TRUE(Printable(name)) << name;
  }
}

TEST(Identity, TheTemporaryFolderIsIdentifiedOrRefusedCleanly) {
  test::TempDir dir;
  VolumeIdentity id = Stale;
  if (!IdentifyVolume(dir.path, id)) {
    EXPECT_EQ(id.label + id.serial + id.device, "");
    return;
  }
  EXPECT_FALSE(id.device.empty());
  for (const std::string &field : {id.label, id.serial, id.device})
    EXPECT_TRUE(Printable(field)) << field;
  // A file answers for the volume it lies on as its folder does.
  std::ofstream(dir.File("clip")) << "x";
  VolumeIdentity ofFile;
  ASSERT_TRUE(IdentifyVolume(dir.File("clip"), ofFile));
  EXPECT_EQ(ofFile.label, id.label);
  EXPECT_EQ(ofFile.serial, id.serial);
  EXPECT_EQ(ofFile.device, id.device);
}

TEST(Identity, NoVolumeForAMissingFolder) {
  test::TempDir dir;
  for (const std::string &folder :
       {dir.File("missing"), dir.File("missing/deeper"), std::string()}) {
    VolumeIdentity id = Stale;
    EXPECT_FALSE(IdentifyVolume(folder, id)) << folder;
    EXPECT_EQ(id.label + id.serial + id.device, "") << folder;
  }
}

TEST(DiskLinkName, EscapesOfPrintableCharactersAreDecoded) {
  EXPECT_EQ(DecodeDiskLinkName("CARD\\x20A"), "CARD A");
  EXPECT_EQ(DecodeDiskLinkName("a\\x2fb\\x2Fc\\x5cd"), "a/b/c\\d");
  EXPECT_EQ(DecodeDiskLinkName("\\x20\\x20"), "  ");
  EXPECT_EQ(DecodeDiskLinkName("1A2B-3C4D"), "1A2B-3C4D");
  EXPECT_EQ(DecodeDiskLinkName("caf\xC3\xA9"), "caf\xC3\xA9");
  // A decoded backslash starts no second escape.
  EXPECT_EQ(DecodeDiskLinkName("\\x5cx20"), "\\x20");
}

TEST(DiskLinkName, ControlAndHighBytesAndBrokenEscapesStayAsWritten) {
  for (const char *name :
       {"line\\x0abreak", "\\x00", "\\x7f", "\\xc3\\xa9", "end\\x2", "\\xg1", "\\x", "\\", "\\y20"})
    EXPECT_EQ(DecodeDiskLinkName(name), name);
}
