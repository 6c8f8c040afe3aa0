#include "media/Process.h"

#include "platform/Utf16.h"

#include <windows.h>

namespace orvo::media {

namespace {

// One argument quoted so that the child's CommandLineToArgvW gives it back
// unchanged: backslashes double only before a quote.
void AppendQuoted(std::wstring &line, const std::wstring &arg) {
  if (!arg.empty() && arg.find_first_of(L" \t\n\v\"") == std::wstring::npos) {
    line += arg;
    return;
  }
  line += L'"';
  std::size_t backslashes = 0;
  for (wchar_t c : arg) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    line.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
    backslashes = 0;
    line += c;
  }
  line.append(backslashes * 2, L'\\');
  line += L'"';
}

// Output goes to temporary files rather than pipes so that a chatty child
// can never block on a full pipe while we wait for it. The file goes away
// with its last handle.
HANDLE TemporaryOutput() {
  wchar_t folder[MAX_PATH + 1] = {}, name[MAX_PATH + 1] = {};
  if (!GetTempPathW(MAX_PATH + 1, folder) || !GetTempFileNameW(folder, L"orv", 0, name))
    return INVALID_HANDLE_VALUE;
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  return CreateFileW(name, GENERIC_READ | GENERIC_WRITE,
                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, &inherit,
                     CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
}

HANDLE NullDevice(DWORD access) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  return CreateFileW(L"NUL", access, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0,
                     nullptr);
}

std::string ReadBack(HANDLE h) {
  std::string content;
  LARGE_INTEGER start{};
  if (h == INVALID_HANDLE_VALUE || !SetFilePointerEx(h, start, nullptr, FILE_BEGIN))
    return content;
  char buffer[65536];
  DWORD n = 0;
  while (ReadFile(h, buffer, sizeof buffer, &n, nullptr) && n > 0)
    content.append(buffer, n);
  return content;
}

void CloseIfOpen(HANDLE h) {
  if (h != INVALID_HANDLE_VALUE)
    CloseHandle(h);
}

} // namespace

int RunProcess(const std::vector<std::string> &argv, std::string *out, std::string *err) {
  if (argv.empty())
    return -1;
  std::wstring line;
  for (const std::string &arg : argv) {
    std::wstring wide;
    if (!platform::ToUtf16(arg, wide))
      return -1;
    if (!line.empty())
      line += L' ';
    AppendQuoted(line, wide);
  }
  HANDLE input = NullDevice(GENERIC_READ);
  HANDLE output = out ? TemporaryOutput() : NullDevice(GENERIC_WRITE);
  HANDLE error = err ? TemporaryOutput() : NullDevice(GENERIC_WRITE);
  int status = -1;
  if (input != INVALID_HANDLE_VALUE && output != INVALID_HANDLE_VALUE &&
      error != INVALID_HANDLE_VALUE) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = input;
    startup.hStdOutput = output;
    startup.hStdError = error;
    PROCESS_INFORMATION child{};
    // The program is looked up on PATH, with ".exe" added.
    if (CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                       nullptr, &startup, &child)) {
      WaitForSingleObject(child.hProcess, INFINITE);
      DWORD code = 0;
      if (GetExitCodeProcess(child.hProcess, &code))
        status = static_cast<int>(code);
      CloseHandle(child.hThread);
      CloseHandle(child.hProcess);
    }
  }
  if (out)
    *out = ReadBack(output);
  if (err)
    *err = ReadBack(error);
  CloseIfOpen(input);
  CloseIfOpen(output);
  CloseIfOpen(error);
  return status;
}

} // namespace orvo::media
