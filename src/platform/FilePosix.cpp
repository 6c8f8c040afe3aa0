#include "platform/File.h"

#include "platform/Error.h"
#include "platform/FileDetail.h"

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

void KeepOpenError(int code) {
  // O_NOFOLLOW answers a link under the name with ELOOP, whose system text
  // ("Too many levels of symbolic links") would mislead.
  if (code == ELOOP)
    KeepError("is a symbolic link");
  else
    KeepSystemError(code);
}

// Opens without blocking (a FIFO would wait for a writer forever), then
// takes the file only when it is a regular one and the lock is free.
// `openError` receives the open's errno when the open itself fails.
int OpenRegular(const std::string &path, int flags, int lock, mode_t mode = 0644,
                int *openError = nullptr) {
  int fd;
  do {
    fd = ::open(path.c_str(), flags | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, mode);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) {
    const int code = errno;
    if (openError)
      *openError = code;
    KeepOpenError(code);
    return -1;
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    KeepSystemError();
    ::close(fd);
    return -1;
  }
  if (!S_ISREG(st.st_mode)) {
    KeepError(S_ISDIR(st.st_mode) ? "is a folder, not a file" : "not a regular file");
    ::close(fd);
    return -1;
  }
  if (::flock(fd, lock | LOCK_NB) != 0) {
    if (errno == EWOULDBLOCK)
      KeepError("in use by another program");
    else
      KeepSystemError();
    ::close(fd);
    return -1;
  }
  // Regular files do not block anyway; clear the flag so later calls are
  // ordinary ones.
  const int current = ::fcntl(fd, F_GETFL);
  if (current >= 0)
    ::fcntl(fd, F_SETFL, current & ~O_NONBLOCK);
  return fd;
}

std::string FolderPrefixOf(const std::string &path) {
  const std::size_t cut = path.rfind('/');
  return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
}

// Reads or writes at `offset` (the file pointer otherwise) until `size`
// bytes are moved, the end of the file is read or an error stops it;
// returns the count moved or -1.
std::int64_t Transfer(int fd, char *data, std::size_t size, const std::uint64_t *offset,
                      bool write) {
  std::size_t done = 0;
  while (done < size) {
    const std::size_t want = std::min(size - done, kMaxTransfer);
    ssize_t n;
    if (offset) {
      const auto where = static_cast<off_t>(*offset + done);
      n = write ? ::pwrite(fd, data + done, want, where) : ::pread(fd, data + done, want, where);
    } else {
      n = write ? ::write(fd, data + done, want) : ::read(fd, data + done, want);
    }
    if (n < 0 && errno == EINTR)
      continue;
    if (n == 0 && !write)
      break;
    if (n <= 0) {
      // A write that moves nothing has found the medium full.
      KeepSystemError(n < 0 ? errno : ENOSPC);
      return done ? static_cast<std::int64_t>(done) : -1;
    }
    done += static_cast<std::size_t>(n);
  }
  return static_cast<std::int64_t>(done);
}

} // namespace

bool SyncFolder(const std::string &folder) {
  int fd;
  do {
    fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) {
    KeepSystemError();
    return false;
  }
  bool ok = ::fsync(fd) == 0;
  // Some file systems cannot sync a folder and say so; their renames are
  // as durable as they get.
  if (!ok && (errno == EINVAL || errno == ENOTSUP))
    ok = true;
  if (!ok)
    KeepSystemError();
  ::close(fd);
  return ok;
}

File::~File() {
  Close();
}

bool File::CreateTruncate(const std::string &path) {
  if (handle_ >= 0)
    return false;
  // Truncate only once the lock is held, so a file being written elsewhere
  // is left alone.
  handle_ = OpenRegular(path, O_RDWR | O_CREAT | O_NOFOLLOW, LOCK_EX);
  if (handle_ < 0)
    return false;
  if (::ftruncate(handle_, 0) != 0) {
    KeepSystemError();
    Close();
    return false;
  }
  return true;
}

bool File::OpenRead(const std::string &path) {
  if (handle_ >= 0)
    return false;
  handle_ = OpenRegular(path, O_RDONLY, LOCK_SH);
  return handle_ >= 0;
}

