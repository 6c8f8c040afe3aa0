#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

// SHA-256 (FIPS 180-4) of byte streams and files, computed by a library
// that is maintained and audited rather than by code of our own: OpenSSL's
// libcrypto on POSIX, the system's CNG (bcrypt.dll) on Windows. The digests
// go into evidence packages, whose worth rests on them being the standard
// ones that anybody can recompute with any tool.
namespace orvo::platform {

using Sha256Digest = std::array<std::uint8_t, 32>;

// HashFile reads a file in blocks of this size: large enough that a system
// call per block costs nothing beside hashing it, small enough to stay in
// the processor's caches between the read and the hashing.
inline constexpr std::size_t kHashFileBlock = std::size_t{1} << 20;

// One message at a time, given in pieces of any size.
class Sha256 {
public:
  Sha256();
  ~Sha256();
  Sha256(const Sha256 &) = delete;
  Sha256 &operator=(const Sha256 &) = delete;

  void Update(const void *data, std::size_t size);
  // The digest of the message given since construction, the last Final or
  // Reset; a new message starts after it. False, with the digest zeroed and
  // the reason in `error`, when the library failed anywhere on the way (the
  // new message starts clean all the same).
  bool Final(Sha256Digest &digest, std::string &error);
  // Drops what was given of the message so far.
  void Reset();

private:
  struct State; // the library's context, defined by each implementation
  std::unique_ptr<State> state_;
};

// Lowercase hexadecimal, as sha256sum prints a digest.
std::string ToHex(const Sha256Digest &digest);

// The digest of a regular file, opened as File::OpenRead opens one (without
// blocking; a FIFO, device or folder is refused) and read front to back.
// False, with the digest zeroed and `error` naming the file and giving the
// system's reason, when it cannot be opened or read, or when `cancel`
// becomes true (checked before every block).
bool HashFile(const std::string &path, Sha256Digest &digest, std::string &error,
              const std::atomic<bool> *cancel = nullptr);

} // namespace orvo::platform
