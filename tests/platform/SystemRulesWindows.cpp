// What holds on Windows alone: drives named by letters, sharing modes that
// other programs meet, hidden and system attributes, paths past the old
// limit of 260 characters and names no code page holds.
#include "app/CardPreparation.h"
#include "platform/Error.h"
#include "platform/File.h"
#include "platform/FileSystem.h"
#include "platform/Folder.h"
#include "platform/Identity.h"
#include "platform/Utf16.h"
#include "platform/Volume.h"
#include "settings/Folders.h"
#include "settings/ProgramSettings.h"
#include "support/Tools.h"

#include <gtest/gtest.h>

#include <windows.h>
// The system's names for its ANSI/wide pairs would rename the platform's own.
#undef CreateDirectory
#undef DeleteFile
#undef RemoveDirectory

#include <algorithm>
#include <cctype>
#include <regex>

using namespace orvo;

namespace {

std::vector<std::string> Names(const std::string &folder, bool skipHiddenSystem) {
  std::vector<platform::DirEntry> entries;
  EXPECT_TRUE(platform::FindEntries(folder, "*", skipHiddenSystem, entries));
  std::vector<std::string> names;
  for (const auto &e : entries)
    names.push_back(e.name);
  std::sort(names.begin(), names.end());
  return names;
}

// Another program's handle on a file, with the access and sharing given.
HANDLE OpenAsAnotherProgram(const std::string &path, DWORD access, DWORD share) {
  std::wstring wide;
  platform::WidePath(path, wide);
  return CreateFileW(wide.c_str(), access, share, nullptr, OPEN_EXISTING, 0, nullptr);
}

void Hide(const std::string &path, DWORD attribute) {
  std::wstring wide;
  platform::WidePath(path, wide);
  ASSERT_TRUE(SetFileAttributesW(wide.c_str(), attribute));
}

} // namespace

TEST(WindowsDrives, TheInputFolderNamesItsDriveByTheLetter) {
  test::TempDir dir;
  ProgramSettings s(SettingsLocation{dir.File("s.ini"), false});
  s.SetInPath("e:");
  EXPECT_EQ(s.InPath, "e:\\");
  EXPECT_EQ(s.DriveIndex, 4);
  EXPECT_TRUE(s.InPathIsDriveRoot);
  s.SetInPath("E:\\DCIM");
  EXPECT_EQ(s.DriveIndex, 4);
  EXPECT_FALSE(s.InPathIsDriveRoot);
  s.SetInPath(dir.path);
  const auto letter = static_cast<std::uint8_t>(dir.path[0] - 'A');
  EXPECT_EQ(s.DriveIndex, letter) << dir.path;
  EXPECT_FALSE(s.InPathIsDriveRoot);

  // Readiness is asked of the drive's root, whatever folder the path names.
  const std::string root = platform::DriveQueryFolder(letter, "ignored");
  EXPECT_EQ(root, dir.path.substr(0, 3));
  EXPECT_TRUE(platform::IsVolumeRoot(root));
  EXPECT_FALSE(platform::IsVolumeRoot(dir.path));
  EXPECT_EQ(platform::WithoutSeparator(root), root) << "a root keeps its backslash";
  EXPECT_TRUE(IsDriveReady(letter, "ignored"));
  EXPECT_FALSE(IsFat32(letter, "ignored")) << "the test folder's drive";

  // A letter without a drive: not ready, with no box asking for a disk.
  const DWORD drives = GetLogicalDrives();
  std::uint8_t unused = 25;
  while (unused > 2 && (drives & (1u << unused)))
    --unused;
  EXPECT_FALSE(IsDriveReady(unused, ""));
  EXPECT_FALSE(IsFat32(unused, ""));
  {
    platform::CriticalErrorGuard guard;
    EXPECT_TRUE(GetThreadErrorMode() & SEM_FAILCRITICALERRORS);
  }
  EXPECT_FALSE(GetThreadErrorMode() & SEM_FAILCRITICALERRORS) << "the mode is restored";
}

// A volume is named as vol and dir name it: by its root and a serial of two
// groups of four upper-case hex digits; a path past the old limit names it
// the same, without the long-path prefix.
TEST(WindowsDrives, AFolderIsIdentifiedByItsRootAndSerial) {
  test::TempDir dir;
  platform::VolumeIdentity id;
  ASSERT_TRUE(platform::IdentifyVolume(dir.path, id));
  ASSERT_EQ(id.device.size(), 3u) << id.device;
  EXPECT_EQ(std::toupper(static_cast<unsigned char>(id.device[0])),
            std::toupper(static_cast<unsigned char>(dir.path[0])));
  EXPECT_EQ(id.device.substr(1), ":\\");
  EXPECT_TRUE(std::regex_match(id.serial, std::regex("[0-9A-F]{4}-[0-9A-F]{4}"))) << id.serial;

  std::string deep = dir.path;
  for (int i = 0; i < 5; ++i)
    deep.append("\\").append(60, static_cast<char>('a' + i));
  ASSERT_TRUE(CreateFolderPath(deep));
  platform::VolumeIdentity viaLongPath;
  ASSERT_TRUE(platform::IdentifyVolume(deep, viaLongPath));
  EXPECT_EQ(viaLongPath.device, id.device);
  EXPECT_EQ(viaLongPath.serial, id.serial);
  EXPECT_EQ(viaLongPath.label, id.label);
}

