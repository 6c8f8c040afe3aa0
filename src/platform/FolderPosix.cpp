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
  handle_ = OpenFolderAt(AT_FDCWD, path.c_str(), 0);
  return handle_ >= 0;
}

bool Folder::OpenChild(const Folder &parent, const std::string &name) {
  Close();
  if (parent.handle_ < 0 || name.empty() || name.find('/') != std::string::npos) {
    KeepError("not a name inside the folder");
    return false;
  }
  handle_ = OpenFolderAt(parent.handle_, name.c_str(), O_NOFOLLOW);
  return handle_ >= 0;
}

void Folder::Close() {
  if (handle_ >= 0)
    ::close(static_cast<int>(handle_));
  handle_ = -1;
}

bool Folder::RemoveFile(const std::string &name) const {
  if (handle_ >= 0 && ::unlinkat(handle_, name.c_str(), 0) == 0)
    return true;
  KeepSystemError(handle_ >= 0 ? errno : EBADF);
  return false;
}

bool Folder::RemoveFolder(const std::string &name) const {
  if (handle_ >= 0 && ::unlinkat(handle_, name.c_str(), AT_REMOVEDIR) == 0)
    return true;
  KeepSystemError(handle_ >= 0 ? errno : EBADF);
  return false;
}

} // namespace orvo::platform
