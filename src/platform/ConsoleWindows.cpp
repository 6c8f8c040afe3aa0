#include "platform/Console.h"

#include "platform/Utf16.h"

#include <windows.h>
// After windows.h, which it builds on.
#include <shellapi.h>

#include <io.h>

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

void UseUtf8Console() {
  SetConsoleOutputCP(CP_UTF8);
}

bool IsTerminal(std::FILE *stream) {
  // A redirected stream may still be a character device such as NUL.
  HANDLE h = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
  DWORD mode = 0;
  return h != INVALID_HANDLE_VALUE && GetConsoleMode(h, &mode) != 0;
}

} // namespace orvo::platform
