#include "platform/File.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

namespace orvo::platform {

namespace {

// The kernel moves at most this much in one call; larger transfers loop.
constexpr std::size_t kMaxTransfer = 0x40000000;

int OpenLocked(const std::string &path, int flags, int lock) {
  int fd;
  do {
    fd = ::open(path.c_str(), flags | O_CLOEXEC, 0644);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0)
    return -1;
  if (::flock(fd, lock | LOCK_NB) != 0) {
    ::close(fd);
    return -1;
  }
  return fd;
}

} // namespace

File::~File() {
  Close();
}

bool File::CreateTruncate(const std::string &path) {
  if (fd_ >= 0)
    return false;
  // Truncate only once the lock is held, so a file being written elsewhere
  // is left alone.
  fd_ = OpenLocked(path, O_RDWR | O_CREAT, LOCK_EX);
  if (fd_ < 0)
    return false;
  if (::ftruncate(fd_, 0) != 0) {
    Close();
    return false;
  }
  return true;
}

bool File::OpenRead(const std::string &path) {
  if (fd_ >= 0)
    return false;
  fd_ = OpenLocked(path, O_RDONLY, LOCK_SH);
  if (fd_ < 0)
    return false;
  struct stat st {};
  if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
    Close();
    return false;
  }
  return true;
}

std::int64_t File::Read(void *buffer, std::size_t size) {
  if (fd_ < 0)
    return -1;
  auto *p = static_cast<char *>(buffer);
  std::size_t done = 0;
  while (done < size) {
    ssize_t n = ::read(fd_, p + done, std::min(size - done, kMaxTransfer));
    if (n < 0 && errno == EINTR)
      continue;
    if (n < 0)
      return done ? static_cast<std::int64_t>(done) : -1;
    if (n == 0)
      break;
    done += static_cast<std::size_t>(n);
  }
  return static_cast<std::int64_t>(done);
}

std::int64_t File::Write(const void *data, std::size_t size) {
  if (fd_ < 0)
    return -1;
  auto *p = static_cast<const char *>(data);
  std::size_t done = 0;
  while (done < size) {
    ssize_t n = ::write(fd_, p + done, std::min(size - done, kMaxTransfer));
    if (n < 0 && errno == EINTR)
      continue;
    if (n <= 0)
      return done ? static_cast<std::int64_t>(done) : -1;
    done += static_cast<std::size_t>(n);
  }
  return static_cast<std::int64_t>(done);
}

std::int64_t File::ReadAt(void *buffer, std::size_t size, std::uint64_t offset) {
  if (fd_ < 0 || offset > static_cast<std::uint64_t>(INT64_MAX) - size)
    return -1;
  auto *p = static_cast<char *>(buffer);
  std::size_t done = 0;
  while (done < size) {
    ssize_t n = ::pread(fd_, p + done, std::min(size - done, kMaxTransfer),
                        static_cast<off_t>(offset + done));
    if (n < 0 && errno == EINTR)
      continue;
    if (n < 0)
      return done ? static_cast<std::int64_t>(done) : -1;
    if (n == 0)
      break;
    done += static_cast<std::size_t>(n);
  }
  return static_cast<std::int64_t>(done);
}

std::int64_t File::WriteAt(const void *data, std::size_t size, std::uint64_t offset) {
  if (fd_ < 0 || offset > static_cast<std::uint64_t>(INT64_MAX) - size)
    return -1;
  auto *p = static_cast<const char *>(data);
  std::size_t done = 0;
  while (done < size) {
    ssize_t n = ::pwrite(fd_, p + done, std::min(size - done, kMaxTransfer),
                         static_cast<off_t>(offset + done));
    if (n < 0 && errno == EINTR)
      continue;
    if (n <= 0)
      return done ? static_cast<std::int64_t>(done) : -1;
    done += static_cast<std::size_t>(n);
  }
  return static_cast<std::int64_t>(done);
}

std::int64_t File::WriteGather(const ConstChunk *chunks, std::size_t count) {
  if (fd_ < 0)
    return -1;
  constexpr std::size_t kBatch = 64;
  std::int64_t total = 0;
  std::size_t next = 0;    // first chunk not yet fully written
  std::size_t skipped = 0; // bytes of chunks[next] already written
  while (next < count) {
    iovec iov[kBatch];
    std::size_t n = 0, bytes = 0;
    for (std::size_t i = next; i < count && n < kBatch; ++i) {
      std::size_t off = i == next ? skipped : 0;
      std::size_t len = chunks[i].size - off;
      if (bytes + len > kMaxTransfer)
        break;
      iov[n].iov_base = const_cast<char *>(static_cast<const char *>(chunks[i].data) + off);
      iov[n].iov_len = len;
      bytes += len;
      ++n;
    }
    if (n == 0) {
      // A single chunk larger than one transfer.
      std::int64_t w = Write(static_cast<const char *>(chunks[next].data) + skipped,
                             chunks[next].size - skipped);
      if (w > 0)
        total += w;
      if (w != static_cast<std::int64_t>(chunks[next].size - skipped))
        return total ? total : -1;
      ++next;
      skipped = 0;
      continue;
    }
    ssize_t w = ::writev(fd_, iov, static_cast<int>(n));
    if (w < 0 && errno == EINTR)
      continue;
    if (w <= 0)
      return total ? total : -1;
    total += w;
    auto left = static_cast<std::size_t>(w);
    while (next < count && left >= chunks[next].size - skipped) {
      left -= chunks[next].size - skipped;
      skipped = 0;
      ++next;
    }
    skipped += left;
  }
  return total;
}

std::int64_t File::Seek(std::int64_t offset, SeekFrom from) {
  if (fd_ < 0)
    return -1;
  int whence = from == SeekFrom::Begin ? SEEK_SET : from == SeekFrom::Current ? SEEK_CUR : SEEK_END;
  off_t r = ::lseek(fd_, static_cast<off_t>(offset), whence);
  return r < 0 ? -1 : static_cast<std::int64_t>(r);
}

std::int64_t File::Size() const {
  struct stat st {};
  if (fd_ < 0 || ::fstat(fd_, &st) != 0)
    return -1;
  return static_cast<std::int64_t>(st.st_size);
}

bool File::Flush() {
  return fd_ >= 0 && ::fsync(fd_) == 0;
}

bool File::Close() {
  if (fd_ < 0)
    return true;
  int fd = fd_;
  fd_ = -1;
  // The descriptor is gone even when close reports an error; never retry.
  return ::close(fd) == 0;
}

} // namespace orvo::platform
