#include "platform/Error.h"
#include "platform/File.h"
#include "platform/FileSystem.h"
#include "support/Tools.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace orvo;

// Checking a file opens nothing that could block and tells a missing file
// from one that is no regular file; a file's time is set on the open file.
TEST(FileCheck, ReadableRegularFilesAndModificationTimes) {
  test::TempDir dir;
  const std::string file = dir.File("a.mp4"), fifo = dir.File("fifo"), link = dir.File("link");
  std::ofstream(file) << "12345";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  ASSERT_EQ(symlink(file.c_str(), link.c_str()), 0);
  std::string error;
  std::uint64_t size = 0;
  EXPECT_TRUE(platform::CheckReadableFile(file, error, size));
  EXPECT_EQ(size, 5u);
  EXPECT_FALSE(platform::CheckReadableFile(fifo, error, size)) << "a FIFO, without blocking";
  EXPECT_EQ(error, "not a regular file");
  EXPECT_FALSE(platform::CheckReadableFile(dir.path, error, size));
  EXPECT_FALSE(platform::CheckReadableFile(dir.File("none"), error, size));
  EXPECT_EQ(error, "No such file or directory");

  struct stat st {};
  platform::File open;
  ASSERT_TRUE(open.OpenExisting(file));
  ASSERT_TRUE(open.SetModificationTime(1615797000));
  open.Close();
  ASSERT_EQ(stat(file.c_str(), &st), 0);
  EXPECT_EQ(st.st_mtime, 1615797000);
  EXPECT_FALSE(open.OpenExisting(link)) << "never through a link";
}

// A failure at exit (a static object's destructor saving its file) still
// keeps its reason: the reason's storage outlives every thread-local object.
TEST(FileCheck, FailureAtExitKeepsItsReason) {
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    struct AtExit {
      ~AtExit() { _exit(platform::DeleteFile("/nonexistent/orvo") ? 1 : 0); }
    };
    static AtExit atExit;
    platform::KeepError("before");
    std::exit(2);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}
