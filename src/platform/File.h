#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// A file opened for unbuffered reading or writing. Every call goes straight to
// the operating system; transfers return the number of bytes moved (short only
// at the end of the file or on an error) and -1 when nothing could be moved
// because of an error. Every open is made without blocking and takes regular
// files only: a FIFO, device or folder under the name counts as unreadable,
// so a hostile card can never hang the program. A failure leaves its reason
// in LastErrorText (platform/Error.h). POSIX keeps the sharing rules below
// with advisory locks among this program's openers; Windows enforces them
// with sharing modes against every program.
namespace orvo::platform {

enum class SeekFrom { Begin, Current, End };

struct ConstChunk {
  const void *data;
  std::size_t size;
};

class File {
public:
  File() = default;
  ~File();
  File(const File &) = delete;
  File &operator=(const File &) = delete;
  // A file changes hands whole, a replacement in progress included.
  File(File &&other) noexcept;
  File &operator=(File &&other) noexcept;

  // Creates the file or truncates an existing regular one, for reading and
  // writing; a link under the name is refused, never written through. No
  // other opener of this program may hold it at the same time.
  bool CreateTruncate(const std::string &path);
  // Opens for reading; others may read it too, but not open it for writing
  // through this layer.
  bool OpenRead(const std::string &path);
  // Opens an existing regular file for reading and writing in place (never a
  // link under the name, never creating one), excluding other openers.
  bool OpenExisting(const std::string &path);
  // Opens a new temporary file in the folder of `path` for reading and
  // writing; `path` itself is untouched until CommitReplacement puts the
  // finished file under that name in one step. Until then a crash leaves
  // only the temporary, whose name StaleTemporaryPattern matches. `mode`
  // is the POSIX permission; Windows files inherit their folder's.
  bool CreateReplacement(const std::string &path, unsigned mode = 0644);
  // Flushes the temporary to the medium, closes it, renames it onto the
  // final name (replacing a file or a link standing there, without
  // following the link; anything else there is refused) and flushes the
  // folder. On failure the temporary is removed and the final name keeps
  // what it had.
  // With `syncFolder` false the folder is left for the caller to flush
  // once, after a set of renames (SyncFolder).
  bool CommitReplacement(bool syncFolder = true);
  // Flushes the temporary to the medium and keeps it open, held against
  // other runs' removal of stale temporaries, so that several files can be
  // finished first and put under their names together later
  // (CommitReplacement, which then has nothing left to flush).
  bool SealReplacement();
  // Another final name for an open replacement, in the same folder (the
  // name a set of files gets is known only when all of them are done).
  void SetReplacementTarget(const std::string &path) {
    if (!finalPath_.empty())
      finalPath_ = path;
  }
  // The temporary's path while a replacement is open; empty otherwise.
  const std::string &TemporaryPath() const { return tempPath_; }
  // A second handle on this same open file, for reading a sealed
  // replacement before it has its name (another open of the temporary would
  // meet its lock). It carries no lock or replacement of its own.
  bool DuplicateForReading(File &reader) const;
  // Closes and removes the temporary of CreateReplacement.
  void DiscardReplacement();
  bool IsOpen() const { return handle_ != -1; }

  std::int64_t Read(void *buffer, std::size_t size);
  std::int64_t Write(const void *data, std::size_t size);
  // Reads at `offset` without moving the file pointer.
  std::int64_t ReadAt(void *buffer, std::size_t size, std::uint64_t offset);
  // Writes at `offset` without moving the file pointer.
  std::int64_t WriteAt(const void *data, std::size_t size, std::uint64_t offset);
  // Writes the chunks one after another at the file pointer (POSIX gathers
  // them into few system calls); returns the total written.
  std::int64_t WriteGather(const ConstChunk *chunks, std::size_t count);
  // The new offset from the start of the file, or -1.
  std::int64_t Seek(std::int64_t offset, SeekFrom from);
  // Size of the open file, or -1.
  std::int64_t Size() const;
  // Identity of the open file (device and file number), to tell whether two
  // names are the same file.
  bool Identity(std::uint64_t &device, std::uint64_t &inode) const;
  // Sets the file's modification time (seconds since 1970-01-01 UTC),
  // leaving its access time alone.
  bool SetModificationTime(std::int64_t unixSeconds);
  // Asks the system to forget the file's cached pages, so that the next
  // reads come from the medium (after Flush, for written data). Advice
  // only: false when the system does not take it.
  bool DropCachedPages();
  // Lets the medium take a file being written while more is written: starts
  // writing out what lies between the last call and `end` (once that is a
  // good stretch) and waits for what lies more than a few stretches (64 MiB)
  // before `end`. So a long file never piles up unwritten in memory, the
  // disk always has work queued while the program goes on, and the final
  // Flush finds little left. Advice only: an error shows at Flush.
  void WriteBehind(std::uint64_t end);
  // Waits until the written data has reached the medium; false on an error.
  bool Flush();
  // False when the system reports an error on closing (for a written file
  // this may be the first sign of lost data). Closing a closed file is true.
  // A replacement that was not committed is discarded, and the result is
  // false.
  bool Close();

private:
  // The descriptor, or on Windows the HANDLE; -1 (INVALID_HANDLE_VALUE)
  // when closed.
  std::intptr_t handle_ = -1;
  std::string finalPath_; // set while a replacement is open
  std::string tempPath_;
  std::uint64_t behindDone_ = 0;    // WriteBehind: waited for up to here
  std::uint64_t behindStarted_ = 0; // and started up to here
  bool sealed_ = false;             // a replacement already flushed
};

// Names of the temporaries of CreateReplacement.
inline constexpr char StaleTemporaryPattern[] = ".orvo-????????????.tmp";

// Flushes a folder's entries (renames in it) to the medium. Where the
// system cannot flush a folder on its own, the renames were written through
// already and this is true.
bool SyncFolder(const std::string &folder);

} // namespace orvo::platform
