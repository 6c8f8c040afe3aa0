#include "TestFolders.h"
#include "platform/FileSystem.h"
#include "platform/Ini.h"
#include "settings/DriveFields.h"
#include "settings/Folders.h"
#include "settings/ProgramSettings.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace orvo;
using orvo::test::ReadFile;
using orvo::test::ScopedEnv;
using orvo::test::TempFolder;
using orvo::test::WriteFile;

namespace {

std::string Ini(std::string_view keys) {
  return "[ORVO-V264O4_TFT_V1]\n" + std::string(keys);
}

SettingsLocation At(const std::string &path) {
  return {path, false};
}

const std::string kSeparator(1, platform::kPathSeparator);

} // namespace

TEST(ProgramSettings, NoFileGivesTheDefaults) {
  TempFolder dir;
  ProgramSettings s(At(dir / "missing.ini"));
  EXPECT_EQ(s.InPath, "");
  EXPECT_EQ(s.OutPath, "");
  EXPECT_EQ(s.DriveIndex, 255);
  EXPECT_FALSE(s.InPathIsDriveRoot);
  EXPECT_EQ(s.FileMask, "%D_%T");
  EXPECT_EQ(s.MaxFileLength, 1992294400u);
  EXPECT_FALSE(s.AutoScan);
  EXPECT_TRUE(s.ShowConverted);
  EXPECT_EQ(s.Language, 0);
}

TEST(ProgramSettings, MaxFileLengthIsClampedAsUnsigned) {
  TempFolder dir;
  const std::pair<const char *, std::uint32_t> cases[] = {
      {"-1", 1992294400u},
      {"1000", 1000u},
      {"0", 0u},
      {"1992294401", 1992294400u},
      {"0x76C00000", 0x76C00000u},
      {"$10", 16u},
      {"4000000000", 1992294400u},
      {"12MB", 1992294400u},
  };
  for (const auto &[text, expected] : cases) {
    SCOPED_TRACE(text);
    WriteFile(dir / "s.ini", Ini("MAX_FILE_LEN=" + std::string(text) + "\n"));
    ProgramSettings s(At(dir / "s.ini"));
    EXPECT_EQ(s.MaxFileLength, expected);
    // The dialog shows whole MiB.
    if (std::string_view(text) == "1000") {
      EXPECT_EQ(s.MaxFileLength >> 20, 0u);
    }
  }
}

TEST(ProgramSettings, KeysLoadByTheirRules) {
  TempFolder dir;
  WriteFile(dir / "s.ini", "; written by hand\n[orvo-v264o4_tft_v1]\n"
                           "language = 3\nIN_PATH=/media\nOUT_PATH=/out\nFILE_MASK=%T\n"
                           "AUTOSCAN=2\nSHOW_CONVERTED=0\n[Other]\nLANGUAGE=9\n");
  ProgramSettings s(At(dir / "s.ini"));
  EXPECT_EQ(s.Language, 3);
  // A hand-edited path gets its separator, as the setup dialog gives it.
  EXPECT_EQ(s.InPath, WithTrailingBackslash("/media"));
  EXPECT_EQ(s.DriveIndex, platform::kDriveLetters ? 255 : 0) << "a volume, but no drive letter";
  EXPECT_EQ(s.OutPath, WithTrailingBackslash("/out"));
  EXPECT_EQ(s.FileMask, "%T");
  EXPECT_TRUE(s.AutoScan);
  EXPECT_FALSE(s.ShowConverted);

  WriteFile(dir / "t.ini", Ini("AUTOSCAN=yes\nSHOW_CONVERTED=no\nLANGUAGE=x\n"));
  ProgramSettings t(At(dir / "t.ini"));
  EXPECT_FALSE(t.AutoScan);
  EXPECT_TRUE(t.ShowConverted);
  EXPECT_EQ(t.Language, 0);
}

TEST(ProgramSettings, DestructionWritesTheKeysInOrderAndKeepsTheRest) {
  TempFolder dir;
  const std::string path = dir / "s.ini";
  WriteFile(path, "[Other]\nkeep=me\n");
  {
    ProgramSettings s(At(path));
    s.Language = 1;
    s.SetInPath("/media/card");
    s.SetOutPath("/home/user/video/");
    s.SetFileMask("%D %T");
    s.MaxFileLength = 1000u << 20;
    s.AutoScan = true;
    s.ShowConverted = false;
  }
  const std::string text = ReadFile(path);
  const char *keys[] = {"LANGUAGE",     "IN_PATH",  "OUT_PATH",      "FILE_MASK",
                        "MAX_FILE_LEN", "AUTOSCAN", "SHOW_CONVERTED"};
  std::size_t last = 0;
  for (const char *key : keys) {
    const std::size_t at = text.find(key);
    ASSERT_NE(at, std::string::npos) << key;
    EXPECT_GT(at, last) << key;
    last = at;
  }
  ProgramSettings back(At(path));
  EXPECT_EQ(back.Language, 1);
  EXPECT_EQ(back.InPath, "/media/card" + kSeparator);
  EXPECT_EQ(back.OutPath, "/home/user/video/");
  EXPECT_EQ(back.FileMask, "%D %T");
  EXPECT_EQ(back.MaxFileLength, 1000u << 20);
  EXPECT_TRUE(back.AutoScan);
  EXPECT_FALSE(back.ShowConverted);
  platform::IniFile ini;
  ASSERT_TRUE(ini.LoadFile(path));
  EXPECT_EQ(ini.ReadString("Other", "keep", ""), "me");
}

