#pragma once

// The process-wide working set behind the Cfg_mgr functions; only the
// configuration module's own files reach it directly.

#include "config/Cfg_mgr.h"

#include <array>
#include <cstdint>

namespace orvo::cfg_internal {

struct CfgState {
  std::array<std::int32_t, kCfgParamCount> raw{};
  std::array<std::array<char, kOsdTextSize>, kOsdTextCount> osd{};
  std::array<std::int32_t, kCfgFieldCount> fields{};
  std::array<std::uint8_t, kCfgParamCount> written{};
};

CfgState &State();

} // namespace orvo::cfg_internal
