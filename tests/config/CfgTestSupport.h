#pragma once

#include "config/CfgState.h"

#include <filesystem>
#include <string>
#include <unistd.h>

namespace orvo::test {

// Written flags raised by an override stay raised for the process; tests
// that raise them put the table's flags back.
inline void RestoreWrittenFlags() {
  const auto params = CfgParameters();
  for (int i = 0; i < kCfgParamCount; ++i)
    cfg_internal::State().written[i] = params[i].written;
}

inline void ResetModel() {
  RestoreWrittenFlags();
  ResetToDefaults();
}

// A fresh folder under the system's temporary folder, removed with its files.
class TempDir {
public:
  TempDir() {
    char templ[] = "/tmp/orvo_cfg_XXXXXX";
    const char *p = mkdtemp(templ);
    path_ = p ? p : "";
  }
  ~TempDir() {
    std::error_code ec;
    if (!path_.empty())
      std::filesystem::remove_all(path_, ec);
  }
  const std::string &path() const { return path_; }
  std::string file(const std::string &name) const { return path_ + "/" + name; }

private:
  std::string path_;
};

} // namespace orvo::test
