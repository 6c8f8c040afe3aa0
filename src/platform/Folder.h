#pragma once

#include <cstdint>
#include <string>

// A handle on a folder through which its entries are removed by name, so
// that what is removed is always an entry of this very folder: a link found
// where a folder is expected is never entered, and removing a link removes
// the link, never what it points to. On Windows the open handle keeps the
// folder from being renamed or removed while it is held, so its path keeps
// naming this very folder.
namespace orvo::platform {

class Folder {
public:
  Folder() = default;
  ~Folder();
  Folder(const Folder &) = delete;
  Folder &operator=(const Folder &) = delete;

  // Opens the folder at `path` (links along the path are followed: the path
  // is the user's choice).
  bool Open(const std::string &path);
  // Opens the folder `name` inside `parent`; false when the entry is a link
  // or not a folder, with the reason kept.
  bool OpenChild(const Folder &parent, const std::string &name);
  bool IsOpen() const { return handle_ != -1; }
  void Close();

  // Removes the file or link `name` of this folder.
  bool RemoveFile(const std::string &name) const;
  // Removes the empty folder `name` of this folder.
  bool RemoveFolder(const std::string &name) const;

private:
  // The descriptor, or on Windows the HANDLE; -1 when closed.
  std::intptr_t handle_ = -1;
  // Windows: the folder's path, with a trailing separator.
  std::string path_;
};

} // namespace orvo::platform
