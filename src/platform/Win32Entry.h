#pragma once

#include <cstdint>
#include <string>

// Windows only: looking at and removing one directory entry by its path,
// shared by the folder handles and the file-system calls.
namespace orvo::platform {

struct EntryFacts {
  bool onDisk = false;    // a file or folder, not a device or pipe
  bool isFolder = false;  // of the entry itself (a link to a folder counts)
  bool isLink = false;    // a symbolic link or junction
  std::uint64_t size = 0;
  std::uint64_t volume = 0, index = 0; // identity
};

// Whether an entry with these attributes and reparse tag (as
// FILE_ATTRIBUTE_TAG_INFO gives them) is a symbolic link or junction: a
// reparse point that stands for another name. Other reparse points
// (deduplicated or cloud files) are files in their own right and are read
// through their filter.
bool IsLink(std::uint32_t attributes, std::uint32_t reparseTag);

// Facts about the entry at `path`, or with `followLinks` about what a link
// there names; false when there is nothing to ask.
bool QueryEntry(const std::string &path, bool followLinks, EntryFacts &facts);

enum class EntryKind { File, Folder };

// Removes the entry at `wide` itself, never what a link there names: it is
// opened as the link, checked to be of `kind` (a link counts as a file, as
// unlink takes it), and marked for deletion on that very handle, so nothing
// swapped in between the check and the removal can be hit.
bool RemoveEntry(const std::wstring &wide, EntryKind kind);

} // namespace orvo::platform
