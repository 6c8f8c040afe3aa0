#include "platform/Error.h"

namespace orvo::platform {

namespace {

thread_local std::string gLastError;

} // namespace

std::string LastErrorText() {
  return gLastError;
}

void KeepError(std::string_view text) {
  gLastError = std::string(text);
}

void ClearLastError() {
  gLastError.clear();
}

} // namespace orvo::platform