TEST(ProgramSettings, LineBreakInAValueCannotAddKeys) {
  TempFolder dir;
  const std::string path = dir / "s.ini";
  {
    ProgramSettings s(At(path));
    s.SetFileMask("%D\nLANGUAGE_X=1\r\n[Evil]");
  }
  platform::IniFile ini;
  ASSERT_TRUE(ini.LoadFile(path));
  EXPECT_FALSE(ini.HasKey(SettingsSection, "LANGUAGE_X"));
  EXPECT_EQ(ini.ReadString(SettingsSection, "FILE_MASK", ""), "%D LANGUAGE_X=1  [Evil]");
}

TEST(ProgramSettings, FailedWriteAtExitLeavesTheOldFileWhole) {
  TempFolder dir;
  const std::string path = dir / "s.ini";
  const std::string old = Ini("LANGUAGE=1\nIN_PATH=/old\n");
  WriteFile(path, old);
  // The disk fills up while the new file is written, at exit too.
  {
    test::FileSizeLimit tiny(16); // reading the file is not limited
    if (!tiny.Active())
      GTEST_SKIP() << test::kNoFileSizeLimit;
    ProgramSettings s(At(path));
    s.Language = 7;
    EXPECT_FALSE(s.Save());
  }
  EXPECT_EQ(ReadFile(path), old);
  // Nothing but the file itself: no temporary is left behind.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()),
                          std::filesystem::directory_iterator()),
            1);
}

TEST(ProgramSettings, FolderReplacedByAFileFailsQuietly) {
  TempFolder dir;
  std::filesystem::create_directory(dir / "cfg");
  auto s = std::make_unique<ProgramSettings>(At(dir / "cfg/s.ini"));
  std::filesystem::remove(dir / "cfg");
  WriteFile(dir / "cfg", "not a folder");
  EXPECT_FALSE(s->Save());
  s.reset();
  EXPECT_EQ(ReadFile(dir / "cfg"), "not a folder");
}

TEST(ProgramSettings, FileLocationFollowsTheEnvironment) {
  TempFolder dir;
  {
    ScopedEnv profile("USERPROFILE", dir.Path().c_str());
    EXPECT_EQ(DefaultSettingsLocation().path,
              platform::WithSeparator(dir.Path()) + "orvo_v264o4_tft_v1.ini");
    EXPECT_FALSE(DefaultSettingsLocation().createFolder);
  }
  ScopedEnv noProfile("USERPROFILE", nullptr);
  if (platform::kDriveLetters) {
    ScopedEnv roaming("APPDATA", (dir / "roaming").c_str());
    const SettingsLocation loc = DefaultSettingsLocation();
    EXPECT_EQ(loc.path, platform::WithSeparator(dir / "roaming") + "orvo_v264o4_tft_v1.ini");
    EXPECT_TRUE(loc.createFolder);
    return;
  }
  {
    ScopedEnv xdg("XDG_CONFIG_HOME", (dir / "xdg").c_str());
    const SettingsLocation loc = DefaultSettingsLocation();
    EXPECT_EQ(loc.path, dir / "xdg/orvo_v264o4_tft_v1.ini");
    EXPECT_TRUE(loc.createFolder);
    // The configuration folder is made when the file is first written.
    { ProgramSettings s(loc); }
    EXPECT_TRUE(std::filesystem::is_regular_file(loc.path));
  }
  ScopedEnv relativeXdg("XDG_CONFIG_HOME", "relative");
  ScopedEnv home("HOME", (dir / "home").c_str());
  EXPECT_EQ(DefaultSettingsLocation().path, dir / "home/.config/orvo_v264o4_tft_v1.ini");
}

TEST(ProgramSettings, ProcessWideObjectIsWhatTheOwnerRegistered) {
  TempFolder dir;
  EXPECT_EQ(Settings(), nullptr);
  ProgramSettings s(At(dir / "s.ini"));
  SetSettings(&s);
  EXPECT_EQ(Settings(), &s);
  SetSettings(nullptr);
  EXPECT_EQ(Settings(), nullptr);
}

TEST(DriveFields, WindowsPathsByTheirLetter) {
  const auto win = [](std::string_view p) { return DeriveDriveFields(p, PathStyle::Windows); };
  EXPECT_EQ(win("e:\\").DriveIndex, 4);
  EXPECT_TRUE(win("e:\\").InPathIsDriveRoot);
  EXPECT_EQ(win("E:\\DCIM\\").DriveIndex, 4);
  EXPECT_FALSE(win("E:\\DCIM\\").InPathIsDriveRoot);
  EXPECT_EQ(win("\\\\server\\share\\").DriveIndex, 255);
  EXPECT_EQ(win("Z:\\").DriveIndex, 25);
  EXPECT_EQ(win("A:\\x").DriveIndex, 0);
  EXPECT_EQ(win("E:").DriveIndex, 255);
  EXPECT_EQ(win("E:/").DriveIndex, 255);
  EXPECT_EQ(win("1:\\").DriveIndex, 255);
  EXPECT_EQ(win("").DriveIndex, 255);
  EXPECT_FALSE(win("").InPathIsDriveRoot);
}

