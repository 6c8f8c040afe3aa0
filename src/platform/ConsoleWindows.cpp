#include "platform/Console.h"

#include "platform/Utf16.h"

#include <windows.h>
// After windows.h, which it builds on.
#include <shellapi.h>

#include <io.h>

#include <cstdlib>
#include <fcntl.h>

namespace orvo::platform {

std::vector<std::string> ProgramArguments(int argc, char **argv) {
  int count = 0;
  wchar_t **wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (wide == nullptr)
    return std::vector<std::string>(argv, argv + argc);
  std::vector<std::string> args;
  for (int i = 0; i < count; ++i)
    args.push_back(ToUtf8(wide[i]));
  LocalFree(wide);
  return args;
}

namespace {

UINT gPreviousOutputCodePage = 0;

// The code page belongs to the console, which the shell that started the
// program goes on using.
void RestoreOutputCodePage() {
  SetConsoleOutputCP(gPreviousOutputCodePage);
}

} // namespace

void UseUtf8Console() {
  if (gPreviousOutputCodePage != 0)
    return;
  gPreviousOutputCodePage = GetConsoleOutputCP();
  if (gPreviousOutputCodePage != 0 && SetConsoleOutputCP(CP_UTF8))
    std::atexit(RestoreOutputCodePage);
}

bool IsTerminal(std::FILE *stream) {
  // A redirected stream may still be a character device such as NUL.
  HANDLE h = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
  DWORD mode = 0;
  return h != INVALID_HANDLE_VALUE && GetConsoleMode(h, &mode) != 0;
}

void UseBinaryOutput() {
  _setmode(_fileno(stdout), _O_BINARY);
}

} // namespace orvo::platform
