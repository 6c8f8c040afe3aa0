#include "platform/Sha256.h"

#include "platform/Error.h"
#include "platform/File.h"

namespace orvo::platform {

std::string ToHex(const Sha256Digest &digest) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string hex;
  hex.reserve(digest.size() * 2);
  for (const std::uint8_t byte : digest) {
    hex.push_back(kDigits[byte >> 4]);
    hex.push_back(kDigits[byte & 15]);
  }
  return hex;
}

bool HashFile(const std::string &path, Sha256Digest &digest, std::string &error,
              const std::atomic<bool> *cancel) {
  digest.fill(0);
  error.clear();
  const auto fail = [&](const std::string &reason) {
    error = path;
    error.append(": ").append(reason);
    return false;
  };
  File file;
  if (!file.OpenRead(path))
    return fail(LastErrorText());
  // Not zeroed: every byte hashed was read into it first.
  const auto buffer = std::make_unique_for_overwrite<char[]>(kHashFileBlock);
  Sha256 sha;
  for (;;) {
    if (cancel && cancel->load(std::memory_order_relaxed))
      return fail("cancelled");
    // A read cut short by an error returns what it moved and leaves the file
    // pointer after it, so the next read either goes on or answers -1.
    const std::int64_t n = file.Read(buffer.get(), kHashFileBlock);
    if (n < 0)
      return fail(LastErrorText());
    if (n == 0)
      break;
    sha.Update(buffer.get(), static_cast<std::size_t>(n));
  }
  std::string why;
  if (!sha.Final(digest, why))
    return fail(why);
  return true;
}

} // namespace orvo::platform
