// The floor a conversion is measured against: the same bytes of a card's
// fragments joined per record into one file each, as plainly as it can be
// done with the same promise of durability. 1 MiB reads and writes, an
// XXH3 128-bit digest of every byte, the written data handed to the disk as
// it grows (16 MiB stretches), each file flushed before its rename and the
// folder flushed after it. Usage: bench_floor_copy CARD OUTDIR
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

#define XXH_INLINE_ALL
#include <xxhash.h>

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kBlock = 1 << 20;
constexpr off_t kStretch = 16 << 20;

bool Join(const std::vector<fs::path> &fragments, const fs::path &out, std::vector<char> &buffer,
          XXH3_state_t &digest) {
  const std::string temp = out.string() + ".tmp";
  const int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0)
    return false;
  XXH3_128bits_reset(&digest);
  off_t written = 0, handed = 0;
  bool ok = true;
  for (const fs::path &f : fragments) {
    const int in = open(f.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0)
      return false;
    for (ssize_t n; ok && (n = read(in, buffer.data(), buffer.size())) > 0;) {
      XXH3_128bits_update(&digest, buffer.data(), static_cast<std::size_t>(n));
      ok = write(fd, buffer.data(), static_cast<std::size_t>(n)) == n;
      written += n;
      if (written - handed >= kStretch) {
        sync_file_range(fd, handed, written - handed, SYNC_FILE_RANGE_WRITE);
        handed = written;
      }
    }
    close(in);
  }
  ok = ok && fsync(fd) == 0;
  ok = close(fd) == 0 && ok;
  return ok && rename(temp.c_str(), out.c_str()) == 0;
}

} // namespace

int main(int argc, char **argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s CARD OUTDIR\n", argv[0]);
    return 2;
  }
  std::vector<char> buffer(kBlock);
  XXH3_state_t digest;
  const int folder = open(argv[2], O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  std::vector<fs::path> records;
  for (const auto &e : fs::directory_iterator(argv[1]))
    if (e.is_directory() && e.path().filename().string().rfind('R', 0) == 0)
      records.push_back(e.path());
  std::sort(records.begin(), records.end());
  for (const fs::path &r : records) {
    std::vector<fs::path> fragments;
    for (const auto &e : fs::recursive_directory_iterator(r))
      if (e.is_regular_file() && e.path().extension() == ".mp4")
        fragments.push_back(e.path());
    std::sort(fragments.begin(), fragments.end());
    if (!Join(fragments, fs::path(argv[2]) / (r.filename().string() + ".bin"), buffer, digest)) {
      std::perror(r.c_str());
      return 1;
    }
    fsync(folder);
  }
  close(folder);
  return 0;
}
