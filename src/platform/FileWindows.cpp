#include "platform/File.h"

#include "platform/Error.h"
#include "platform/FileDetail.h"
#include "platform/Utf16.h"
#include "platform/Volume.h"
#include "platform/Win32Entry.h"

#include <windows.h>

#include <algorithm>

namespace orvo::platform {

namespace {

// ReadFile and WriteFile count in 32 bits; larger transfers loop.
constexpr std::size_t kMaxTransfer = 0x40000000;
// 1601-01-01 to 1970-01-01 in seconds, and FILETIME ticks per second.
constexpr std::int64_t kFileTimeEpoch = 11644473600;
constexpr std::int64_t kFileTimeTicks = 10000000;

HANDLE AsHandle(std::intptr_t h) {
  return reinterpret_cast<HANDLE>(h);
}

std::intptr_t FromHandle(HANDLE h) {
  return reinterpret_cast<std::intptr_t>(h);
}

void KeepOpenError(DWORD code, const std::wstring &wide) {
  if (code == ERROR_SHARING_VIOLATION || code == ERROR_LOCK_VIOLATION) {
    KeepError("in use by another program");
    return;
  }
  // A folder opened as a file is refused as a lack of access, which would
  // send the user looking for a permission problem.
  const DWORD attributes = GetFileAttributesW(wide.c_str());
  if (code == ERROR_ACCESS_DENIED && attributes != INVALID_FILE_ATTRIBUTES &&
      (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    KeepError("is a folder, not a file");
    return;
  }
  KeepSystemError(static_cast<int>(code));
}

enum class Links { Follow, Refuse };

// Opens, then takes the handle only for a regular file on a disk: a device
// ("CON", "COM1", anything in "\\.\"), a pipe or a folder is refused on the
// open handle before a byte is read, so nothing can block. With
// Links::Refuse a link under the name is opened itself and refused, never
// written through. `openError` receives the system's code when the open
// itself fails.
HANDLE OpenRegular(const std::string &path, DWORD access, DWORD share, DWORD disposition,
                   Links links, DWORD *openError = nullptr) {
  std::wstring wide;
  if (!WidePath(path, wide)) {
    if (openError)
      *openError = ERROR_INVALID_NAME;
    return INVALID_HANDLE_VALUE;
  }
  CriticalErrorGuard guard;
  const DWORD flags =
      FILE_ATTRIBUTE_NORMAL | (links == Links::Refuse ? FILE_FLAG_OPEN_REPARSE_POINT : 0);
  HANDLE h = CreateFileW(wide.c_str(), access, share, nullptr, disposition, flags, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    const DWORD code = GetLastError();
    if (openError)
      *openError = code;
    KeepOpenError(code, wide);
    return h;
  }
  FILE_ATTRIBUTE_TAG_INFO info{};
  const char *refusal = nullptr;
  if (GetFileType(h) != FILE_TYPE_DISK)
    refusal = "not a regular file";
  else if (!GetFileInformationByHandleEx(h, FileAttributeTagInfo, &info, sizeof info))
    refusal = "the file cannot be examined";
  else if (info.FileAttributes & FILE_ATTRIBUTE_DIRECTORY)
    refusal = "is a folder, not a file";
  else if (links == Links::Refuse && IsLink(info.FileAttributes, info.ReparseTag))
    refusal = "is a symbolic link";
  if (refusal) {
    KeepError(refusal);
    CloseHandle(h);
    return INVALID_HANDLE_VALUE;
  }
  return h;
}

std::string FolderPrefixOf(const std::string &path) {
  const std::size_t cut = path.find_last_of("\\/");
  if (cut != std::string::npos)
    return path.substr(0, cut + 1);
  // "E:name" is a name in the current folder of drive E.
  return path.size() >= 2 && path[1] == ':' ? path.substr(0, 2) : std::string();
}

// Whether a new file may take the place of whatever `path` names now:
// nothing, a file or a link may go; a folder or a device may not.
bool MayReplace(const std::string &path) {
  EntryFacts facts;
  // Nothing there, or nothing that could be asked: the rename decides (a
  // name that cannot be converted fails its conversion there).
  if (!QueryEntry(path, false, facts))
    return true;
  const char *refusal = nullptr;
  if (!facts.onDisk)
    refusal = "not a regular file";
  else if (facts.isFolder && !facts.isLink)
    refusal = "is a folder, not a file";
  if (refusal)
    KeepError(refusal);
  return refusal == nullptr;
}

void RemoveTemporary(const std::string &path) {
  std::wstring wide;
  if (WidePath(path, wide))
    DeleteFileW(wide.c_str());
}

// One ReadFile or WriteFile at `offset` (the file pointer otherwise), in
// pieces the system takes; returns the count moved or -1.
std::int64_t Transfer(HANDLE h, char *data, std::size_t size, const std::uint64_t *offset,
                      bool write) {
  std::size_t done = 0;
  while (done < size) {
    const auto want = static_cast<DWORD>(std::min(size - done, kMaxTransfer));
    DWORD moved = 0;
    OVERLAPPED at{};
    if (offset) {
      const std::uint64_t where = *offset + done;
      at.Offset = static_cast<DWORD>(where);
      at.OffsetHigh = static_cast<DWORD>(where >> 32);
    }
    const BOOL ok = write ? WriteFile(h, data + done, want, &moved, offset ? &at : nullptr)
                          : ReadFile(h, data + done, want, &moved, offset ? &at : nullptr);
    if (!ok) {
      // Reading at an offset past the end reports the end as an error.
      if (!write && GetLastError() == ERROR_HANDLE_EOF)
        break;
      KeepSystemError();
      return done ? static_cast<std::int64_t>(done) : -1;
    }
    if (moved == 0) {
      if (!write)
        break;
      KeepSystemError(ERROR_DISK_FULL);
      return done ? static_cast<std::int64_t>(done) : -1;
    }
    done += moved;
  }
  return static_cast<std::int64_t>(done);
}

// ReadFile and WriteFile at an offset also move the file pointer on a
// handle opened for ordinary use; the positional calls must leave it.
std::int64_t TransferAt(HANDLE h, char *data, std::size_t size, std::uint64_t offset, bool write) {
  LARGE_INTEGER zero{}, saved{};
  if (!SetFilePointerEx(h, zero, &saved, FILE_CURRENT)) {
    KeepSystemError();
    return -1;
  }
  const std::int64_t n = Transfer(h, data, size, &offset, write);
  if (!SetFilePointerEx(h, saved, nullptr, FILE_BEGIN)) {
    KeepSystemError();
    return -1;
  }
  return n;
}

} // namespace

File::~File() {
  Close();
}

bool File::CreateTruncate(const std::string &path) {
  if (IsOpen())
    return false;
  // Truncate only once the file is held exclusively, so a file being
  // written elsewhere is left alone.
  HANDLE h = OpenRegular(path, GENERIC_READ | GENERIC_WRITE, 0, OPEN_ALWAYS, Links::Refuse);
  if (h == INVALID_HANDLE_VALUE)
    return false;
  handle_ = FromHandle(h);
  FILE_END_OF_FILE_INFO end{};
  if (!SetFileInformationByHandle(h, FileEndOfFileInfo, &end, sizeof end)) {
    KeepSystemError();
    Close();
    return false;
  }
  return true;
}

bool File::OpenRead(const std::string &path) {
  if (IsOpen())
    return false;
  // Others may read along but nobody may write while the file is read.
  handle_ = FromHandle(
      OpenRegular(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, Links::Follow));
  return IsOpen();
}

bool File::OpenExisting(const std::string &path) {
  if (IsOpen())
    return false;
  handle_ = FromHandle(
      OpenRegular(path, GENERIC_READ | GENERIC_WRITE, 0, OPEN_EXISTING, Links::Refuse));
  return IsOpen();
}

bool File::CreateReplacement(const std::string &path, unsigned) {
  if (IsOpen() || path.empty())
    return false;
  const std::string prefix = FolderPrefixOf(path);
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::string temp = prefix + TemporaryName(GetCurrentProcessId());
    DWORD openError = 0;
    // Deletion is shared so that the temporary can be renamed onto its name
    // while this handle still holds it; no other access is shared.
    HANDLE h = OpenRegular(temp, GENERIC_READ | GENERIC_WRITE | DELETE, FILE_SHARE_DELETE,
                           CREATE_NEW, Links::Refuse, &openError);
    if (h != INVALID_HANDLE_VALUE) {
      handle_ = FromHandle(h);
      finalPath_ = path;
      tempPath_ = temp;
      sealed_ = false;
      return true;
    }
    if (openError != ERROR_FILE_EXISTS && openError != ERROR_ALREADY_EXISTS)
      return false;
  }
  return false;
}

bool File::SealReplacement() {
  if (!IsOpen() || finalPath_.empty())
    return false;
  if (!sealed_ && !FlushFileBuffers(AsHandle(handle_))) {
    KeepSystemError();
    return false;
  }
  sealed_ = true;
  return true;
}

bool File::CommitReplacement(bool) {
  if (!IsOpen() || finalPath_.empty())
    return false;
  bool ok = SealReplacement() && MayReplace(finalPath_);
  std::wstring from, to;
  ok = ok && WidePath(tempPath_, from) && WidePath(finalPath_, to);
  if (ok) {
    CriticalErrorGuard guard;
    // Replaces a file or a link (the link itself, never its target) in one
    // step, while this handle still holds the temporary; a program holding
    // the old file open makes it fail, and the old file stays. A folder
    // cannot be flushed on its own here: the rename is written through to
    // the medium instead.
    if (!MoveFileExW(from.c_str(), to.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      KeepSystemError();
      ok = false;
    }
  }
  HANDLE h = AsHandle(handle_);
  handle_ = -1;
  if (!CloseHandle(h) && ok) {
    KeepSystemError();
    ok = false;
  }
  if (!ok)
    RemoveTemporary(tempPath_);
  finalPath_.clear();
  tempPath_.clear();
  sealed_ = false;
  return ok;
}

bool File::DuplicateForReading(File &reader) const {
  if (!IsOpen() || reader.IsOpen())
    return false;
  HANDLE copy = INVALID_HANDLE_VALUE;
  if (!DuplicateHandle(GetCurrentProcess(), AsHandle(handle_), GetCurrentProcess(), &copy,
                       GENERIC_READ, FALSE, 0)) {
    KeepSystemError();
    return false;
  }
  reader.handle_ = FromHandle(copy);
  return true;
}

bool SyncFolder(const std::string &) {
  return true;
}

void File::DiscardReplacement() {
  if (finalPath_.empty())
    return;
  if (IsOpen())
    CloseHandle(AsHandle(handle_));
  handle_ = -1;
  RemoveTemporary(tempPath_);
  finalPath_.clear();
  tempPath_.clear();
  sealed_ = false;
}

std::int64_t File::Read(void *buffer, std::size_t size) {
  if (!IsOpen())
    return -1;
  return Transfer(AsHandle(handle_), static_cast<char *>(buffer), size, nullptr, false);
}

std::int64_t File::Write(const void *data, std::size_t size) {
  if (!IsOpen())
    return -1;
  return Transfer(AsHandle(handle_), const_cast<char *>(static_cast<const char *>(data)), size,
                  nullptr, true);
}

std::int64_t File::ReadAt(void *buffer, std::size_t size, std::uint64_t offset) {
  if (!IsOpen() || offset > static_cast<std::uint64_t>(INT64_MAX) - size)
    return -1;
  return TransferAt(AsHandle(handle_), static_cast<char *>(buffer), size, offset, false);
}

std::int64_t File::WriteAt(const void *data, std::size_t size, std::uint64_t offset) {
  if (!IsOpen() || offset > static_cast<std::uint64_t>(INT64_MAX) - size)
    return -1;
  return TransferAt(AsHandle(handle_), const_cast<char *>(static_cast<const char *>(data)), size,
                    offset, true);
}

std::int64_t File::WriteGather(const ConstChunk *chunks, std::size_t count) {
  if (!IsOpen())
    return -1;
  // The system has no vectored write for ordinary handles.
  std::int64_t total = 0;
  for (std::size_t i = 0; i < count; ++i) {
    const std::int64_t n = Write(chunks[i].data, chunks[i].size);
    if (n > 0)
      total += n;
    if (n != static_cast<std::int64_t>(chunks[i].size))
      return total ? total : -1;
  }
  return total;
}

std::int64_t File::Seek(std::int64_t offset, SeekFrom from) {
  if (!IsOpen())
    return -1;
  const DWORD method = from == SeekFrom::Begin     ? FILE_BEGIN
                       : from == SeekFrom::Current ? FILE_CURRENT
                                                   : FILE_END;
  LARGE_INTEGER distance{}, result{};
  distance.QuadPart = offset;
  if (!SetFilePointerEx(AsHandle(handle_), distance, &result, method))
    return -1;
  return result.QuadPart;
}

std::int64_t File::Size() const {
  LARGE_INTEGER size{};
  if (!IsOpen() || !GetFileSizeEx(AsHandle(handle_), &size))
    return -1;
  return size.QuadPart;
}

bool File::Identity(std::uint64_t &device, std::uint64_t &inode) const {
  BY_HANDLE_FILE_INFORMATION info{};
  if (!IsOpen() || !GetFileInformationByHandle(AsHandle(handle_), &info))
    return false;
  device = info.dwVolumeSerialNumber;
  inode = std::uint64_t{info.nFileIndexHigh} << 32 | info.nFileIndexLow;
  return true;
}

bool File::SetModificationTime(std::int64_t unixSeconds) {
  if (!IsOpen()) {
    KeepError("the file is not open");
    return false;
  }
  if (unixSeconds < -kFileTimeEpoch || unixSeconds > INT64_MAX / kFileTimeTicks - kFileTimeEpoch) {
    KeepError("the time cannot be stored");
    return false;
  }
  const auto ticks = static_cast<std::uint64_t>((unixSeconds + kFileTimeEpoch) * kFileTimeTicks);
  FILETIME written{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
  if (SetFileTime(AsHandle(handle_), nullptr, nullptr, &written))
    return true;
  KeepSystemError();
  return false;
}

void File::WriteBehind(std::uint64_t) {
  // The system's lazy writer already writes a file out while it grows.
}

bool File::DropCachedPages() {
  if (!IsOpen())
    return false;
  // The system purges a file's cached pages when it is opened without
  // buffering; the second handle does nothing else.
  HANDLE uncached = ReOpenFile(AsHandle(handle_), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                               FILE_FLAG_NO_BUFFERING);
  if (uncached == INVALID_HANDLE_VALUE) {
    KeepSystemError();
    return false;
  }
  CloseHandle(uncached);
  return true;
}

bool File::Flush() {
  if (IsOpen() && FlushFileBuffers(AsHandle(handle_)))
    return true;
  if (IsOpen())
    KeepSystemError();
  else
    KeepError("the file is not open");
  return false;
}

bool File::Close() {
  if (!finalPath_.empty()) {
    DiscardReplacement();
    return false;
  }
  if (!IsOpen())
    return true;
  HANDLE h = AsHandle(handle_);
  handle_ = -1;
  if (CloseHandle(h))
    return true;
  KeepSystemError();
  return false;
}

} // namespace orvo::platform
