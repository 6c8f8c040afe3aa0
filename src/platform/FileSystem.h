#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Files and folders as the program needs them. Paths are UTF-8 text with the
// native separator; a folder path may end with the separator.
namespace orvo::platform {

#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
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
// `skipHiddenSystem`, entries marked hidden or system are left out: a name
// starting with "." counts as hidden, and on a FAT volume the FAT hidden and
// system attributes count too. False when the folder cannot be listed.
bool FindEntries(const std::string &folder, std::string_view pattern, bool skipHiddenSystem,
                 std::vector<DirEntry> &entries);

// Copies a file, replacing `to` if it exists. False on any failure.
bool CopyFileOverwrite(const std::string &from, const std::string &to);
bool DeleteFile(const std::string &path);
// Removes an empty folder; a trailing separator is allowed.
bool RemoveDirectory(const std::string &path);
bool CreateDirectory(const std::string &path);
// True when `path` is a folder that this process could enter. Changes
// nothing, not even the current directory, so other threads are unaffected.
bool IsEnterableDirectory(const std::string &path);
bool FileExists(const std::string &path);
std::string CurrentDirectory();

// Reads the first `size` bytes of a file: true only when the file holds at
// least that many and all of them were read.
bool ReadFileHead(const std::string &path, void *buffer, std::size_t size);
// Overwrites the first `size` bytes of an existing file (never creates one).
// True only when every byte was written and the file closed without error.
bool RewriteFileHead(const std::string &path, const void *data, std::size_t size);

// Whole small files (settings, language files).
bool ReadWholeFile(const std::string &path, std::string &content);
// Writes a temporary file beside `path`, flushes it to disk and renames it
// over `path`; on failure the old file is left as it was.
bool WriteWholeFileAtomically(const std::string &path, std::string_view content);

// `folder` followed by the separator unless it already ends with one (an
// empty text stays empty).
std::string WithSeparator(std::string_view folder);

} // namespace orvo::platform

namespace orvo::platform {

// Whether `path` names a regular file that this process can open for
// reading, found without blocking (a FIFO or device is never opened for
// real) and without reading it. False with the system's error text in
// `error` when it cannot be opened, false with `error` empty when it is not
// a regular file. `size` receives the file's size.
bool CheckReadableFile(const std::string &path, std::string &error, std::uint64_t &size);

// Sets the modification time of a regular file, in seconds since 1970-01-01
// UTC; the access time is left alone. A link is not followed. False on any
// failure.
bool SetFileModificationTime(const std::string &path, std::int64_t unixSeconds);

// The system's text for the error last recorded on this thread by a failed
// file operation; empty when none was recorded since ClearSystemError.
void ClearSystemError();
std::string SystemErrorText();

} // namespace orvo::platform
