#include "support/System.h"

#include "platform/Error.h"
#include "platform/Utf16.h"
#include "platform/Win32Entry.h"

#include <windows.h>

#include <cstdlib>

namespace orvo::test {

namespace {

std::wstring Wide(const std::string &text) {
  std::wstring wide;
  platform::WidePath(text, wide);
  return wide;
}

} // namespace

bool MakeFifo(const std::string &) {
  return false;
}

bool MakeLink(const std::string &target, const std::string &link) {
  const std::wstring to = Wide(target);
  const DWORD attributes = GetFileAttributesW(to.c_str());
  const DWORD flags =
      SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE |
      (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)
           ? SYMBOLIC_LINK_FLAG_DIRECTORY
           : 0);
  // Wine answers success without making anything, so the link is looked for.
  return CreateSymbolicLinkW(Wide(link).c_str(), to.c_str(), flags) && IsLink(link);
}

bool IsLink(const std::string &path) {
  platform::EntryFacts facts;
  return platform::QueryEntry(path, false, facts) && facts.isLink;
}

const char *NullDevice() {
  return "NUL";
}

std::string MissingFileText() {
  platform::KeepSystemError(ERROR_FILE_NOT_FOUND);
  return platform::LastErrorText();
}

std::int64_t ModificationTime(const std::string &path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(Wide(path).c_str(), GetFileExInfoStandard, &data))
    return -1;
  const std::uint64_t ticks =
      std::uint64_t{data.ftLastWriteTime.dwHighDateTime} << 32 | data.ftLastWriteTime.dwLowDateTime;
  return static_cast<std::int64_t>(ticks / 10000000) - 11644473600;
}

void SetEnvironment(const char *name, const char *value) {
  // The C library keeps a copy of its own beside the system's.
  _putenv_s(name, value ? value : "");
  std::wstring wideName, wideValue;
  platform::ToUtf16(name, wideName);
  if (value)
    platform::ToUtf16(value, wideValue);
  SetEnvironmentVariableW(wideName.c_str(), value ? wideValue.c_str() : nullptr);
}

FileSizeLimit::FileSizeLimit(std::uint64_t) {}
FileSizeLimit::~FileSizeLimit() = default;

std::optional<int> RunWithFileSizeLimit(std::uint64_t, int (*)(void *), void *) {
  return std::nullopt;
}

Child::~Child() {
  if (handle_ != -1) {
    Kill();
    Wait();
  }
}

bool Child::Start(const std::vector<std::string> &argv) {
  std::wstring line;
  for (const std::string &arg : argv) {
    std::wstring wide;
    platform::ToUtf16(arg, wide);
    if (!line.empty())
      line += L' ';
    line += L'"' + wide + L'"';
  }
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE null =
      CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                  &inherit, OPEN_EXISTING, 0, nullptr);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = startup.hStdOutput = startup.hStdError = null;
  PROCESS_INFORMATION child{};
  // Without a console of its own: a console host started for it would
  // outlive a kill, holding the test's own output open, and ctest would
  // wait for that for ever.
  const bool ok = CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, DETACHED_PROCESS,
                                 nullptr, nullptr, &startup, &child);
  CloseHandle(null);
  if (!ok)
    return false;
  CloseHandle(child.hThread);
  handle_ = reinterpret_cast<std::intptr_t>(child.hProcess);
  return true;
}

bool Child::Running(int &status) {
  if (handle_ == -1)
    return false;
  HANDLE h = reinterpret_cast<HANDLE>(handle_);
  if (WaitForSingleObject(h, 0) == WAIT_TIMEOUT)
    return true;
  status = Wait();
  return false;
}

int Child::Wait() {
  if (handle_ == -1)
    return -1;
  HANDLE h = reinterpret_cast<HANDLE>(handle_);
  WaitForSingleObject(h, INFINITE);
  DWORD code = 0;
  const bool ok = GetExitCodeProcess(h, &code);
  CloseHandle(h);
  handle_ = -1;
  // TerminateProcess ends it with the code it is given; -1 marks a kill.
  return ok && code != static_cast<DWORD>(-1) ? static_cast<int>(code) : -1;
}

void Child::Kill() {
  if (handle_ != -1)
    TerminateProcess(reinterpret_cast<HANDLE>(handle_), static_cast<UINT>(-1));
}

bool Child::Interrupt(bool) {
  return false;
}

} // namespace orvo::test
