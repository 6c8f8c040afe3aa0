#include "platform/Win32Entry.h"

#include "platform/Error.h"
#include "platform/Utf16.h"
#include "platform/Volume.h"

#include <windows.h>

namespace orvo::platform {

namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

} // namespace

bool IsLink(std::uint32_t attributes, std::uint32_t reparseTag) {
  return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) && IsReparseTagNameSurrogate(reparseTag);
}

bool QueryEntry(const std::string &path, bool followLinks, EntryFacts &facts) {
  facts = {};
  std::wstring wide;
  if (path.empty() || !WidePath(path, wide))
    return false;
  CriticalErrorGuard guard;
  // Reading attributes needs no access that another opener could deny.
  HANDLE h = CreateFileW(
      wide.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
      FILE_FLAG_BACKUP_SEMANTICS | (followLinks ? 0 : FILE_FLAG_OPEN_REPARSE_POINT), nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    KeepSystemError();
    return false;
  }
  facts.onDisk = GetFileType(h) == FILE_TYPE_DISK;
  BY_HANDLE_FILE_INFORMATION info{};
  FILE_ATTRIBUTE_TAG_INFO tag{};
  if (facts.onDisk && GetFileInformationByHandle(h, &info)) {
    facts.isFolder = (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    facts.size = std::uint64_t{info.nFileSizeHigh} << 32 | info.nFileSizeLow;
    facts.volume = info.dwVolumeSerialNumber;
    facts.index = std::uint64_t{info.nFileIndexHigh} << 32 | info.nFileIndexLow;
    facts.isLink = GetFileInformationByHandleEx(h, FileAttributeTagInfo, &tag, sizeof tag) &&
                   IsLink(tag.FileAttributes, tag.ReparseTag);
  }
  CloseHandle(h);
  return true;
}

bool RemoveEntry(const std::wstring &wide, EntryKind kind) {
  CriticalErrorGuard guard;
  HANDLE h = CreateFileW(wide.c_str(), DELETE | FILE_READ_ATTRIBUTES, kShareAll, nullptr,
                         OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS,
                         nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    if (GetLastError() == ERROR_SHARING_VIOLATION)
      KeepError("in use by another program");
    else
      KeepSystemError();
    return false;
  }
  FILE_ATTRIBUTE_TAG_INFO info{};
  const char *refusal = nullptr;
  if (GetFileType(h) != FILE_TYPE_DISK) {
    refusal = "not a file or folder";
  } else if (!GetFileInformationByHandleEx(h, FileAttributeTagInfo, &info, sizeof info)) {
    refusal = "the entry cannot be examined";
  } else {
    const bool link = IsLink(info.FileAttributes, info.ReparseTag);
    const bool folder = (info.FileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !link;
    if (kind == EntryKind::File && folder)
      refusal = "is a folder, not a file";
    else if (kind == EntryKind::Folder && link)
      refusal = "is a symbolic link, not a folder";
    else if (kind == EntryKind::Folder && !folder)
      refusal = "not a folder";
  }
  if (refusal) {
    KeepError(refusal);
    CloseHandle(h);
    return false;
  }
  FILE_DISPOSITION_INFO dispose{TRUE}; // its one field is named like a macro
  const bool ok = SetFileInformationByHandle(h, FileDispositionInfo, &dispose, sizeof dispose);
  if (!ok)
    KeepSystemError();
  CloseHandle(h);
  return ok;
}

} // namespace orvo::platform
