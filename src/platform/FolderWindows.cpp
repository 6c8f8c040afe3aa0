#include "platform/Folder.h"

#include "platform/Error.h"
#include "platform/Utf16.h"
#include "platform/Volume.h"
#include "platform/Win32Entry.h"

#include <windows.h>

namespace orvo::platform {

namespace {

// The handle lets others read and write inside the folder but not rename
// or remove the folder itself, which pins its path to it.
HANDLE OpenFolder(const std::string &path, bool refuseLink) {
  std::wstring wide;
  if (!WidePath(path, wide))
    return INVALID_HANDLE_VALUE;
  CriticalErrorGuard guard;
  HANDLE h = CreateFileW(
      wide.c_str(), FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
      nullptr, OPEN_EXISTING,
      FILE_FLAG_BACKUP_SEMANTICS | (refuseLink ? FILE_FLAG_OPEN_REPARSE_POINT : 0), nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    KeepSystemError();
    return h;
  }
  FILE_ATTRIBUTE_TAG_INFO info{};
  const char *refusal = nullptr;
  if (GetFileType(h) != FILE_TYPE_DISK ||
      !GetFileInformationByHandleEx(h, FileAttributeTagInfo, &info, sizeof info))
    refusal = "not a folder";
  else if (refuseLink && IsLink(info.FileAttributes, info.ReparseTag))
    refusal = "is a symbolic link, not a folder";
  else if (!(info.FileAttributes & FILE_ATTRIBUTE_DIRECTORY))
    refusal = "not a folder";
  if (refusal) {
    KeepError(refusal);
    CloseHandle(h);
    return INVALID_HANDLE_VALUE;
  }
  return h;
}

// One name inside the folder: no separator, no stream, no way up.
bool IsPlainName(const std::string &name) {
  return !name.empty() && name != "." && name != ".." &&
         name.find_first_of("\\/:") == std::string::npos;
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
  HANDLE h = OpenFolder(path, false);
  if (h == INVALID_HANDLE_VALUE)
    return false;
  handle_ = reinterpret_cast<std::intptr_t>(h);
  path_ = path;
  if (path_.back() != '\\' && path_.back() != '/')
    path_.push_back('\\');
  return true;
}

bool Folder::OpenChild(const Folder &parent, const std::string &name) {
  Close();
  if (!parent.IsOpen() || !IsPlainName(name)) {
    KeepError("not a name inside the folder");
    return false;
  }
  HANDLE h = OpenFolder(parent.path_ + name, true);
  if (h == INVALID_HANDLE_VALUE)
    return false;
  handle_ = reinterpret_cast<std::intptr_t>(h);
  path_ = parent.path_ + name + '\\';
  return true;
}

void Folder::Close() {
  if (IsOpen())
    CloseHandle(reinterpret_cast<HANDLE>(handle_));
  handle_ = -1;
  path_.clear();
}

bool Folder::RemoveFile(const std::string &name) const {
  std::wstring wide;
  if (!IsOpen() || !IsPlainName(name)) {
    KeepError("not a name inside the folder");
    return false;
  }
  return WidePath(path_ + name, wide) && RemoveEntry(wide, EntryKind::File);
}

bool Folder::RemoveFolder(const std::string &name) const {
  std::wstring wide;
  if (!IsOpen() || !IsPlainName(name)) {
    KeepError("not a name inside the folder");
    return false;
  }
  return WidePath(path_ + name, wide) && RemoveEntry(wide, EntryKind::Folder);
}

} // namespace orvo::platform
