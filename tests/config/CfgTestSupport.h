#pragma once

#include "config/CfgState.h"
#include "support/Tools.h"

#include <string>

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
class ScratchDir {
public:
  const std::string &path() const { return dir_.path; }
  std::string file(const std::string &name) const { return dir_.File(name); }

private:
  TempDir dir_;
};

} // namespace orvo::test
