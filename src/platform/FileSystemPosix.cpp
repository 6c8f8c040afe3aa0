#include "platform/FileSystem.h"

#include "platform/Error.h"
#include "platform/File.h"
#include "platform/FileDetail.h"

#include <cerrno>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <linux/magic.h>
#include <linux/msdos_fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>

namespace orvo::platform {

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

bool PathIdentity(const std::string &path, std::uint64_t &device, std::uint64_t &inode) {
  struct stat st {};
  if (stat(path.c_str(), &st) != 0)
    return false;
  device = static_cast<std::uint64_t>(st.st_dev);
  inode = static_cast<std::uint64_t>(st.st_ino);
  return true;
}

bool FolderLiesWithin(const std::string &folder, const std::string &outer) {
  struct stat top {};
  if (folder.empty() || outer.empty() || stat(outer.c_str(), &top) != 0 || !S_ISDIR(top.st_mode))
    return false;
  std::unique_ptr<char, decltype(&std::free)> real(realpath(folder.c_str(), nullptr), &std::free);
  if (!real)
    return false;
  // The real path holds no links, so its parents by name are its parents.
  std::string path = real.get();
  for (;;) {
    struct stat st {};
    if (stat(path.c_str(), &st) == 0 && st.st_dev == top.st_dev && st.st_ino == top.st_ino)
      return true;
    const std::size_t cut = path.find_last_of('/');
    if (cut == std::string::npos || path == "/")
      return false;
    path.resize(cut == 0 ? 1 : cut);
  }
}

bool DeleteFile(const std::string &path) {
  if (unlink(path.c_str()) == 0)
    return true;
  KeepSystemError();
  return false;
}

bool RemoveDirectory(const std::string &path) {
  if (rmdir(WithoutSeparator(path).c_str()) == 0)
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

bool RenameOnto(const std::string &from, const std::string &to) {
  struct stat st {};
  if (lstat(from.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
    KeepError("not a regular file");
    return false;
  }
  if (lstat(to.c_str(), &st) == 0 && !S_ISREG(st.st_mode) && !S_ISLNK(st.st_mode)) {
    KeepError(S_ISDIR(st.st_mode) ? "is a folder, not a file" : "not a regular file");
    return false;
  }
  if (::rename(from.c_str(), to.c_str()) != 0) {
    KeepSystemError();
    return false;
  }
  return true;
}

bool RenameFolder(const std::string &from, const std::string &to) {
  struct stat st {};
  if (lstat(from.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
    KeepError("not a folder");
    return false;
  }
  // rename() would replace an empty folder standing there.
  if (lstat(to.c_str(), &st) == 0) {
    KeepError("the name is taken");
    return false;
  }
  if (::rename(from.c_str(), to.c_str()) != 0) {
    KeepSystemError();
    return false;
  }
  return true;
}

void AllowManyOpenFiles() {
  struct rlimit limit {};
  if (getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur < limit.rlim_max) {
    limit.rlim_cur = limit.rlim_max;
    setrlimit(RLIMIT_NOFILE, &limit);
  }
}

bool EntryExists(const std::string &path) {
  struct stat st {};
  return lstat(path.c_str(), &st) == 0;
}

std::string CurrentDirectory() {
  std::string buf(4096, '\0');
  if (!getcwd(buf.data(), buf.size()))
    return {};
  buf.resize(std::char_traits<char>::length(buf.c_str()));
  return buf;
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

} // namespace orvo::platform
