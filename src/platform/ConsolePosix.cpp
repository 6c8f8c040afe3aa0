#include "platform/Console.h"

#include <csignal>
#include <unistd.h>

namespace orvo::platform {

std::vector<std::string> ProgramArguments(int argc, char **argv) {
  return std::vector<std::string>(argv, argv + argc);
}

void UseUtf8Console() {}

bool IsTerminal(std::FILE *stream) {
  return isatty(fileno(stream)) != 0;
}

void UseBinaryOutput() {
  std::signal(SIGPIPE, SIG_IGN);
}

} // namespace orvo::platform
