#include "platform/FileSystem.h"

#include <cerrno>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <linux/magic.h>
#include <linux/msdos_fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <memory>

namespace orvo::platform {

bool WildcardMatch(std::string_view pattern, std::string_view name) {
  std::size_t p = 0, n = 0, starP = std::string_view::npos, starN = 0;
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == name[n])) {
      ++p;
      ++n;
    } else if (p < pattern.size() && pattern[p] == '*') {
      starP = p++;
      starN = n;
    } else if (starP != std::string_view::npos) {
      p = starP + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*')
    ++p;
  return p == pattern.size();
}

namespace {

struct DirCloser {
  void operator()(DIR *d) const { closedir(d); }
};

bool IsFatVolume(const std::string &folder) {
  struct statfs fs {};
  return statfs(folder.empty() ? "." : folder.c_str(), &fs) == 0 && fs.f_type == MSDOS_SUPER_MAGIC;
}

// The FAT attribute byte of an entry, read without privileges through the
// vfat driver's ioctl; 0 when it cannot be read.
std::uint32_t FatAttributes(const std::string &path) {
  int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0)
    return 0;
  std::uint32_t attrs = 0;
  if (ioctl(fd, FAT_IOCTL_GET_ATTRIBUTES, &attrs) != 0)
    attrs = 0;
  close(fd);
  return attrs;
}

} // namespace