bool File::OpenExisting(const std::string &path) {
  if (handle_ >= 0)
    return false;
  handle_ = OpenRegular(path, O_RDWR | O_NOFOLLOW, LOCK_EX);
  return handle_ >= 0;
}

bool File::CreateReplacement(const std::string &path, unsigned mode) {
  if (handle_ >= 0 || path.empty())
    return false;
  const std::string prefix = FolderPrefixOf(path);
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::string temp = prefix + TemporaryName(static_cast<std::uint64_t>(::getpid()));
    int openError = 0;
    handle_ = OpenRegular(temp, O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW, LOCK_EX,
                      static_cast<mode_t>(mode), &openError);
    if (handle_ >= 0) {
      finalPath_ = path;
      tempPath_ = temp;
      sealed_ = false;
      behindDone_ = behindStarted_ = 0;
      return true;
    }
    if (openError != EEXIST)
      return false;
  }
  return false;
}

bool File::SealReplacement() {
  if (handle_ < 0 || finalPath_.empty())
    return false;
  if (!sealed_ && ::fsync(handle_) != 0) {
    KeepSystemError();
    return false;
  }
  sealed_ = true;
  return true;
}

bool File::CommitReplacement(bool syncFolder) {
  if (handle_ < 0 || finalPath_.empty())
    return false;
  bool ok = SealReplacement();
  // Only a file or a link is ever replaced: a device, FIFO or folder under
  // the name is not the file it should be, and replacing it (say /dev/full)
  // would be worse than failing.
  struct stat st {};
  if (ok && ::lstat(finalPath_.c_str(), &st) == 0 && !S_ISREG(st.st_mode) &&
      !S_ISLNK(st.st_mode)) {
    KeepError(S_ISDIR(st.st_mode) ? "is a folder, not a file" : "not a regular file");
    ok = false;
  }
  // Renamed while still open and locked, so no other run's clean-up can
  // take the temporary in between.
  if (ok && ::rename(tempPath_.c_str(), finalPath_.c_str()) != 0) {
    KeepSystemError();
    ok = false;
  }
  if (!ok)
    ::unlink(tempPath_.c_str());
  const int fd = handle_;
  handle_ = -1;
  if (::close(fd) != 0 && ok) {
    KeepSystemError();
    ok = false;
  }
  if (ok && syncFolder)
    ok = SyncFolder(FolderPrefixOf(finalPath_));
  finalPath_.clear();
  tempPath_.clear();
  sealed_ = false;
  return ok;
}

bool File::DuplicateForReading(File &reader) const {
  if (handle_ < 0 || reader.IsOpen())
    return false;
  const int fd = ::fcntl(static_cast<int>(handle_), F_DUPFD_CLOEXEC, 0);
  if (fd < 0) {
    KeepSystemError();
    return false;
  }
  reader.handle_ = fd;
  return true;
}

void File::DiscardReplacement() {
  if (finalPath_.empty())
    return;
  if (handle_ >= 0)
    ::close(handle_);
  handle_ = -1;
  ::unlink(tempPath_.c_str());
  finalPath_.clear();
  tempPath_.clear();
  sealed_ = false;
}

std::int64_t File::Read(void *buffer, std::size_t size) {
  if (handle_ < 0)
    return -1;
  return Transfer(static_cast<int>(handle_), static_cast<char *>(buffer), size, nullptr, false);
}

std::int64_t File::Write(const void *data, std::size_t size) {
  if (handle_ < 0)
    return -1;
  return Transfer(static_cast<int>(handle_), const_cast<char *>(static_cast<const char *>(data)),
                  size, nullptr, true);
}

std::int64_t File::ReadAt(void *buffer, std::size_t size, std::uint64_t offset) {
  if (handle_ < 0 || offset > static_cast<std::uint64_t>(INT64_MAX) - size)
    return -1;
  return Transfer(static_cast<int>(handle_), static_cast<char *>(buffer), size, &offset, false);
}

