#include "platform/Sha256.h"

#include <openssl/err.h>
#include <openssl/evp.h>

namespace orvo::platform {

namespace {

// OpenSSL 3 looks an algorithm up among its providers on every
// EVP_DigestInit_ex that names it by EVP_sha256(); fetching it once spares
// every later message that search. It is kept for the life of the process.
const EVP_MD *Sha256Algorithm() {
  static EVP_MD *const algorithm = EVP_MD_fetch(nullptr, "SHA256", nullptr);
  return algorithm;
}

// The reason of the library's last failure on this thread, which it keeps
// in a queue of its own; the queue is emptied so that a later failure is
// not told with this one's reason.
std::string LibraryError(const char *step) {
  const unsigned long code = ERR_get_error();
  ERR_clear_error();
  std::string text = "SHA-256 (libcrypto) ";
  text.append(step).append(": ");
  if (code == 0)
    return text.append("failed without a reason");
  char reason[256];
  ERR_error_string_n(code, reason, sizeof reason);
  return text.append(reason);
}

} // namespace

struct Sha256::State {
  EVP_MD_CTX *context = EVP_MD_CTX_new();
  // The first failure within the message under way; once set, the rest of
  // the message is not hashed.
  std::string error;

  ~State() { EVP_MD_CTX_free(context); }

  void Start() {
    error.clear();
    if (!context)
      error = LibraryError("context");
    else if (!Sha256Algorithm())
      error = LibraryError("fetch");
    else if (EVP_DigestInit_ex2(context, Sha256Algorithm(), nullptr) != 1)
      error = LibraryError("init");
  }
};

Sha256::Sha256() : state_(std::make_unique<State>()) {
  state_->Start();
}

Sha256::~Sha256() = default;

void Sha256::Update(const void *data, std::size_t size) {
  if (size == 0 || !state_->error.empty())
    return;
  if (EVP_DigestUpdate(state_->context, data, size) != 1)
    state_->error = LibraryError("update");
}

bool Sha256::Final(Sha256Digest &digest, std::string &error) {
  error = state_->error;
  unsigned int length = 0;
  if (error.empty() && (EVP_DigestFinal_ex(state_->context, digest.data(), &length) != 1 ||
                        length != digest.size()))
    error = LibraryError("final");
  if (!error.empty())
    digest.fill(0);
  state_->Start();
  return error.empty();
}

void Sha256::Reset() {
  state_->Start();
}

} // namespace orvo::platform
