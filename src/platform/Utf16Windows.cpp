#include "platform/Utf16.h"

#include "platform/Error.h"

#include <windows.h>

#include <climits>

namespace orvo::platform {

namespace {

// The longest path the plain calls take with room for a file name of 8.3
// characters: CreateDirectoryW's limit, the lowest of them.
constexpr std::size_t kPlainPathLimit = MAX_PATH - 12;

} // namespace

bool ToUtf16(std::string_view text, std::wstring &wide) {
  wide.clear();
  if (text.empty())
    return true;
  if (text.size() > INT_MAX) {
    KeepError("the text is too long");
    return false;
  }
  const int size = static_cast<int>(text.size());
  const int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), size, nullptr, 0);
  if (n <= 0) {
    KeepError("the name is not valid UTF-8 text");
    return false;
  }
  wide.resize(static_cast<std::size_t>(n));
  MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), size, wide.data(), n);
  return true;
}

bool ToUtf8(std::wstring_view wide, std::string &text) {
  text.clear();
  if (wide.empty())
    return true;
  if (wide.size() > INT_MAX / 3)
    return false;
  const int size = static_cast<int>(wide.size());
  const int n =
      WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, wide.data(), size, nullptr, 0, nullptr,
                          nullptr);
  if (n <= 0)
    return false;
  text.resize(static_cast<std::size_t>(n));
  WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, wide.data(), size, text.data(), n, nullptr,
                      nullptr);
  return true;
}

std::string ToUtf8(std::wstring_view wide) {
  std::string text;
  if (wide.empty() || wide.size() > INT_MAX / 3)
    return text;
  const int size = static_cast<int>(wide.size());
  const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
  if (n <= 0)
    return text;
  text.resize(static_cast<std::size_t>(n));
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, text.data(), n, nullptr, nullptr);
  return text;
}

bool WidePath(const std::string &path, std::wstring &wide) {
  if (!ToUtf16(path, wide))
    return false;
  if (wide.find(L'\0') != std::wstring::npos) {
    KeepError("the name holds a NUL character");
    return false;
  }
  if (wide.size() < kPlainPathLimit || wide.rfind(LR"(\\?\)", 0) == 0 ||
      wide.rfind(LR"(\\.\)", 0) == 0)
    return true;
  // The prefixed form is taken literally: "/" is no separator there and
  // "." and ".." are names, so the system resolves the path first.
  const DWORD need = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
  if (need == 0) {
    KeepSystemError();
    return false;
  }
  std::wstring full(need, L'\0');
  const DWORD got = GetFullPathNameW(wide.c_str(), need, full.data(), nullptr);
  if (got == 0 || got >= need) {
    KeepSystemError();
    return false;
  }
  full.resize(got);
  if (full.rfind(LR"(\\?\)", 0) == 0 || full.rfind(LR"(\\.\)", 0) == 0)
    wide = full;
  else if (full.rfind(LR"(\\)", 0) == 0)
    wide = LR"(\\?\UNC\)" + full.substr(2);
  else
    wide = LR"(\\?\)" + full;
  return true;
}

} // namespace orvo::platform
