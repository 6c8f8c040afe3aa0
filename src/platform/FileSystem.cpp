#include "platform/FileSystem.h"

#include "platform/Error.h"
#include "platform/File.h"
#include "platform/FileDetail.h"

#include <algorithm>
#include <vector>

namespace orvo::platform {

namespace {

// "/" separates on Windows too; "\\" is an ordinary character on POSIX.
bool IsSeparator(char c) {
  return c == kPathSeparator || (kPathSeparator == '\\' && c == '/');
}

} // namespace

bool WildcardMatch(std::string_view pattern, std::string_view name) {
  std::size_t p = 0, n = 0, starP = std::string_view::npos, starN = 0;
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == name[n])) {
      ++p;
      ++n;
    } else if (p < pattern.size() && pattern[p] == '*') {
      starP = p++;
      starN = n;
    } else if (starP != std::string_view::npos) {
      p = starP + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*')
    ++p;
  return p == pattern.size();
}

bool CopyFileSafely(const std::string &from, const std::string &to,
                    const std::atomic<bool> *cancel, bool syncFolder) {
  File in;
  if (!in.OpenRead(from))
    return false;
  std::uint64_t device = 0, inode = 0, targetDevice = 0, targetInode = 0;
  if (in.Identity(device, inode) && PathIdentity(to, targetDevice, targetInode) &&
      targetDevice == device && targetInode == inode) {
    KeepError("the file and its copy would be the same file");
    return false;
  }
  const std::int64_t size = in.Size();
  File out;
  if (size < 0 || !out.CreateReplacement(to))
    return false;
  // Bounded pieces: a slow medium still sees the cancel within a moment.
  std::vector<char> buffer(1 << 20);
  std::int64_t done = 0;
  while (done < size) {
    if (cancel && cancel->load()) {
      KeepError("cancelled");
      out.DiscardReplacement();
      return false;
    }
    const auto want =
        static_cast<std::size_t>(std::min<std::int64_t>(size - done, std::int64_t(buffer.size())));
    const std::int64_t got = in.ReadAt(buffer.data(), want, static_cast<std::uint64_t>(done));
    if (got <= 0) {
      if (got == 0)
        KeepError("the file became shorter while it was copied");
      out.DiscardReplacement();
      return false;
    }
    if (out.Write(buffer.data(), static_cast<std::size_t>(got)) != got) {
      out.DiscardReplacement();
      return false;
    }
    done += got;
  }
  return out.CommitReplacement(syncFolder);
}

bool ReadFileHead(const std::string &path, void *buffer, std::size_t size) {
  File file;
  if (!file.OpenRead(path))
    return false;
  const std::int64_t fileSize = file.Size();
  if (fileSize < 0 || static_cast<std::uint64_t>(fileSize) < size) {
    KeepError("the file is too short");
    return false;
  }
  return file.ReadAt(buffer, size, 0) == static_cast<std::int64_t>(size);
}

bool ReadWholeFile(const std::string &path, std::string &content, std::uint64_t maxBytes) {
  content.clear();
  File file;
  if (!file.OpenRead(path))
    return false;
  std::vector<char> buffer(1 << 16);
  for (;;) {
    const std::int64_t n = file.Read(buffer.data(), buffer.size());
    if (n < 0)
      return false;
    if (n == 0)
      return true;
    // Counted as read, not from the size: the file may still be growing.
    if (content.size() + static_cast<std::uint64_t>(n) > maxBytes) {
      KeepError("the file is too large");
      content.clear();
      return false;
    }
    content.append(buffer.data(), static_cast<std::size_t>(n));
  }
}

bool WriteWholeFileAtomically(const std::string &path, std::string_view content, unsigned mode) {
  File file;
  if (!file.CreateReplacement(path, mode))
    return false;
  if (file.Write(content.data(), content.size()) != static_cast<std::int64_t>(content.size())) {
    file.DiscardReplacement();
    return false;
  }
  return file.CommitReplacement();
}

std::string SafeFileName(std::string_view text) {
  std::string name(text);
  for (std::size_t i = 0; i < name.size(); ++i) {
    const auto c = static_cast<unsigned char>(name[i]);
    const bool reserved = c < 0x20 || c == 0x7F || c == '/' || c == '\\' ||
                          std::string_view(kReservedNameCharacters).find(static_cast<char>(c)) !=
                              std::string_view::npos;
    if (reserved || (i == 0 && c == '.'))
      name[i] = '_';
  }
  return name;
}

std::string WithSeparator(std::string_view folder) {
  std::string s(folder);
  if (!s.empty() && !IsSeparator(s.back()))
    s.push_back(kPathSeparator);
  return s;
}

std::string WithoutSeparator(std::string_view folder) {
  std::string s(folder);
  // "E:\" stays a root; "E:" alone would name the drive's current folder.
  const bool driveRoot = kPathSeparator == '\\' && s.size() == 3 && s[1] == ':';
  while (s.size() > 1 && IsSeparator(s.back()) && !driveRoot)
    s.pop_back();
  return s;
}

bool CheckReadableFile(const std::string &path, std::string &error, std::uint64_t &size) {
  error.clear();
  size = 0;
  File file;
  if (!file.OpenRead(path)) {
    error = LastErrorText();
    return false;
  }
  const std::int64_t n = file.Size();
  size = n > 0 ? static_cast<std::uint64_t>(n) : 0;
  return n >= 0;
}

} // namespace orvo::platform