TEST(DriveFields, PosixPathsByTheirVolume) {
  if (platform::kDriveLetters)
    GTEST_SKIP() << "Windows names volumes by drive letters";
  TempFolder dir;
  const auto posix = [](std::string_view p) { return DeriveDriveFields(p, PathStyle::Posix); };
  EXPECT_EQ(posix("").DriveIndex, 255);
  EXPECT_EQ(posix("relative/card/").DriveIndex, 255);
  EXPECT_FALSE(posix("relative/card/").InPathIsDriveRoot);
  EXPECT_EQ(posix("/").DriveIndex, 0);
  EXPECT_TRUE(posix("/").InPathIsDriveRoot);
  EXPECT_TRUE(posix("/proc/").InPathIsDriveRoot);
  EXPECT_EQ(posix(dir.Path() + "/").DriveIndex, 0);
  EXPECT_FALSE(posix(dir.Path() + "/").InPathIsDriveRoot);
  EXPECT_EQ(posix("/does/not/exist/").DriveIndex, 0);
  EXPECT_FALSE(posix("/does/not/exist/").InPathIsDriveRoot);

  TempFolder settingsDir;
  ProgramSettings s(At(settingsDir / "s.ini"));
  s.SetInPath("/");
  EXPECT_EQ(s.InPath, "/");
  EXPECT_TRUE(s.InPathIsDriveRoot);
  s.SetInPath(dir.Path());
  EXPECT_EQ(s.DriveIndex, 0);
  EXPECT_FALSE(s.InPathIsDriveRoot);
  s.SetInPath("");
  EXPECT_EQ(s.DriveIndex, 255);
}

TEST(Folders, TrailingSeparatorIsAddedOnce) {
  EXPECT_EQ(WithTrailingBackslash(""), "");
  EXPECT_EQ(WithTrailingBackslash("/a"), "/a" + kSeparator);
  EXPECT_EQ(WithTrailingBackslash("/a/"), "/a/");
  EXPECT_EQ(WithTrailingBackslash("/a" + kSeparator), "/a" + kSeparator);
}

TEST(Folders, ParentStopsAtSeparatorsAndWindowsColons) {
  EXPECT_EQ(ParentForCreation("D:\\a\\b\\c", PathStyle::Windows), "D:\\a\\b\\");
  EXPECT_EQ(ParentForCreation("D:\\a\\", PathStyle::Windows), "D:\\");
  EXPECT_EQ(ParentForCreation("D:\\", PathStyle::Windows), "D:");
  EXPECT_EQ(ParentForCreation("D:", PathStyle::Windows), "");
  EXPECT_EQ(ParentForCreation("/a/b:c", PathStyle::Posix), "/a/");
  EXPECT_EQ(ParentForCreation("/a/b/", PathStyle::Posix), "/a/");
  EXPECT_EQ(ParentForCreation("/a", PathStyle::Posix), "/");
  EXPECT_EQ(ParentForCreation("ab", PathStyle::Posix), "");
  EXPECT_EQ(ParentForCreation("", PathStyle::Posix), "");
}

TEST(Folders, CreateFolderPathMakesEveryMissingLevel) {
  TempFolder dir;
  // A colon is a plain character in a POSIX name; on Windows it ends a
  // drive, and no name holds one.
  const std::string middle = platform::kDriveLetters ? "b 1" : "b:1";
  const std::string deep = dir / ("a/" + middle + "/c/");
  EXPECT_FALSE(FolderExists(deep));
  EXPECT_TRUE(CreateFolderPath(deep));
  EXPECT_TRUE(FolderExists(deep));
  EXPECT_FALSE(std::filesystem::exists(dir / "a/b:"));
  EXPECT_TRUE(CreateFolderPath(deep));
  EXPECT_TRUE(CreateFolderPath(dir / ("a/" + middle + "/c/d")));
  EXPECT_TRUE(FolderExists(dir / ("a/" + middle + "/c/d")));
  // A file in the way, and a path with no existing folder above it.
  WriteFile(dir / "file", "x");
  EXPECT_FALSE(CreateFolderPath(dir / "file/sub"));
  EXPECT_FALSE(CreateFolderPath("nothing"));
  EXPECT_FALSE(CreateFolderPath(""));
}

TEST(Folders, FolderExistsLeavesTheCurrentDirectoryAlone) {
  TempFolder dir;
  const auto before = std::filesystem::current_path();
  EXPECT_TRUE(FolderExists(dir.Path()));
  EXPECT_FALSE(FolderExists(dir / "missing"));
  WriteFile(dir / "file", "x");
  EXPECT_FALSE(FolderExists(dir / "file"));
  EXPECT_EQ(std::filesystem::current_path(), before);
}