// Windows enforces the sharing rules against every program: a file another
// program writes is refused for reading, writing and removal, with a reason,
// at once and without a dialog; and while this program reads or writes a
// file, no other program can change it.
TEST(WindowsSharing, FilesInUseElsewhereAreAClearFailure) {
  test::TempDir dir;
  const std::string path = dir.File("record.dat");
  ASSERT_TRUE(platform::WriteWholeFileAtomically(path, "old"));
  HANDLE other =
      OpenAsAnotherProgram(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE);
  ASSERT_NE(other, INVALID_HANDLE_VALUE);
  platform::File file;
  EXPECT_FALSE(file.OpenRead(path));
  EXPECT_EQ(platform::LastErrorText(), "in use by another program");
  EXPECT_FALSE(file.OpenExisting(path));
  EXPECT_FALSE(platform::DeleteFile(path));
  EXPECT_EQ(platform::LastErrorText(), "in use by another program");
  EXPECT_FALSE(platform::WriteWholeFileAtomically(path, "new"));
  EXPECT_FALSE(platform::LastErrorText().empty());
  CloseHandle(other);
  std::string content;
  ASSERT_TRUE(platform::ReadWholeFile(path, content));
  EXPECT_EQ(content, "old");
  EXPECT_EQ(Names(dir.path, false), std::vector<std::string>{"record.dat"}) << "no temporary";

  ASSERT_TRUE(file.OpenRead(path));
  EXPECT_EQ(OpenAsAnotherProgram(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE),
            INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
  HANDLE reader = OpenAsAnotherProgram(path, GENERIC_READ, FILE_SHARE_READ);
  EXPECT_NE(reader, INVALID_HANDLE_VALUE) << "readers share";
  CloseHandle(reader);
  file.Close();
  ASSERT_TRUE(file.OpenExisting(path));
  EXPECT_EQ(OpenAsAnotherProgram(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE),
            INVALID_HANDLE_VALUE)
      << "the writer excludes everyone";
}

TEST(WindowsEntries, HiddenAndSystemEntriesAreLeftOut) {
  test::TempDir dir;
  for (const char *name :
       {"R00000001_D210315_T083000", "R00000002_D210315_T083000", "R00000003_D210315_T083000"})
    ASSERT_TRUE(platform::CreateDirectory(dir.File(name)));
  ASSERT_TRUE(platform::WriteWholeFileAtomically(dir.File("hidden.fw"), "x"));
  Hide(dir.File("R00000002_D210315_T083000"), FILE_ATTRIBUTE_HIDDEN);
  Hide(dir.File("R00000003_D210315_T083000"), FILE_ATTRIBUTE_SYSTEM);
  Hide(dir.File("hidden.fw"), FILE_ATTRIBUTE_HIDDEN);
  EXPECT_EQ(Names(dir.path, true), std::vector<std::string>{"R00000001_D210315_T083000"});
  EXPECT_EQ(Names(dir.path, false).size(), 4u);
}

// Every call takes paths past 260 characters, with either separator, and
// names of any script; a name that is no UTF-8 text is refused, not guessed.
TEST(WindowsPaths, LongPathsAndUnicodeNames) {
  test::TempDir dir;
  std::string deep = dir.path;
  for (int i = 0; i < 5; ++i)
    deep += "/" + std::string(60, static_cast<char>('a' + i));
  ASSERT_GT(deep.size(), 300u);
  ASSERT_TRUE(CreateFolderPath(deep));
  EXPECT_TRUE(FolderExists(deep));
  const std::string name = "\xD0\x97\xD0\xB0\xD0\xBF\xD0\xB8\xD1\x81\xD1\x8C \xF0\x9F\x9A\x97.dat";
  const std::string file = deep + "\\" + name;
  ASSERT_TRUE(platform::WriteWholeFileAtomically(file, "content")) << platform::LastErrorText();
  std::string content;
  ASSERT_TRUE(platform::ReadWholeFile(file, content));
  EXPECT_EQ(content, "content");
  EXPECT_EQ(Names(deep, true), std::vector<std::string>{name});
  ASSERT_TRUE(platform::CopyFileSafely(file, deep + "/copy.dat"));
  EXPECT_EQ(platform::FileSizeOf(deep + "/copy.dat"), 7u);
  platform::Folder folder;
  ASSERT_TRUE(folder.Open(deep));
  EXPECT_TRUE(folder.RemoveFile("copy.dat"));
  EXPECT_FALSE(folder.RemoveFile("../copy.dat")) << "only names inside the folder";
  folder.Close();
  EXPECT_TRUE(platform::DeleteFile(file));
  EXPECT_TRUE(platform::RemoveDirectory(deep + "\\"));
  EXPECT_FALSE(FolderExists(deep));

  std::wstring wide;
  ASSERT_TRUE(platform::WidePath(deep, wide));
  EXPECT_EQ(wide.rfind(LR"(\\?\)", 0), 0u);
  EXPECT_EQ(wide.find(L'/'), std::wstring::npos);
  platform::File bad;
  EXPECT_FALSE(bad.CreateTruncate(dir.File("\xFF\xFE.dat")));
  EXPECT_EQ(platform::LastErrorText(), "the name is not valid UTF-8 text");
}
