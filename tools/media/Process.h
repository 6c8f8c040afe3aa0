#pragma once

#include <string>
#include <vector>

namespace orvo::media {

// Runs a program (looked up on PATH) with the given arguments, no shell, and
// waits for it. Standard output and standard error are collected when asked
// for. Returns the exit status, or -1 when it could not be started or was
// killed by a signal.
int RunProcess(const std::vector<std::string> &argv, std::string *out = nullptr,
               std::string *err = nullptr);

} // namespace orvo::media
