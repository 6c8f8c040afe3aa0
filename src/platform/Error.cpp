#include "platform/Error.h"

#include <algorithm>
#include <cstring>

namespace orvo::platform {

namespace {

// A plain buffer, not a std::string: thread-local objects with destructors
// are gone before static objects are, and a static object's destructor
// (settings saved at exit) may still fail a call and keep its reason.
constexpr std::size_t kTextSize = 256;
thread_local char gLastError[kTextSize];

void Keep(std::string_view text) {
  std::size_t n = std::min(text.size(), kTextSize - 1);
  // Never keep half of a UTF-8 character.
  while (n > 0 && n < text.size() && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80)
    --n;
  std::memcpy(gLastError, text.data(), n);
  gLastError[n] = '\0';
}

} // namespace

std::string LastErrorText() {
  return gLastError;
}

void KeepError(std::string_view text) {
  Keep(text);
}

void ClearLastError() {
  gLastError[0] = '\0';
}

} // namespace orvo::platform
