#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Files and folders as the program needs them. Paths are UTF-8 text with the
// native separator (Windows takes "/" too); a folder path may end with the
// separator. On Windows every path reaches the system as UTF-16, long ones
// with the "\\?\" prefix, so neither the code page nor the old limit of 260
// characters stands in the way.
namespace orvo::platform {

#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
// Characters a Windows file name cannot hold; ":" would also name a stream.
inline constexpr char kReservedNameCharacters[] = "<>:\"|?*";
// Volumes are named by drive letters ("E:\"), not mounted into one tree.
inline constexpr bool kDriveLetters = true;
#else
inline constexpr char kPathSeparator = '/';
inline constexpr char kReservedNameCharacters[] = "";
inline constexpr bool kDriveLetters = false;
#endif

struct DirEntry {
  std::string name;
  bool isDirectory = false;
};

// "?" stands for exactly one character, "*" for any run of characters;
// everything else compares as stored (no case folding).
bool WildcardMatch(std::string_view pattern, std::string_view name);

// Entries of `folder` (files and folders alike, never "." and "..") whose
// names match `pattern`, in the order the file system gives them. With
// `skipHiddenSystem`, entries marked hidden or system are left out: on
// Windows by their attributes; on POSIX a name starting with "." counts as
// hidden, and on a FAT volume the FAT hidden and system attributes count
// too. False when the folder cannot be listed.
bool FindEntries(const std::string &folder, std::string_view pattern, bool skipHiddenSystem,
                 std::vector<DirEntry> &entries);

// Copies a regular file to `to` through a temporary in the destination's
// folder that replaces `to` only when complete (a link there is replaced,
// never written through). Refuses a source that is not a regular file and a
// destination that is the source itself under another name; copies the
// size the source had when opened, in bounded pieces, stopping when
// `cancel` turns true. False on any failure, with the reason kept. With
// `syncFolder` false the rename is left for the caller to flush (SyncFolder).
bool CopyFileSafely(const std::string &from, const std::string &to,
                    const std::atomic<bool> *cancel = nullptr, bool syncFolder = true);
// Removes the entry itself: a link goes, its target stays. A folder is
// refused.
bool DeleteFile(const std::string &path);
// Renames the regular file `from` onto `to` in the same folder in one step,
// replacing a file or a link there (the link itself, never its target);
// anything else under `to` is refused.
bool RenameOnto(const std::string &from, const std::string &to);
// Gives a folder (not a link) another name in the same parent; nothing
// may stand under the new name, which is never replaced.
bool RenameFolder(const std::string &from, const std::string &to);
// Removes an empty folder (never a link to one); a trailing separator is
// allowed.
bool RemoveDirectory(const std::string &path);
bool CreateDirectory(const std::string &path);
// True when `path` is a folder that this process could enter. Changes
// nothing, not even the current directory, so other threads are unaffected.
bool IsEnterableDirectory(const std::string &path);
// Whether the folder `folder` is the folder `outer` or lies anywhere below
// it, links resolved and folders compared by identity (device and inode,
// volume serial number and file index), never by name. False when either
// cannot be found.
bool FolderLiesWithin(const std::string &folder, const std::string &outer);
bool FileExists(const std::string &path);
// Size of the file at `path` (following a link); 0 when it cannot be asked.
std::uint64_t FileSizeOf(const std::string &path);
// True when `path` itself (not what a link there points to) is a regular file.
bool IsRegularFile(const std::string &path);
// True when anything at all stands under `path`: a file, folder, link (even
// a dangling one), FIFO or device.
bool EntryExists(const std::string &path);
std::string CurrentDirectory();

// Reads the first `size` bytes of a file: true only when the file holds at
// least that many and all of them were read.
bool ReadFileHead(const std::string &path, void *buffer, std::size_t size);
// Whole small files (settings, language files); a regular file of at most
// `maxBytes`, else false.
bool ReadWholeFile(const std::string &path, std::string &content,
                   std::uint64_t maxBytes = 16u << 20);
// Writes a temporary file beside `path`, flushes it to disk and renames it
// over `path`; on failure the old file is left as it was.
bool WriteWholeFileAtomically(const std::string &path, std::string_view content,
                              unsigned mode = 0644);
// Lets this process hold as many files open as the system allows it (a
// recording's finished parts stay open until they get their names).
void AllowManyOpenFiles();
// Removes the temporaries that an interrupted replacement left in `folder`
// (see File::CreateReplacement); one still being written is left alone.
void RemoveStaleTemporaries(const std::string &folder);

// `text` made fit to be one name inside a folder: characters that would make
// it a path or a device name ("/", "\\", control characters, a leading ".",
// and on Windows ":" and the other reserved ones) become "_".
std::string SafeFileName(std::string_view text);

// `folder` followed by the separator unless it already ends with one (an
// empty text stays empty).
std::string WithSeparator(std::string_view folder);
// `folder` without trailing separators (a root stays a root).
std::string WithoutSeparator(std::string_view folder);

} // namespace orvo::platform

namespace orvo::platform {

// Whether `path` names a regular file that this process can open for
// reading, found without blocking and without reading it; `size` receives
// its size. False with the reason in `error` otherwise.
bool CheckReadableFile(const std::string &path, std::string &error, std::uint64_t &size);

} // namespace orvo::platform