bool FindEntries(const std::string &folder, std::string_view pattern, bool skipHiddenSystem,
                 std::vector<DirEntry> &entries) {
  entries.clear();
  const std::string dirPath = folder.empty() ? std::string(".") : folder;
  std::unique_ptr<DIR, DirCloser> dir(opendir(dirPath.c_str()));
  if (!dir)
    return false;
  const bool fat = skipHiddenSystem && IsFatVolume(dirPath);
  const std::string prefix = WithSeparator(dirPath);
  while (dirent *e = readdir(dir.get())) {
    std::string_view name = e->d_name;
    if (name == "." || name == "..")
      continue;
    if (!WildcardMatch(pattern, name))
      continue;
    if (skipHiddenSystem && name.front() == '.')
      continue;
    const std::string full = prefix + std::string(name);
    if (fat && (FatAttributes(full) & (ATTR_HIDDEN | ATTR_SYS)) != 0)
      continue;
    bool isDir;
    if (e->d_type == DT_DIR) {
      isDir = true;
    } else if (e->d_type == DT_UNKNOWN || e->d_type == DT_LNK) {
      struct stat st {};
      isDir = stat(full.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    } else {
      isDir = false;
    }
    entries.push_back({std::string(name), isDir});
  }
  return true;
}

namespace {

bool WriteAll(int fd, const char *data, std::size_t size) {
  while (size > 0) {
    ssize_t n = write(fd, data, size);
    if (n < 0 && errno == EINTR)
      continue;
    if (n <= 0)
      return false;
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

// Reads a file to its end in large pieces, handing each to `sink`; false on a
// read error or when the sink refuses.
template <typename Sink> bool ReadChunks(int fd, Sink sink) {
  std::vector<char> buffer(1 << 20);
  for (;;) {
    ssize_t n = read(fd, buffer.data(), buffer.size());
    if (n < 0 && errno == EINTR)
      continue;
    if (n < 0)
      return false;
    if (n == 0)
      return true;
    if (!sink(buffer.data(), static_cast<std::size_t>(n)))
      return false;
  }
}

} // namespace

bool CopyFileOverwrite(const std::string &from, const std::string &to) {
  int in = open(from.c_str(), O_RDONLY | O_CLOEXEC);
  if (in < 0)
    return false;
  int out = open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (out < 0) {
    close(in);
    return false;
  }
  bool ok = ReadChunks(
      in, [out](const char *data, std::size_t size) { return WriteAll(out, data, size); });
  close(in);
  if (close(out) != 0)
    ok = false;
  return ok;
}

bool DeleteFile(const std::string &path) {
  return unlink(path.c_str()) == 0;
}

bool RemoveDirectory(const std::string &path) {
  std::string p = path;
  while (p.size() > 1 && p.back() == kPathSeparator)
    p.pop_back();
  return rmdir(p.c_str()) == 0;
}

bool CreateDirectory(const std::string &path) {
  return mkdir(path.c_str(), 0777) == 0;
}

bool IsEnterableDirectory(const std::string &path) {
  if (path.empty())
    return false;
  struct stat st {};
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && access(path.c_str(), X_OK) == 0;
}

bool FileExists(const std::string &path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string CurrentDirectory() {
  std::string buf(4096, '\0');
  if (!getcwd(buf.data(), buf.size()))
    return {};
  buf.resize(std::char_traits<char>::length(buf.c_str()));
  return buf;
}

bool ReadFileHead(const std::string &path, void *buffer, std::size_t size) {
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0)
    return false;
  struct stat st {};
  bool ok =
      fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && static_cast<std::uint64_t>(st.st_size) >= size;
  auto *p = static_cast<char *>(buffer);
  std::size_t done = 0;
  while (ok && done < size) {
    ssize_t n = pread(fd, p + done, size - done, static_cast<off_t>(done));
    if (n < 0 && errno == EINTR)
      continue;
    if (n <= 0)
      ok = false;
    else
      done += static_cast<std::size_t>(n);
  }
  close(fd);
  return ok;
}

bool RewriteFileHead(const std::string &path, const void *data, std::size_t size) {
  int fd = open(path.c_str(), O_WRONLY | O_CLOEXEC);
  if (fd < 0)
    return false;
  bool ok = lseek(fd, 0, SEEK_SET) == 0 && WriteAll(fd, static_cast<const char *>(data), size);
  if (close(fd) != 0)
    ok = false;
  return ok;
}

bool ReadWholeFile(const std::string &path, std::string &content) {
  content.clear();
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0)
    return false;
  const bool ok = ReadChunks(fd, [&content](const char *data, std::size_t size) {
    content.append(data, size);
    return true;
  });
  close(fd);
  return ok;
}

bool WriteWholeFileAtomically(const std::string &path, std::string_view content) {
  if (path.empty())
    return false;
  const std::string temp = path + ".tmp";
  int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (fd < 0)
    return false;
  bool ok = WriteAll(fd, content.data(), content.size()) && fsync(fd) == 0;
  if (close(fd) != 0)
    ok = false;
  if (ok && rename(temp.c_str(), path.c_str()) != 0)
    ok = false;
  if (!ok)
    unlink(temp.c_str());
  return ok;
}

std::string WithSeparator(std::string_view folder) {
  std::string s(folder);
  if (!s.empty() && s.back() != kPathSeparator)
    s.push_back(kPathSeparator);
  return s;
}

} // namespace orvo::platform

#include <cstring>
#include <ctime>

namespace orvo::platform {

namespace {

std::string ErrorText(int code) {
  char buffer[256] = {};
  // The GNU strerror_r may return a static text instead of filling the buffer.
  const char *text = strerror_r(code, buffer, sizeof buffer);
  return text ? text : buffer;
}

} // namespace

bool CheckReadableFile(const std::string &path, std::string &error, std::uint64_t &size) {
  error.clear();
  size = 0;
  int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    error = ErrorText(errno);
    return false;
  }
  struct stat st {};
  bool ok = fstat(fd, &st) == 0;
  if (!ok)
    error = ErrorText(errno);
  ok = ok && S_ISREG(st.st_mode);
  if (ok)
    size = static_cast<std::uint64_t>(st.st_size);
  close(fd);
  return ok;
}

bool SetFileModificationTime(const std::string &path, std::int64_t unixSeconds) {
  int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC);
  if (fd < 0)
    return false;
  struct stat st {};
  timespec times[2] = {};
  times[0].tv_nsec = UTIME_OMIT;
  times[1].tv_sec = static_cast<time_t>(unixSeconds);
  bool ok = fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && futimens(fd, times) == 0;
  if (close(fd) != 0)
    ok = false;
  return ok;
}

void ClearSystemError() {
  errno = 0;
}

std::string SystemErrorText() {
  const int code = errno;
  return code == 0 ? std::string() : ErrorText(code);
}

} // namespace orvo::platform
