#include "platform/Ini.h"
#include "platform/FileSystem.h"

#include <gtest/gtest.h>

using namespace orvo::platform;

TEST(IniFile, ReadsLikeWindowsProfileFunctions) {
  IniFile ini;
  ASSERT_TRUE(ini.LoadText("\xEF\xBB\xBF; comment\n"
                           "[Section]\n"
                           "  Key  =  some value  \n"
                           "key=second value\n"
                           ";Other=1\n"
                           "Number = 0x10\n"
                           "Quoted = \"  padded \"\n"
                           "Half = \"open\n"));
  EXPECT_EQ(ini.ReadString("SECTION", "KEY", "x"), "some value");
  EXPECT_EQ(ini.ReadString("section", "Other", "missing"), "missing");
  EXPECT_EQ(ini.ReadInt("Section", "Number", 0), 16);
  EXPECT_EQ(ini.ReadString("Section", "Quoted", ""), "  padded ");
  EXPECT_EQ(ini.ReadString("Section", "Half", ""), "\"open");
  EXPECT_FALSE(ini.HasKey("Nope", "Key"));
}

TEST(IniFile, IntegersFollowDelphiRules) {
  std::int32_t v = 0;
  EXPECT_TRUE(ParseIniInt("-1", v));
  EXPECT_EQ(v, -1);
  EXPECT_TRUE(ParseIniInt("$FF", v));
  EXPECT_EQ(v, 255);
  EXPECT_TRUE(ParseIniInt("0xFFFFFFFF", v));
  EXPECT_EQ(v, -1);
  EXPECT_TRUE(ParseIniInt("-2147483648", v));
  EXPECT_EQ(v, INT32_MIN);
  EXPECT_FALSE(ParseIniInt("2147483648", v));
  EXPECT_FALSE(ParseIniInt("12a", v));
  EXPECT_FALSE(ParseIniInt("", v));
  EXPECT_FALSE(ParseIniInt("0x", v));
  EXPECT_FALSE(ParseIniInt("0x100000000", v));
}

TEST(IniFile, MissingFileReadsEmptyAndSaveKeepsOtherKeys) {
  IniFile ini;
  EXPECT_FALSE(ini.LoadFile("/nonexistent/dir/file.ini"));
  EXPECT_EQ(ini.ReadInt("A", "B", 7), 7);
  ASSERT_TRUE(ini.LoadText("[Keep]\nx=1\n[S]\nk=old\n"));
  ini.WriteString("S", "K", "new");
  ini.WriteBool("S", "flag", true);
  IniFile back;
  ASSERT_TRUE(back.LoadText(ini.ToText()));
  EXPECT_EQ(back.ReadString("S", "k", ""), "new");
  EXPECT_TRUE(back.ReadBool("S", "flag", false));
  EXPECT_EQ(back.ReadInt("Keep", "x", 0), 1);
}

TEST(Wildcard, QuestionMarkIsExactlyOneCharacter) {
  EXPECT_TRUE(WildcardMatch("R????????_D??????_T??????", "R00000012_D210315_T083000"));
  EXPECT_FALSE(WildcardMatch("R????????_D??????_T??????", "R0000012_D210315_T083000"));
  EXPECT_FALSE(WildcardMatch("R????????_D??????_T??????", "R00000012_D210315_T0830001"));
  EXPECT_TRUE(WildcardMatch("*.lng", "english.lng"));
  EXPECT_FALSE(WildcardMatch("*.lng", "english.lng.bak"));
  EXPECT_FALSE(WildcardMatch("*.LNG", "english.lng"));
}
