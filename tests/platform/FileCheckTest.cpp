#include "platform/Error.h"
#include "platform/File.h"
#include "platform/FileSystem.h"
#include "support/System.h"
#include "support/Tools.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

using namespace orvo;

// Checking a file opens nothing that could block and tells a missing file
// from one that is no regular file; a file's time is set on the open file.
TEST(FileCheck, ReadableRegularFilesAndModificationTimes) {
  test::TempDir dir;
  const std::string file = dir.File("a.mp4"), fifo = dir.File("fifo"), link = dir.File("link");
  std::ofstream(file) << "12345";
  std::string error;
  std::uint64_t size = 0;
  EXPECT_TRUE(platform::CheckReadableFile(file, error, size));
  EXPECT_EQ(size, 5u);
  // A FIFO, and on Windows a device name inside a folder, without blocking.
  for (const std::string &special : {fifo, std::string(test::NullDevice())}) {
    if (special == fifo && !test::MakeFifo(fifo))
      continue;
    EXPECT_FALSE(platform::CheckReadableFile(special, error, size)) << special;
    EXPECT_EQ(error, "not a regular file") << special;
  }
  // A device name in any folder is the device (the console, which a
  // program without one cannot even open).
  if (platform::kDriveLetters) {
    EXPECT_FALSE(platform::CheckReadableFile(dir.File("CON"), error, size));
    EXPECT_FALSE(error.empty());
  }
  EXPECT_FALSE(platform::CheckReadableFile(dir.path, error, size));
  EXPECT_EQ(error, "is a folder, not a file");
  EXPECT_FALSE(platform::CheckReadableFile(dir.File("none"), error, size));
  EXPECT_EQ(error, test::MissingFileText());

  platform::File open;
  ASSERT_TRUE(open.OpenExisting(file));
  ASSERT_TRUE(open.SetModificationTime(1615797000));
  open.Close();
  EXPECT_EQ(test::ModificationTime(file), 1615797000);
  if (!test::MakeLink(file, link))
    GTEST_SKIP() << test::kNoLinks;
  EXPECT_FALSE(open.OpenExisting(link)) << "never through a link";
  EXPECT_TRUE(open.OpenRead(link)) << "reading follows the user's links";
}

// A failure at exit (a static object's destructor saving its file) still
// keeps its reason: the reason's storage outlives every thread-local object.
TEST(FileCheck, FailureAtExitKeepsItsReason) {
  // Run in a copy of the process (the limit is only a vehicle for that).
  const auto status = test::RunWithFileSizeLimit(
      std::uint64_t{1} << 40,
      [](void *) -> int {
        struct AtExit {
          ~AtExit() { std::_Exit(platform::DeleteFile("/nonexistent/orvo") ? 1 : 0); }
        };
        static AtExit atExit;
        platform::KeepError("before");
        std::exit(2);
      },
      nullptr);
  if (!status)
    GTEST_SKIP() << "this system cannot copy a running process";
  EXPECT_EQ(*status, 0);
}

// A folder lies within another by identity: the same folder under another
// spelling or through a link counts, a sibling with a longer name does not.
TEST(FileCheck, FolderLiesWithinComparesFoldersNotNames) {
  test::TempDir dir;
  const std::string card = dir.File("card"), inner = dir.File("card/a/b");
  std::filesystem::create_directories(inner);
  std::filesystem::create_directories(dir.File("card2"));
  EXPECT_TRUE(platform::FolderLiesWithin(card, card));
  EXPECT_TRUE(platform::FolderLiesWithin(inner + "/", card + "/"));
  EXPECT_TRUE(platform::FolderLiesWithin(dir.File("card2/../card/a"), card));
  EXPECT_FALSE(platform::FolderLiesWithin(dir.File("card2"), card));
  EXPECT_FALSE(platform::FolderLiesWithin(card, inner));
  EXPECT_FALSE(platform::FolderLiesWithin(dir.File("missing"), card));
  if (!test::MakeLink(inner, dir.File("out")))
    GTEST_SKIP() << test::kNoLinks;
  EXPECT_TRUE(platform::FolderLiesWithin(dir.File("out"), card));
  EXPECT_FALSE(platform::FolderLiesWithin(card, dir.File("out")));
}
