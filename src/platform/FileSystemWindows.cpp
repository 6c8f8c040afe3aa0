#include "platform/FileSystem.h"

#include "platform/Error.h"
#include "platform/File.h"
#include "platform/FileDetail.h"
#include "platform/Utf16.h"
#include "platform/Volume.h"
#include "platform/Win32Entry.h"

#include <windows.h>
// The system's names for its ANSI/wide pairs would rename this layer's own.
#undef CreateDirectory
#undef DeleteFile
#undef RemoveDirectory

#include <vector>

namespace orvo::platform {

bool FindEntries(const std::string &folder, std::string_view pattern, bool skipHiddenSystem,
                 std::vector<DirEntry> &entries) {
  entries.clear();
  // The system's own wildcards also match the short 8.3 names a volume
  // keeps beside the long ones ("R0000~1"), so everything is listed and
  // matched here against the real name.
  std::wstring wide;
  if (!WidePath(WithSeparator(folder.empty() ? std::string(".") : folder) + "*", wide))
    return false;
  CriticalErrorGuard guard;
  WIN32_FIND_DATAW data{};
  HANDLE find = FindFirstFileExW(wide.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch,
                                 nullptr, FIND_FIRST_EX_LARGE_FETCH);
  if (find == INVALID_HANDLE_VALUE) {
    // The root of an empty volume has not even "." and "..".
    if (GetLastError() == ERROR_FILE_NOT_FOUND)
      return true;
    KeepSystemError();
    return false;
  }
  do {
    const std::wstring_view wideName = data.cFileName;
    if (wideName == L"." || wideName == L"..")
      continue;
    if (skipHiddenSystem &&
        (data.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)))
      continue;
    // A name that no UTF-8 text stands for could not be opened by name
    // either.
    std::string name;
    if (!ToUtf8(wideName, name) || !WildcardMatch(pattern, name))
      continue;
    entries.push_back({std::move(name), (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
  } while (FindNextFileW(find, &data));
  const DWORD end = GetLastError();
  FindClose(find);
  if (end != ERROR_NO_MORE_FILES) {
    KeepSystemError(static_cast<int>(end));
    return false;
  }
  return true;
}

bool PathIdentity(const std::string &path, std::uint64_t &device, std::uint64_t &inode) {
  EntryFacts facts;
  if (!QueryEntry(path, true, facts))
    return false;
  device = facts.volume;
  inode = facts.index;
  return true;
}

namespace {

// The volume serial number and file index of what `wide` names, links
// followed; a folder needs FILE_FLAG_BACKUP_SEMANTICS to be opened at all.
bool FolderIdentity(const std::wstring &wide, DWORD &volume, std::uint64_t &index) {
  HANDLE h = CreateFileW(wide.c_str(), FILE_READ_ATTRIBUTES,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h == INVALID_HANDLE_VALUE)
    return false;
  BY_HANDLE_FILE_INFORMATION info{};
  const bool ok = GetFileInformationByHandle(h, &info) != 0 &&
                  (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  CloseHandle(h);
  volume = info.dwVolumeSerialNumber;
  index = std::uint64_t{info.nFileIndexHigh} << 32 | info.nFileIndexLow;
  return ok;
}

} // namespace

bool FolderLiesWithin(const std::string &folder, const std::string &outer) {
  std::wstring wideFolder, wideOuter;
  if (folder.empty() || outer.empty() || !WidePath(folder, wideFolder) ||
      !WidePath(outer, wideOuter))
    return false;
  CriticalErrorGuard guard;
  DWORD topVolume = 0;
  std::uint64_t topIndex = 0;
  if (!FolderIdentity(wideOuter, topVolume, topIndex))
    return false;
  HANDLE h = CreateFileW(wideFolder.c_str(), FILE_READ_ATTRIBUTES,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h == INVALID_HANDLE_VALUE)
    return false;
  // The final path ("\\?\E:\a\b", "\\?\UNC\server\share\a") has every
  // link and junction resolved, so its parents by name are its parents.
  std::vector<wchar_t> buffer(32768);
  const DWORD n = GetFinalPathNameByHandleW(h, buffer.data(), static_cast<DWORD>(buffer.size()),
                                            FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
  CloseHandle(h);
  if (n == 0 || n >= buffer.size())
    return false;
  std::wstring path(buffer.data(), n);
  for (;;) {
    DWORD volume = 0;
    std::uint64_t index = 0;
    if (FolderIdentity(path, volume, index) && volume == topVolume && index == topIndex)
      return true;
    while (!path.empty() && path.back() == L'\\')
      path.pop_back();
    const std::size_t cut = path.find_last_of(L'\\');
    // The root ("\\?\E:\") is the last one asked.
    if (cut == std::wstring::npos || cut < 6)
      return false;
    path.resize(cut + 1);
  }
}

bool DeleteFile(const std::string &path) {
  std::wstring wide;
  return WidePath(path, wide) && RemoveEntry(wide, EntryKind::File);
}

bool RemoveDirectory(const std::string &path) {
  std::wstring wide;
  return WidePath(WithoutSeparator(path), wide) && RemoveEntry(wide, EntryKind::Folder);
}

bool CreateDirectory(const std::string &path) {
  std::wstring wide;
  if (!WidePath(WithoutSeparator(path), wide))
    return false;
  CriticalErrorGuard guard;
  if (CreateDirectoryW(wide.c_str(), nullptr))
    return true;
  KeepSystemError();
  return false;
}

bool IsEnterableDirectory(const std::string &path) {
  std::wstring wide;
  if (path.empty() || !WidePath(path, wide))
    return false;
  CriticalErrorGuard guard;
  HANDLE h = CreateFileW(wide.c_str(), FILE_TRAVERSE | FILE_READ_ATTRIBUTES,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h == INVALID_HANDLE_VALUE)
    return false;
  BY_HANDLE_FILE_INFORMATION info{};
  const bool folder = GetFileType(h) == FILE_TYPE_DISK && GetFileInformationByHandle(h, &info) &&
                      (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
  CloseHandle(h);
  return folder;
}

bool FileExists(const std::string &path) {
  EntryFacts facts;
  return QueryEntry(path, true, facts) && facts.onDisk && !facts.isFolder;
}

std::uint64_t FileSizeOf(const std::string &path) {
  EntryFacts facts;
  return QueryEntry(path, true, facts) && facts.onDisk && !facts.isFolder ? facts.size : 0;
}

bool IsRegularFile(const std::string &path) {
  EntryFacts facts;
  return QueryEntry(path, false, facts) && facts.onDisk && !facts.isFolder && !facts.isLink;
}

bool RenameOnto(const std::string &from, const std::string &to) {
  EntryFacts source, target;
  if (!QueryEntry(from, false, source) || !source.onDisk || source.isFolder || source.isLink) {
    KeepError("not a regular file");
    return false;
  }
  if (QueryEntry(to, false, target) && !target.isLink && (!target.onDisk || target.isFolder)) {
    KeepError(target.isFolder ? "is a folder, not a file" : "not a regular file");
    return false;
  }
  std::wstring wideFrom, wideTo;
  if (!WidePath(from, wideFrom) || !WidePath(to, wideTo))
    return false;
  CriticalErrorGuard guard;
  if (!MoveFileExW(wideFrom.c_str(), wideTo.c_str(),
                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    KeepSystemError();
    return false;
  }
  return true;
}

bool RenameFolder(const std::string &from, const std::string &to) {
  EntryFacts source;
  if (!QueryEntry(from, false, source) || !source.onDisk || !source.isFolder || source.isLink) {
    KeepError("not a folder");
    return false;
  }
  std::wstring wideFrom, wideTo;
  if (!WidePath(from, wideFrom) || !WidePath(to, wideTo))
    return false;
  CriticalErrorGuard guard;
  // Without MOVEFILE_REPLACE_EXISTING a name that is taken stays as it is.
  if (!MoveFileExW(wideFrom.c_str(), wideTo.c_str(), MOVEFILE_WRITE_THROUGH)) {
    KeepSystemError();
    return false;
  }
  return true;
}

// Windows has no such limit on handles.
void AllowManyOpenFiles() {}

bool EntryExists(const std::string &path) {
  EntryFacts facts;
  return QueryEntry(path, false, facts);
}

std::string CurrentDirectory() {
  const DWORD need = GetCurrentDirectoryW(0, nullptr);
  std::wstring wide(need, L'\0');
  const DWORD got = need ? GetCurrentDirectoryW(need, wide.data()) : 0;
  if (got == 0 || got >= need)
    return {};
  wide.resize(got);
  return ToUtf8(wide);
}

void RemoveStaleTemporaries(const std::string &folder) {
  std::vector<DirEntry> entries;
  if (!FindEntries(folder, StaleTemporaryPattern, false, entries))
    return;
  const std::string prefix = WithSeparator(folder);
  for (const DirEntry &e : entries) {
    std::wstring wide;
    if (e.isDirectory || !WidePath(prefix + e.name, wide))
      continue;
    // Only a temporary nobody holds opens without sharing; one still being
    // written by another run is left alone. It is removed through this very
    // handle.
    HANDLE h = CreateFileW(wide.c_str(), DELETE | FILE_READ_ATTRIBUTES, 0, nullptr, OPEN_EXISTING,
                           FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (h == INVALID_HANDLE_VALUE)
      continue;
    FILE_ATTRIBUTE_TAG_INFO info{};
    if (GetFileType(h) == FILE_TYPE_DISK &&
        GetFileInformationByHandleEx(h, FileAttributeTagInfo, &info, sizeof info) &&
        !(info.FileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT))) {
      FILE_DISPOSITION_INFO dispose{TRUE};
      SetFileInformationByHandle(h, FileDispositionInfo, &dispose, sizeof dispose);
    }
    CloseHandle(h);
  }
}

} // namespace orvo::platform
