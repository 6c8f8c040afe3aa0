#include "platform/Identity.h"

#include "platform/Utf16.h"
#include "platform/Volume.h"

#include <windows.h>

#include <cstdio>
#include <vector>

namespace orvo::platform {

namespace {

// Both calls report the size they need, terminator included, when the
// buffer is too small; the name may change in between, hence the loop.
template <typename Call> std::string AskName(Call call, DWORD tooSmall) {
  std::vector<wchar_t> name(257);
  for (int attempt = 0; attempt < 4; ++attempt) {
    DWORD size = static_cast<DWORD>(name.size());
    if (call(name.data(), &size))
      return ToUtf8(std::wstring_view(name.data()));
    if (GetLastError() != tooSmall || size <= name.size())
      return {};
    name.resize(size);
  }
  return {};
}

// The long-path prefix that WidePath may have added is no part of the
// drive's name as the user knows it.
std::wstring WithoutLongPrefix(const std::wstring &root) {
  if (root.rfind(L"\\\\?\\UNC\\", 0) == 0)
    return L"\\\\" + root.substr(8);
  if (root.rfind(L"\\\\?\\", 0) == 0 && root.size() >= 6 && root[5] == L':')
    return root.substr(4);
  return root;
}

} // namespace

std::string ComputerName() {
  // The DNS host name keeps its case and is not cut to the 15 characters
  // of the NetBIOS name, which remains for systems without one.
  std::string name = AskName(
      [](wchar_t *buffer, DWORD *size) {
        return GetComputerNameExW(ComputerNameDnsHostname, buffer, size) != 0;
      },
      ERROR_MORE_DATA);
  if (!name.empty())
    return name;
  return AskName([](wchar_t *buffer, DWORD *size) { return GetComputerNameW(buffer, size) != 0; },
                 ERROR_BUFFER_OVERFLOW);
}

std::string UserName() {
  return AskName([](wchar_t *buffer, DWORD *size) { return GetUserNameW(buffer, size) != 0; },
                 ERROR_INSUFFICIENT_BUFFER);
}

bool IdentifyVolume(const std::string &folder, VolumeIdentity &identity) {
  identity = {};
  std::wstring wide;
  if (folder.empty() || !WidePath(folder, wide))
    return false;
  CriticalErrorGuard guard;
  // The system names a volume even for a path that is not there.
  if (GetFileAttributesW(wide.c_str()) == INVALID_FILE_ATTRIBUTES)
    return false;
  std::vector<wchar_t> root(wide.size() + MAX_PATH + 1);
  if (!GetVolumePathNameW(wide.c_str(), root.data(), static_cast<DWORD>(root.size())))
    return false;
  // A label has at most 32 characters; MAX_PATH + 1 is what the call's
  // documentation asks for.
  wchar_t label[MAX_PATH + 1] = {};
  DWORD serial = 0;
  if (!GetVolumeInformationW(root.data(), label, MAX_PATH + 1, &serial, nullptr, nullptr, nullptr,
                             0))
    return false;
  identity.label = ToUtf8(std::wstring_view(label));
  // As vol and dir show it: two groups of four upper-case hex digits.
  char text[10];
  std::snprintf(text, sizeof text, "%04lX-%04lX", static_cast<unsigned long>(serial >> 16),
                static_cast<unsigned long>(serial & 0xFFFF));
  identity.serial = text;
  identity.device = ToUtf8(WithoutLongPrefix(root.data()));
  return true;
}

} // namespace orvo::platform
