// The decoding of udev's link names, which holds everywhere.
#include "platform/IdentityDetail.h"

#include <gtest/gtest.h>

using orvo::platform::DecodeDiskLinkName;

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
