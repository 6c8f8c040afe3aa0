#include "platform/Environment.h"

#include "platform/FileSystem.h"

#include <cstdlib>
#include <pwd.h>
#include <unistd.h>
#include <vector>

namespace orvo::platform {

namespace {

std::string HomeFolder() {
  std::string home = EnvironmentVariable("HOME");
  if (!home.empty())
    return home;
  std::vector<char> buffer(16384);
  passwd pw{}, *result = nullptr;
  if (getpwuid_r(getuid(), &pw, buffer.data(), buffer.size(), &result) == 0 && result &&
      result->pw_dir)
    return result->pw_dir;
  return {};
}

} // namespace

std::string EnvironmentVariable(const char *name) {
  const char *value = std::getenv(name);
  return value ? std::string(value) : std::string();
}

std::string UserConfigFolder() {
  // Relative values of XDG_CONFIG_HOME are to be ignored.
  const std::string folder = EnvironmentVariable("XDG_CONFIG_HOME");
  if (!folder.empty() && folder.front() == '/')
    return folder;
  const std::string home = HomeFolder();
  return home.empty() ? std::string() : WithSeparator(home) + ".config";
}

} // namespace orvo::platform
