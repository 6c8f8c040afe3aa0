#include "platform/Sha256.h"

#include "platform/Error.h"

#include <windows.h>

#include <bcrypt.h>
#include <winternl.h>

#include <algorithm>
#include <cstdio>

namespace orvo::platform {

namespace {

// BCryptHashData counts in 32 bits; larger pieces are given in parts.
constexpr std::size_t kMaxPiece = 0x40000000;

// CNG answers with an NTSTATUS, which the system's texts know by its
// Win32 counterpart; the status itself is kept for codes without one.
std::string LibraryError(const char *step, NTSTATUS status) {
  std::string text = "SHA-256 (CNG) ";
  text.append(step).append(": ");
  const ULONG code = RtlNtStatusToDosError(status);
  if (code != ERROR_MR_MID_NOT_FOUND) {
    KeepSystemError(static_cast<int>(code));
    text.append(LastErrorText()).append(", ");
  }
  char hex[32];
  std::snprintf(hex, sizeof hex, "status 0x%08lX", static_cast<unsigned long>(status));
  return text.append(hex);
}

// Opening the algorithm is the costly step of CNG, and its handle serves
// any number of hashes on any thread, so it is opened once and kept for
// the life of the process.
struct Algorithm {
  BCRYPT_ALG_HANDLE handle = nullptr;
  NTSTATUS status = 0;
};

const Algorithm &Sha256Algorithm() {
  static const Algorithm algorithm = [] {
    Algorithm a;
    a.status = BCryptOpenAlgorithmProvider(&a.handle, BCRYPT_SHA256_ALGORITHM, nullptr, 0);
    return a;
  }();
  return algorithm;
}

} // namespace

struct Sha256::State {
  // A finished hash cannot take more data, so every message gets a new one
  // (the hash object's memory is the system's to manage).
  BCRYPT_HASH_HANDLE hash = nullptr;
  // The first failure within the message under way; once set, the rest of
  // the message is not hashed.
  std::string error;

  ~State() { Drop(); }

  void Drop() {
    if (hash)
      BCryptDestroyHash(hash);
    hash = nullptr;
  }

  void Start() {
    Drop();
    error.clear();
    const Algorithm &algorithm = Sha256Algorithm();
    if (!BCRYPT_SUCCESS(algorithm.status)) {
      error = LibraryError("open", algorithm.status);
      return;
    }
    const NTSTATUS status =
        BCryptCreateHash(algorithm.handle, &hash, nullptr, 0, nullptr, 0, 0);
    if (!BCRYPT_SUCCESS(status)) {
      hash = nullptr;
      error = LibraryError("create", status);
    }
  }
};

Sha256::Sha256() : state_(std::make_unique<State>()) {
  state_->Start();
}

Sha256::~Sha256() = default;

void Sha256::Update(const void *data, std::size_t size) {
  // CNG takes the input through a pointer to non-const bytes but only reads
  // them.
  auto *bytes = static_cast<PUCHAR>(const_cast<void *>(data));
  while (size > 0 && state_->error.empty()) {
    const std::size_t piece = std::min(size, kMaxPiece);
    const NTSTATUS status =
        BCryptHashData(state_->hash, bytes, static_cast<ULONG>(piece), 0);
    if (!BCRYPT_SUCCESS(status))
      state_->error = LibraryError("update", status);
    bytes += piece;
    size -= piece;
  }
}

bool Sha256::Final(Sha256Digest &digest, std::string &error) {
  error = state_->error;
  if (error.empty()) {
    const NTSTATUS status = BCryptFinishHash(state_->hash, digest.data(),
                                             static_cast<ULONG>(digest.size()), 0);
    if (!BCRYPT_SUCCESS(status))
      error = LibraryError("final", status);
  }
  if (!error.empty())
    digest.fill(0);
  state_->Start();
  return error.empty();
}

void Sha256::Reset() {
  state_->Start();
}

} // namespace orvo::platform
