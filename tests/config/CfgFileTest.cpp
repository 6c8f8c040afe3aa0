#include "CfgTestSupport.h"
#include "config/Cfg_mgr.h"
#include "platform/FileSystem.h"
#include "support/System.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

using namespace orvo;

namespace {

class CfgFile : public ::testing::Test {
protected:
  void SetUp() override { test::ResetModel(); }
  void TearDown() override { test::ResetModel(); }
  test::ScratchDir dir_;
};

std::string Slurp(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void Spit(const std::string &path, const std::string &text) {
  std::ofstream(path, std::ios::binary) << text;
}

std::vector<std::string> SplitCrLf(const std::string &text) {
  std::vector<std::string> lines;
  std::size_t start = 0, end;
  while ((end = text.find("\r\n", start)) != std::string::npos) {
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  EXPECT_EQ(start, text.size()) << "text after the last CR LF";
  return lines;
}

std::int32_t Param(const char *name) {
  return GetParam(FindParam(name));
}

} // namespace

TEST_F(CfgFile, DefaultFileHas152CrLfLinesWithTextsLast) {
  ASSERT_TRUE(WriteCfgFile(dir_.path() + "/", true));
  const std::string text = Slurp(dir_.file("orvo-v264o4_tft_v1.cfg"));
  const auto lines = SplitCrLf(text);
  ASSERT_EQ(lines.size(), 152u);
  int hex = 0;
  for (std::size_t i = 0; i < 150; ++i) {
    EXPECT_EQ(lines[i].find('\n'), std::string::npos);
    EXPECT_EQ(lines[i].find('\r'), std::string::npos);
    hex += lines[i].find(" = 0x") != std::string::npos;
  }
  EXPECT_EQ(hex, 50);
  EXPECT_EQ(lines[0], "RECORD_MODE = 0");
  EXPECT_EQ(lines[1], "DUPLICATE = 0");
  EXPECT_EQ(lines[2], "VSOURCE = 0");
  EXPECT_NE(std::find(lines.begin(), lines.end(), "MD_ROI_CFG1 = 0x8114000A"), lines.end());
  EXPECT_NE(std::find(lines.begin(), lines.end(), "ALARM_9_DATE = 0x0001010B"), lines.end());
  EXPECT_NE(std::find(lines.begin(), lines.end(), "VS_BRIGHTNESS = 120"), lines.end());
  EXPECT_EQ(lines[149], "CAM_ORIENTATION = 0");
  EXPECT_EQ(lines[150], "OSD_STR1 = \" ORVO V264O4 TFT\"");
  EXPECT_EQ(lines[151], "OSD_STR2 = \" %D %T\"");
}

TEST_F(CfgFile, WriteThenReadGivesBackEveryParameterAndBothTexts) {
  const std::string path = dir_.file("saved.cfg");
  for (int i = 0; i < kCfgParamCount; ++i)
    SetParam(i, ParamMin(i) == ParamDefault(i) ? ParamMax(i) : ParamMin(i));
  SetParam(MdRoiCfgParam(1), -2);
  SetOsdText(0, "Car 12 %T");
  SetOsdText(1, std::string(47, 'z'));
  RawToFields();
  std::vector<std::int32_t> written(kCfgParamCount);
  ASSERT_TRUE(WriteCfgFile(path, false));
  for (int i = 0; i < kCfgParamCount; ++i)
    written[i] = GetParam(i);
  test::ResetModel();
  ASSERT_TRUE(ReadCfgFile(path, false));
  for (int i = 0; i < kCfgParamCount; ++i) {
    if (IsParamWritten(i)) {
      EXPECT_EQ(GetParam(i), written[i]) << ParamName(i);
    }
  }
  EXPECT_EQ(GetParam(MdRoiCfgParam(1)), -2);
  EXPECT_EQ(GetParam(kParamCurrentCard), 0) << "not written, keeps its value";
  EXPECT_EQ(GetOsdText(0), "Car 12 %T");
  EXPECT_EQ(GetOsdText(1), std::string(47, 'z'));
}

TEST_F(CfgFile, WriteTakesFieldEditsAndReadReplacesThem) {
  const std::string path = dir_.file("f.cfg");
  std::int32_t v = 3;
  SetField(kFieldRecordMode, v);
  ASSERT_TRUE(WriteCfgFile(path, false));
  EXPECT_NE(Slurp(path).find("RECORD_MODE = 3\r\n"), std::string::npos);
  Spit(path, "VOLUME = 7\r\n");
  v = 1;
  SetField(kFieldRecordMode, v);
  ASSERT_TRUE(ReadCfgFile(path, false));
  EXPECT_EQ(GetField(kFieldVolume), 7);
  EXPECT_EQ(GetField(kFieldRecordMode), 3) << "unmentioned parameters keep their raw value";
  EXPECT_EQ(GetParam(kParamAudioGain), 64);
}

TEST_F(CfgFile, OverriddenParameterIsWrittenFromThenOn) {
  test::RestoreWrittenFlags();
  cfg_internal::State().written[GopSizeParam(kFamilyVS)] = 1;
  SetParam(GopSizeParam(kFamilyVS), 25);
  RawToFields();
  ASSERT_TRUE(WriteCfgFile(dir_.file("o.cfg"), false));
  EXPECT_EQ(SplitCrLf(Slurp(dir_.file("o.cfg"))).size(), 153u);
  EXPECT_NE(Slurp(dir_.file("o.cfg")).find("\r\nVS_GOP_SIZE = 25\r\n"), std::string::npos);
}

TEST_F(CfgFile, ParserNamesCaseBlanksAndComments) {
  ParseCfgLine("record_mode = 2");
  EXPECT_EQ(Param("RECORD_MODE"), 2);
  SetParam(kParamRecordMode, 0);
  ParseCfgLine("RECORD_MODE=2;comment = 4");
  EXPECT_EQ(Param("RECORD_MODE"), 2);
  ParseCfgLine("R E C O R D _ M O D E = 3 ");
  EXPECT_EQ(Param("RECORD_MODE"), 3);
  ParseCfgLine("RECORD_MODE = 5");
  ParseCfgLine("RECORD_MODE = \"2\"");
  ParseCfgLine("RECORD_MODE =\t1");
  ParseCfgLine("; RECORD_MODE = 1");
  ParseCfgLine("RECORD_MODE = ");
  ParseCfgLine("RECORD_MODE 1");
  ParseCfgLine("= 1");
  ParseCfgLine("UNKNOWN_NAME = 1");
  ParseCfgLine("");
  EXPECT_EQ(Param("RECORD_MODE"), 3);
}

TEST_F(CfgFile, ParserBasesAndSigns) {
  ParseCfgLine("VS_BRIGHTNESS = 0x7f");
  EXPECT_EQ(Param("VS_BRIGHTNESS"), 127);
  ParseCfgLine("VS_BRIGHTNESS = 0b101");
  EXPECT_EQ(Param("VS_BRIGHTNESS"), 5);
  ParseCfgLine("VS_BRIGHTNESS = +9");
  EXPECT_EQ(Param("VS_BRIGHTNESS"), 9);
  for (const char *bad : {"-0x10", "12a", "0x", "0b", "+", "0b102", "1.5", "--1", "+0x1"})
    ParseCfgLine(std::string("VS_BRIGHTNESS = ") + bad);
  EXPECT_EQ(Param("VS_BRIGHTNESS"), 9);
  ParseCfgLine("ALARM_3_DATE = 0x0001010C");
  ParseCfgLine("ALARM_3_DATE = 65803");
  EXPECT_EQ(Param("ALARM_3_DATE"), 0x0001010B);
  ParseCfgLine("MD_ROI_CFG2 = 0xFFFFFFFF");
  EXPECT_EQ(Param("MD_ROI_CFG2"), -1);
  ParseCfgLine("MD_ROI_CFG2 = -2147483648");
  EXPECT_EQ(Param("MD_ROI_CFG2"), INT32_MIN);
  ParseCfgLine("VAS_SENS = 15");
  ParseCfgLine("VAS_SENS = -256");
  EXPECT_EQ(Param("VAS_SENS"), 256);
}

TEST_F(CfgFile, ParserOsdTexts) {
  ParseCfgLine("OSD_STR2 = \"Car 12 %T\"");
  EXPECT_EQ(GetOsdText(1), "Car 12 %T");
  ParseCfgLine("osd_str2 = Car 12");
  EXPECT_EQ(GetOsdText(1), "CAR12");
  ParseCfgLine("OSD_STR2 = \"A;B\"");
  ParseCfgLine("OSD_STR2 = \"A\"B\"");
  ParseCfgLine("OSD_STR2 = \"open");
  EXPECT_EQ(GetOsdText(1), "CAR12");
  ParseCfgLine("OSD_STR1 = \"" + std::string(70, 'q') + "\"");
  EXPECT_EQ(GetOsdText(0), " ORVO V264O4 TFT") << "closing quote beyond 79 characters";
  ParseCfgLine("OSD_STR1=\"" + std::string(66, 'q') + "\"");
  EXPECT_EQ(GetOsdText(0), std::string(47, 'q'));
  ParseCfgLine("OSD_STR1 = \"\"");
  EXPECT_EQ(GetOsdText(0), "");
  ParseCfgLine("OSD_STR3 = \"x\"");
  EXPECT_EQ(GetOsdText(1), "CAR12");
}

TEST_F(CfgFile, ParserIgnoresLinesWithControlOrHighBytes) {
  ParseCfgLine("OSD_STR1 = \"Caf\xC3\xA9\"");
  ParseCfgLine("RECORD_MODE = 2\x7F");
  ParseCfgLine(std::string("RECORD_MODE = 2\0", 16));
  ParseCfgLine("RECORD_MODE\xA0= 2");
  EXPECT_EQ(GetOsdText(0), " ORVO V264O4 TFT");
  EXPECT_EQ(Param("RECORD_MODE"), 0);
  ParseCfgLine("RECORD_MODE = 2 ;\x01\xFF");
  EXPECT_EQ(Param("RECORD_MODE"), 2) << "comments are not examined";
}

TEST_F(CfgFile, ReaderAcceptsAnyLineEndAndLength) {
  const std::string path = dir_.file("ends.cfg");
  Spit(path, "\xEF\xBB\xBF\tRECORD_MODE = 1\rDUPLICATE = 1\n\n  \t VSOURCE = 1\r\n" +
                 std::string(100000, 'x') + "\r" + "VOLUME = 5" + std::string(300, ' ') +
                 "9\nAUDIO_GAIN = 7");
  ASSERT_TRUE(ReadCfgFile(path, false));
  EXPECT_EQ(Param("RECORD_MODE"), 1);
  EXPECT_EQ(Param("DUPLICATE"), 1);
  EXPECT_EQ(Param("VSOURCE"), 1);
  EXPECT_EQ(Param("VOLUME"), 5) << "only the first 79 characters count";
  EXPECT_EQ(Param("AUDIO_GAIN"), 7) << "last line without line end";
}

TEST_F(CfgFile, PathLimitOf256CharactersWithAndWithoutName) {
  const std::string folder233 = dir_.path() + "/" + std::string(232 - dir_.path().size(), 'd');
  ASSERT_EQ(folder233.size(), 233u);
  ASSERT_TRUE(platform::CreateDirectory(folder233));
  const std::string folder234 = folder233 + "/";
  SetOsdText(0, "kept");
  EXPECT_FALSE(WriteCfgFile(folder234, true));
  EXPECT_FALSE(WriteCfgFile(folder234, false));
  EXPECT_FALSE(ReadCfgFile(folder234, true));
  EXPECT_EQ(GetOsdText(0), "kept");
  // 233 characters pass the limit (the file name itself is then longer).
  EXPECT_FALSE(ReadCfgFile(folder233, false)) << "a folder is no configuration file";
  const std::string name233 = dir_.path() + "/" + std::string(232 - dir_.path().size(), 'f');
  EXPECT_TRUE(WriteCfgFile(name233, false));
  EXPECT_TRUE(ReadCfgFile(name233, false));
  // Characters, not bytes: 160 Cyrillic letters are 320 bytes (and leave
  // room for a temporary folder as long as Windows gives).
  std::string cyrillic;
  for (int i = 0; i < 80; ++i)
    cyrillic += "\xD0\x96";
  const std::string folder = dir_.path() + "/" + cyrillic;
  ASSERT_TRUE(platform::CreateDirectory(folder)) << "UTF-8 names, on Windows too";
  EXPECT_TRUE(WriteCfgFile(folder + "/" + cyrillic, false));
}

TEST_F(CfgFile, MissingFileLeavesValuesButRecomputesFields) {
  SetParam(kParamVolume, 9);
  std::int32_t v = 4;
  SetField(kFieldRecordMode, v);
  EXPECT_FALSE(ReadCfgFile(dir_.file("none.cfg"), false));
  EXPECT_FALSE(ReadCfgFile(dir_.path() + "/", true));
  EXPECT_EQ(GetField(kFieldVolume), 9);
  EXPECT_EQ(GetField(kFieldRecordMode), 0);
  EXPECT_FALSE(WriteCfgFile(dir_.file("no/such/folder.cfg"), false));
}

TEST_F(CfgFile, WriteToFullDiskFails) {
  std::FILE *probe = platform::kDriveLetters ? nullptr : std::fopen("/dev/full", "wb");
  if (!probe)
    GTEST_SKIP() << "/dev/full cannot be opened here";
  std::fclose(probe);
  // Opening succeeds, so a false result can only come from writing, flushing
  // or closing.
  EXPECT_FALSE(WriteCfgFile("/dev/full", false));
}

TEST_F(CfgFile, WriteBeyondFileSizeLimitFails) {
  const std::string path = dir_.file("limited.cfg");
  std::ofstream(path) << "RECORD_MODE = 1\r\n";
  const std::string before = Slurp(path);
  const auto write = [](void *file) {
    return WriteCfgFile(*static_cast<const std::string *>(file), false) ? 1 : 0;
  };
  const std::optional<int> status =
      test::RunWithFileSizeLimit(1000, write, const_cast<std::string *>(&path));
  if (!status)
    GTEST_SKIP() << test::kNoFileSizeLimit;
  EXPECT_EQ(*status, 0) << "the cut-short write was reported as success";
  // The card keeps its old file whole, never one cut short.
  EXPECT_EQ(Slurp(path), before);
}
