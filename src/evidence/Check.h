#pragma once

#include <atomic>
#include <string>
#include <vector>

namespace orvo::evidence {

struct CheckResult {
  bool complete = false;          // everything below holds
  std::vector<std::string> lines; // one per file checked: what holds or differs
  std::vector<std::string> problems;
  bool interrupted = false;
};

// Checks a package again: every SHA-256 of SHA256SUMS, that no file is
// outside it, every working copy's integrity data, and that each clip's
// samples are byte for byte the samples its provenance names in original/.
CheckResult CheckPackage(const std::string &folder, const std::atomic<bool> &cancel);

} // namespace orvo::evidence
