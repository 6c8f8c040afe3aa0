#include "platform/Error.h"

#include <cerrno>
#include <cstring>

namespace orvo::platform {

void KeepSystemError() {
  KeepSystemError(errno);
}

void KeepSystemError(int code) {
  char buffer[256] = {};
  // The GNU variant may return a static text instead of filling the buffer.
  const char *text = strerror_r(code, buffer, sizeof buffer);
  KeepError(text ? text : "unknown error");
}

} // namespace orvo::platform
