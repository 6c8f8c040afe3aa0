#include "platform/Error.h"

#include <cerrno>
#include <cstring>

namespace orvo::platform {

namespace {

thread_local std::string gLastError;

} // namespace

std::string LastErrorText() {
  return gLastError;
}

void KeepSystemError() {
  KeepSystemError(errno);
}

void KeepSystemError(int code) {
  char buffer[256] = {};
  // The GNU variant may return a static text instead of filling the buffer.
  const char *text = strerror_r(code, buffer, sizeof buffer);
  gLastError = text ? text : "unknown error";
}

void KeepError(std::string_view text) {
  gLastError = std::string(text);
}

void ClearLastError() {
  gLastError.clear();
}

} // namespace orvo::platform
