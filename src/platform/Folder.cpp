#include "platform/Folder.h"

#include "platform/Error.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace orvo::platform {

namespace {

int OpenFolderAt(int parent, const char *name, int extraFlags) {
  int fd;
  do {
    fd = ::openat(parent, name, O_RDONLY | O_DIRECTORY | O_CLOEXEC | extraFlags);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) {
    if (errno == ELOOP)
      KeepError("is a symbolic link, not a folder");
    else
      KeepSystemError();
  }
  return fd;
}

} // namespace

Folder::~Folder() {
  Close();
}

bool Folder::Open(const std::string &path) {
  Close();
  if (path.empty()) {
    KeepError("no folder given");
    return false;
  }
  fd_ = OpenFolderAt(AT_FDCWD, path.c_str(), 0);
  return fd_ >= 0;
}

bool Folder::OpenChild(const Folder &parent, const std::string &name) {
  Close();
  if (parent.fd_ < 0 || name.empty() || name.find('/') != std::string::npos) {
    KeepError("not a name inside the folder");
    return false;
  }
  fd_ = OpenFolderAt(parent.fd_, name.c_str(), O_NOFOLLOW);
  return fd_ >= 0;
}

void Folder::Close() {
  if (fd_ >= 0)
    ::close(fd_);
  fd_ = -1;
}

bool Folder::RemoveFile(const std::string &name) const {
  if (fd_ >= 0 && ::unlinkat(fd_, name.c_str(), 0) == 0)
    return true;
  KeepSystemError(fd_ >= 0 ? errno : EBADF);
  return false;
}

bool Folder::RemoveFolder(const std::string &name) const {
  if (fd_ >= 0 && ::unlinkat(fd_, name.c_str(), AT_REMOVEDIR) == 0)
    return true;
  KeepSystemError(fd_ >= 0 ? errno : EBADF);
  return false;
}

} // namespace orvo::platform
