#pragma once

#include <string>

namespace orvo::platform {

// The value of an environment variable as UTF-8; empty when it is not set.
std::string EnvironmentVariable(const char *name);

// The folder for per-user settings where "USERPROFILE" names none: POSIX
// uses $XDG_CONFIG_HOME when it is absolute, else ~/.config; Windows the
// roaming application data folder. Empty when there is none; the folder
// may not exist yet.
std::string UserConfigFolder();

} // namespace orvo::platform
