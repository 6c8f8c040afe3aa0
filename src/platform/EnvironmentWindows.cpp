#include "platform/Environment.h"

#include "platform/Utf16.h"

#include <windows.h>

namespace orvo::platform {

std::string EnvironmentVariable(const char *name) {
  std::wstring wideName;
  if (!ToUtf16(name, wideName))
    return {};
  // The variable may change between the two calls; ask until it fits.
  std::wstring value(256, L'\0');
  for (;;) {
    const DWORD n = GetEnvironmentVariableW(wideName.c_str(), value.data(),
                                            static_cast<DWORD>(value.size()));
    if (n == 0)
      return {};
    if (n < value.size()) {
      value.resize(n);
      return ToUtf8(value);
    }
    value.resize(n);
  }
}

std::string UserConfigFolder() {
  return EnvironmentVariable("APPDATA");
}

} // namespace orvo::platform
