#include "platform/FileSystem.h"

#include "platform/Error.h"
#include "platform/File.h"

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

#include <algorithm>
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

bool CopyFileSafely(const std::string &from, const std::string &to,
                    const std::atomic<bool> *cancel) {
  File in;
  if (!in.OpenRead(from))
    return false;
  std::uint64_t device = 0, inode = 0;
  struct stat target {};
  if (in.Identity(device, inode) && stat(to.c_str(), &target) == 0 &&
      static_cast<std::uint64_t>(target.st_dev) == device &&
      static_cast<std::uint64_t>(target.st_ino) == inode) {
    KeepError("the file and its copy would be the same file");
    return false;
  }
  const std::int64_t size = in.Size();
  File out;
  if (size < 0 || !out.CreateReplacement(to))
    return false;
  // Bounded pieces: a slow medium still sees the cancel within a moment.
  std::vector<char> buffer(1 << 20);
  std::int64_t done = 0;
  while (done < size) {
    if (cancel && cancel->load()) {
      KeepError("cancelled");
      out.DiscardReplacement();
      return false;
    }
    const auto want =
        static_cast<std::size_t>(std::min<std::int64_t>(size - done, std::int64_t(buffer.size())));
    const std::int64_t got = in.ReadAt(buffer.data(), want, static_cast<std::uint64_t>(done));
    if (got <= 0) {
      if (got == 0)
        KeepError("the file became shorter while it was copied");
      out.DiscardReplacement();
      return false;
    }
    if (out.Write(buffer.data(), static_cast<std::size_t>(got)) != got) {
      out.DiscardReplacement();
      return false;
    }
    done += got;
  }
  return out.CommitReplacement();
}

bool DeleteFile(const std::string &path) {
  if (unlink(path.c_str()) == 0)
    return true;
  KeepSystemError();
  return false;
}

bool RemoveDirectory(const std::string &path) {
  std::string p = path;
  while (p.size() > 1 && p.back() == kPathSeparator)
    p.pop_back();
  if (rmdir(p.c_str()) == 0)
    return true;
  KeepSystemError();
  return false;
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

std::uint64_t FileSizeOf(const std::string &path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 ? static_cast<std::uint64_t>(st.st_size) : 0;
}

bool IsRegularFile(const std::string &path) {
  struct stat st {};
  return lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string CurrentDirectory() {
  std::string buf(4096, '\0');
  if (!getcwd(buf.data(), buf.size()))
    return {};
  buf.resize(std::char_traits<char>::length(buf.c_str()));
  return buf;
}

bool ReadFileHead(const std::string &path, void *buffer, std::size_t size) {
  File file;
  if (!file.OpenRead(path))
    return false;
  const std::int64_t fileSize = file.Size();
  if (fileSize < 0 || static_cast<std::uint64_t>(fileSize) < size) {
    KeepError("the file is too short");
    return false;
  }
  return file.ReadAt(buffer, size, 0) == static_cast<std::int64_t>(size);
}

bool ReadWholeFile(const std::string &path, std::string &content, std::uint64_t maxBytes) {
  content.clear();
  File file;
  if (!file.OpenRead(path))
    return false;
  std::vector<char> buffer(1 << 16);
  for (;;) {
    const std::int64_t n = file.Read(buffer.data(), buffer.size());
    if (n < 0)
      return false;
    if (n == 0)
      return true;
    // Counted as read, not from the size: the file may still be growing.
    if (content.size() + static_cast<std::uint64_t>(n) > maxBytes) {
      KeepError("the file is too large");
      content.clear();
      return false;
    }
    content.append(buffer.data(), static_cast<std::size_t>(n));
  }
}

bool WriteWholeFileAtomically(const std::string &path, std::string_view content, unsigned mode) {
  File file;
  if (!file.CreateReplacement(path, mode))
    return false;
  if (file.Write(content.data(), content.size()) != static_cast<std::int64_t>(content.size())) {
    file.DiscardReplacement();
    return false;
  }
  return file.CommitReplacement();
}

void RemoveStaleTemporaries(const std::string &folder) {
  std::vector<DirEntry> entries;
  if (!FindEntries(folder, StaleTemporaryPattern, false, entries))
    return;
  const std::string prefix = WithSeparator(folder);
  for (const DirEntry &e : entries) {
    if (e.isDirectory)
      continue;
    // Opening takes the same lock a writer holds, so a temporary still being
    // written by another run is never removed.
    File probe;
    if (probe.OpenExisting(prefix + e.name))
      unlink((prefix + e.name).c_str());
  }
}

std::string SafeFileName(std::string_view text) {
  std::string name(text);
  for (std::size_t i = 0; i < name.size(); ++i) {
    const auto c = static_cast<unsigned char>(name[i]);
    const bool reserved = c < 0x20 || c == 0x7F || c == '/' || c == '\\' ||
                          std::string_view(kReservedNameCharacters).find(static_cast<char>(c)) !=
                              std::string_view::npos;
    if (reserved || (i == 0 && c == '.'))
      name[i] = '_';
  }
  return name;
}

std::string WithSeparator(std::string_view folder) {
  std::string s(folder);
  if (!s.empty() && s.back() != kPathSeparator)
    s.push_back(kPathSeparator);
  return s;
}

std::string WithoutSeparator(std::string_view folder) {
  std::string s(folder);
  while (s.size() > 1 && s.back() == kPathSeparator)
    s.pop_back();
  return s;
}

bool CheckReadableFile(const std::string &path, std::string &error, std::uint64_t &size) {
  error.clear();
  size = 0;
  File file;
  if (!file.OpenRead(path)) {
    error = LastErrorText();
    return false;
  }
  const std::int64_t n = file.Size();
  size = n > 0 ? static_cast<std::uint64_t>(n) : 0;
  return n >= 0;
}

} // namespace orvo::platform
