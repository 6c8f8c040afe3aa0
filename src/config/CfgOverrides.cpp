// Stored overrides of parameter defaults, read once at start-up.

#include "config/CfgState.h"
#include "platform/FileSystem.h"
#include "platform/Ini.h"

#include <memory>
#include <string>

namespace orvo {

namespace {

// Kept loaded from start-up to shutdown. Its section "Configuration" may
// carry a scrambled key "CfgString" that this program does not use.
std::unique_ptr<platform::IniFile> &OverridesIni() {
  static std::unique_ptr<platform::IniFile> ini;
  return ini;
}

} // namespace

void ApplyStoredOverrides() {
  auto &ini = OverridesIni();
  ini = std::make_unique<platform::IniFile>();
  ini->LoadFile(platform::WithSeparator(platform::CurrentDirectory()) +
                std::string(kOverridesFileName));
  bool any = false;
  for (int i = 0; i < kCfgParamCount; ++i) {
    const std::int32_t def = ParamDefault(i);
    const std::int32_t value = ini->ReadInt(kOverridesSection, ParamName(i), def);
    if (value == def)
      continue;
    any = true;
    if (SetParam(i, value) == value)
      cfg_internal::State().written[i] = 1;
  }
  // The fields follow at once, so that a write before any read of a card
  // keeps the overrides instead of the defaults still held by the fields.
  if (any)
    RawToFields();
}

void ReleaseStoredOverrides() {
  OverridesIni().reset();
}

} // namespace orvo
