#include "platform/Error.h"

#include "platform/Utf16.h"

#include <windows.h>

namespace orvo::platform {

void KeepSystemError() {
  KeepSystemError(static_cast<int>(GetLastError()));
}

void KeepSystemError(int code) {
  wchar_t *text = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, static_cast<DWORD>(code), 0, reinterpret_cast<wchar_t *>(&text), 0, nullptr);
  std::wstring wide = length && text ? std::wstring(text, length) : std::wstring();
  if (text)
    LocalFree(text);
  // The system's texts end with a full stop and a line break; the POSIX ones
  // do not, and callers put them inside sentences of their own.
  while (!wide.empty() && (wide.back() == L'\n' || wide.back() == L'\r' || wide.back() == L'.' ||
                           wide.back() == L' '))
    wide.pop_back();
  KeepError(wide.empty() ? "system error " + std::to_string(static_cast<unsigned>(code))
                         : ToUtf8(wide));
}

} // namespace orvo::platform
