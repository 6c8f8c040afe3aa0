// The names and the volume that go into a report, as this system gives
// them, and the decoding of udev's link names, which holds everywhere.
#include "platform/Identity.h"
#include "platform/IdentityDetail.h"
#include "support/Tools.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

using namespace orvo;
using platform::IdentifyVolume;
using platform::VolumeIdentity;

namespace {

bool Printable(const std::string &text) {
  for (const unsigned char c : text)
    if (c < 0x20 || c == 0x7F)
      return false;
  return true;
}

} // namespace

TEST(Identity, ComputerAndUserNamesArePrintableText) {
  for (const std::string &name : {platform::ComputerName(), platform::UserName()}) {
    EXPECT_FALSE(name.empty());
    EXPECT_TRUE(Printable(name)) << name;
  }
}

TEST(Identity, AFolderIsIdentifiedOrRefusedCleanly) {
  test::TempDir dir;
  VolumeIdentity id{"stale", "stale", "stale"};
  if (IdentifyVolume(dir.path, id)) {
    EXPECT_FALSE(id.device.empty());
    EXPECT_TRUE(Printable(id.label + id.serial + id.device)) << id.label << id.serial;
  } else {
    EXPECT_EQ(id.label + id.serial + id.device, "");
  }
  for (const std::string &missing : {dir.File("missing"), dir.File("a/b"), std::string()}) {
    id = {"stale", "stale", "stale"};
    EXPECT_FALSE(IdentifyVolume(missing, id)) << missing;
    EXPECT_EQ(id.label + id.serial + id.device, "") << missing;
  }
}

TEST(Identity, DiskLinkNamesDecodeEscapesOfPrintableCharactersOnly) {
  const std::pair<const char *, const char *> cases[] = {
      {"CARD\\x20A", "CARD A"},
      {"a\\x2fb\\x2Fc\\x5cd", "a/b/c\\d"},
      {"caf\xC3\xA9", "caf\xC3\xA9"},
      {"\\x5cx20", "\\x20"}, // a decoded backslash starts no second escape
      // Control characters, bytes above 0x7F and broken escapes stay as
      // they were written.
      {"line\\x0abreak", "line\\x0abreak"},
      {"\\x00\\x7f\\xc3\\xa9", "\\x00\\x7f\\xc3\\xa9"},
      {"\\xg1\\y20\\x2", "\\xg1\\y20\\x2"},
      {"\\x", "\\x"},
  };
  for (const auto &[name, decoded] : cases)
    EXPECT_EQ(platform::DecodeDiskLinkName(name), decoded) << name;
}
