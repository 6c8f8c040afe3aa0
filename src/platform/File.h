#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// A file opened for unbuffered reading or writing. Every call goes straight to
// the operating system; transfers return the number of bytes moved (short only
// at the end of the file or on an error) and -1 when nothing could be moved
// because of an error.
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

  // Creates the file or truncates an existing one, for reading and writing;
  // no other opener of this program may hold it at the same time.
  bool CreateTruncate(const std::string &path);
  // Opens for reading; others may read it too, but not open it for writing
  // through this layer.
  bool OpenRead(const std::string &path);
  bool IsOpen() const { return fd_ >= 0; }

  std::int64_t Read(void *buffer, std::size_t size);
  std::int64_t Write(const void *data, std::size_t size);
  // Reads at `offset` without moving the file pointer.
  std::int64_t ReadAt(void *buffer, std::size_t size, std::uint64_t offset);
  // Writes at `offset` without moving the file pointer.
  std::int64_t WriteAt(const void *data, std::size_t size, std::uint64_t offset);
  // Writes the chunks one after another at the file pointer with as few
  // system calls as possible; returns the total written.
  std::int64_t WriteGather(const ConstChunk *chunks, std::size_t count);
  // The new offset from the start of the file, or -1.
  std::int64_t Seek(std::int64_t offset, SeekFrom from);
  // Size of the open file, or -1.
  std::int64_t Size() const;
  // Waits until the written data has reached the medium; false on an error.
  bool Flush();
  // False when the system reports an error on closing (for a written file
  // this may be the first sign of lost data). Closing a closed file is true.
  bool Close();

private:
  int fd_ = -1;
};

} // namespace orvo::platform