std::int64_t File::WriteAt(const void *data, std::size_t size, std::uint64_t offset) {
  if (handle_ < 0 || offset > static_cast<std::uint64_t>(INT64_MAX) - size)
    return -1;
  return Transfer(static_cast<int>(handle_), const_cast<char *>(static_cast<const char *>(data)),
                  size, &offset, true);
}

std::int64_t File::WriteGather(const ConstChunk *chunks, std::size_t count) {
  if (handle_ < 0)
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
    ssize_t w = ::writev(handle_, iov, static_cast<int>(n));
    if (w < 0 && errno == EINTR)
      continue;
    if (w <= 0) {
      KeepSystemError(w < 0 ? errno : ENOSPC);
      return total ? total : -1;
    }
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
  if (handle_ < 0)
    return -1;
  int whence = from == SeekFrom::Begin ? SEEK_SET : from == SeekFrom::Current ? SEEK_CUR : SEEK_END;
  off_t r = ::lseek(handle_, static_cast<off_t>(offset), whence);
  return r < 0 ? -1 : static_cast<std::int64_t>(r);
}

std::int64_t File::Size() const {
  struct stat st {};
  if (handle_ < 0 || ::fstat(handle_, &st) != 0)
    return -1;
  return static_cast<std::int64_t>(st.st_size);
}

bool File::Identity(std::uint64_t &device, std::uint64_t &inode) const {
  struct stat st {};
  if (handle_ < 0 || ::fstat(handle_, &st) != 0)
    return false;
  device = static_cast<std::uint64_t>(st.st_dev);
  inode = static_cast<std::uint64_t>(st.st_ino);
  return true;
}

bool File::SetModificationTime(std::int64_t unixSeconds) {
  timespec times[2] = {};
  times[0].tv_nsec = UTIME_OMIT;
  times[1].tv_sec = static_cast<time_t>(unixSeconds);
  if (handle_ >= 0 && ::futimens(handle_, times) == 0)
    return true;
  KeepSystemError(handle_ >= 0 ? errno : EBADF);
  return false;
}

bool File::DropCachedPages() {
  if (handle_ < 0)
    return false;
  const int error = ::posix_fadvise(handle_, 0, 0, POSIX_FADV_DONTNEED);
  if (error == 0)
    return true;
  KeepSystemError(error);
  return false;
}

void File::WriteBehind(std::uint64_t end) {
  // Writing starts in stretches large enough that the disk writes long
  // runs. Only what lies more than a few stretches back is waited for: the
  // dirty pages of a file stay bounded, and the disk always has the next
  // stretches queued (waiting for each one alone left it idle between them).
  constexpr std::uint64_t kStretch = 16u << 20;
  constexpr std::uint64_t kInFlight = 4 * kStretch;
  if (handle_ < 0 || end < behindStarted_ + kStretch)
    return;
  const auto fd = static_cast<int>(handle_);
  ::sync_file_range(fd, static_cast<off_t>(behindStarted_),
                    static_cast<off_t>(end - behindStarted_), SYNC_FILE_RANGE_WRITE);
  behindStarted_ = end;
  if (end - behindDone_ > kInFlight) {
    const std::uint64_t upTo = end - kInFlight;
    ::sync_file_range(fd, static_cast<off_t>(behindDone_), static_cast<off_t>(upTo - behindDone_),
                      SYNC_FILE_RANGE_WAIT_BEFORE | SYNC_FILE_RANGE_WRITE |
                          SYNC_FILE_RANGE_WAIT_AFTER);
    behindDone_ = upTo;
  }
}

bool File::Flush() {
  if (handle_ >= 0 && ::fsync(handle_) == 0)
    return true;
  KeepSystemError();
  return false;
}

bool File::Close() {
  behindDone_ = behindStarted_ = 0;
  if (!finalPath_.empty()) {
    DiscardReplacement();
    return false;
  }
  if (handle_ < 0)
    return true;
  int fd = handle_;
  handle_ = -1;
  // The descriptor is gone even when close reports an error; never retry.
  if (::close(fd) == 0)
    return true;
  KeepSystemError();
  return false;
}

} // namespace orvo::platform
