#include "media/Process.h"
#include "platform/Sha256.h"
#include "support/System.h"
#include "support/Tools.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <fstream>
#include <iterator>
#include <random>

using namespace orvo;
using platform::Sha256Digest;

namespace {

std::string Hex(platform::Sha256 &sha) {
  Sha256Digest digest;
  std::string error;
  EXPECT_TRUE(sha.Final(digest, error)) << error;
  return platform::ToHex(digest);
}

std::string HexOf(const std::string &message) {
  platform::Sha256 sha;
  sha.Update(message.data(), message.size());
  return Hex(sha);
}

std::string HexOfFile(const std::string &path) {
  Sha256Digest digest;
  std::string error;
  EXPECT_TRUE(platform::HashFile(path, digest, error)) << error;
  return platform::ToHex(digest);
}

} // namespace

// The test vectors of FIPS 180-2, the long one given in pieces that fall
// across SHA-256's 64-byte blocks every which way; one object serves
// message after message, and Reset drops a message half given.
TEST(Sha256, StandardVectorsInAnyPieces) {
  platform::Sha256 sha;
  EXPECT_EQ(Hex(sha), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
  sha.Update("abc", 3);
  EXPECT_EQ(Hex(sha), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
  const std::string message = "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq";
  sha.Update(message.data(), message.size());
  EXPECT_EQ(Hex(sha), "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");

  const std::string million(1000000, 'a');
  sha.Update("xyz", 3);
  sha.Reset();
  const std::size_t pieces[] = {1, 63, 64, 65, 127, 4093, 1, 100003};
  for (std::size_t done = 0, i = 0; done < million.size(); ++i) {
    const std::size_t n = std::min(pieces[i % std::size(pieces)], million.size() - done);
    sha.Update(million.data() + done, n);
    done += n;
  }
  EXPECT_EQ(Hex(sha), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
}

// A file is hashed whole, whatever its size against HashFile's blocks, and
// its digest is the one sha256sum prints.
TEST(Sha256File, EqualsTheDigestOfItsBytes) {
  test::TempDir dir;
  std::mt19937 random(180);
  const std::size_t block = platform::kHashFileBlock;
  std::string file;
  for (const std::size_t size : {std::size_t{0}, block - 1, block, block + 1, 2 * block + 4099}) {
    std::string bytes(size, '\0');
    for (char &c : bytes)
      c = static_cast<char>(random());
    file = dir.File("file" + std::to_string(size));
    std::ofstream(file, std::ios::binary) << bytes;
    EXPECT_EQ(HexOfFile(file), HexOf(bytes)) << size;
  }
  std::string out;
  if (media::RunProcess({"sha256sum", "--", file}, &out) != 0)
    GTEST_SKIP() << "sha256sum cannot be run here (under Wine only the Linux one exists)";
  EXPECT_EQ(HexOfFile(file), out.substr(0, 64));
}

// What is no readable regular file is refused without blocking, and the
// error names it; so is a hash that was told to stop.
TEST(Sha256File, RefusesWhatIsNoFileNamingIt) {
  test::TempDir dir;
  Sha256Digest digest;
  std::string error;
  const auto refused = [&](const std::string &path, const std::string &reason) {
    digest.fill(1);
    EXPECT_FALSE(platform::HashFile(path, digest, error));
    EXPECT_EQ(error, path + ": " + reason);
    EXPECT_EQ(digest, Sha256Digest{}) << path;
  };
  refused(dir.File("none"), test::MissingFileText());
  refused(dir.path, "is a folder, not a file");
  refused(test::NullDevice(), "not a regular file");

  const std::string file = dir.File("file");
  std::ofstream(file) << "abc";
  const std::atomic<bool> cancel{true};
  EXPECT_FALSE(platform::HashFile(file, digest, error, &cancel));
  EXPECT_EQ(error, file + ": cancelled");

  if (!test::MakeFifo(dir.File("fifo")))
    GTEST_SKIP() << test::kNoFifos;
  refused(dir.File("fifo"), "not a regular file");
}
