#include "platform/File.h"
#include "support/Tools.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using orvo::platform::ConstChunk;
using orvo::platform::File;
using orvo::platform::SeekFrom;

namespace {

struct Scratch {
  orvo::test::TempDir dir;
  std::string path = dir.File("scratch");
};

} // namespace

TEST(File, ReadWriteSeekAndPositionalTransfers) {
  Scratch s;
  File f;
  ASSERT_TRUE(f.CreateTruncate(s.path));
  EXPECT_FALSE(f.CreateTruncate(s.path)); // already open
  EXPECT_EQ(f.Write("hello world", 11), 11);
  EXPECT_EQ(f.WriteAt("W", 1, 6), 1); // the file pointer stays at the end
  EXPECT_EQ(f.Seek(0, SeekFrom::Current), 11);
  EXPECT_EQ(f.Size(), 11);
  EXPECT_EQ(f.Seek(-5, SeekFrom::End), 6);
  char buffer[16] = {};
  EXPECT_EQ(f.Read(buffer, sizeof buffer), 5); // short at the end of the file
  EXPECT_EQ(std::string(buffer), "World");
  EXPECT_EQ(f.ReadAt(buffer, 5, 0), 5);
  EXPECT_EQ(std::string(buffer, 5), "hello");
  EXPECT_EQ(f.ReadAt(buffer, 5, 100), 0);
  EXPECT_EQ(f.Seek(-1, SeekFrom::Begin), -1);
  EXPECT_TRUE(f.Close());
  EXPECT_TRUE(f.Close());
  EXPECT_EQ(f.Read(buffer, 1), -1);
  EXPECT_EQ(f.Seek(0, SeekFrom::Begin), -1);
}

TEST(File, GatheredWriteLandsLikeSeparateWrites) {
  Scratch s;
  File f;
  ASSERT_TRUE(f.CreateTruncate(s.path));
  std::string big(300000, 'b');
  std::vector<ConstChunk> chunks = {{"a", 1}, {"", 0}, {big.data(), big.size()}, {"c", 1}};
  for (int i = 0; i < 100; ++i)
    chunks.push_back({"d", 1}); // more chunks than one system call takes
  EXPECT_EQ(f.WriteGather(chunks.data(), chunks.size()), 300102);
  std::string back(300102, 0);
  EXPECT_EQ(f.ReadAt(back.data(), back.size(), 0), 300102);
  EXPECT_EQ(back, "a" + big + "c" + std::string(100, 'd'));
}

TEST(File, WriterExcludesOthersAndReadersShare) {
  Scratch s;
  File writer, other, reader1, reader2;
  ASSERT_TRUE(writer.CreateTruncate(s.path));
  EXPECT_FALSE(other.CreateTruncate(s.path));
  EXPECT_FALSE(reader1.OpenRead(s.path));
  writer.Close();
  ASSERT_TRUE(reader1.OpenRead(s.path));
  EXPECT_TRUE(reader2.OpenRead(s.path));
  EXPECT_FALSE(other.CreateTruncate(s.path));
  EXPECT_EQ(reader1.Write("x", 1), -1);
}

TEST(File, MissingFilesAndFoldersDoNotOpen) {
  Scratch s;
  File f;
  EXPECT_FALSE(f.OpenRead(s.dir.File("nonexistent/orvo/file")));
  EXPECT_FALSE(f.OpenRead(s.dir.path)); // a folder is not a file
  EXPECT_FALSE(f.CreateTruncate(s.dir.File("nonexistent/orvo/file")));
}
