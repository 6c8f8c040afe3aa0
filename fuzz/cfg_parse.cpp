// Configuration lines and files of any bytes: nothing may crash, the texts
// stay terminated printable ASCII, every raw value stays in its range, and a
// written file reads back as written.

#include "config/CfgState.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <unistd.h>

using namespace orvo;

namespace {

std::string g_input, g_output;

std::string MakeTemp() {
  char name[] = "/tmp/fuzz_cfg_XXXXXX";
  const int fd = mkstemp(name);
  if (fd < 0)
    std::abort();
  close(fd);
  return name;
}

void CheckInvariants() {
  const auto &s = cfg_internal::State();
  for (int i = 0; i < kCfgParamCount; ++i)
    if (s.raw[i] < ParamMin(i) || s.raw[i] > ParamMax(i))
      std::abort();
  for (const auto &text : s.osd) {
    if (text[kOsdTextMaxLength] != '\0')
      std::abort();
    for (char c : text) {
      if (c == '\0')
        break;
      if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) >= 0x7F)
        std::abort();
    }
  }
}

void CheckRoundTrip() {
  if (!WriteCfgFile(g_output, false))
    std::abort();
  // The raw values as written (the write first takes the fields back).
  const cfg_internal::CfgState written = cfg_internal::State();
  ResetToDefaults();
  if (!ReadCfgFile(g_output, false))
    std::abort();
  for (int i = 0; i < kCfgParamCount; ++i)
    if (IsParamWritten(i) && GetParam(i) != written.raw[i])
      std::abort();
  // A text holding a double quote cannot be written back unchanged: the file
  // has no escapes.
  for (int slot = 0; slot < kOsdTextCount; ++slot) {
    const std::string text(written.osd[slot].data());
    if (text.find('"') == std::string::npos && GetOsdText(slot) != text)
      std::abort();
  }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
  g_input = MakeTemp();
  g_output = MakeTemp();
  std::atexit([] {
    unlink(g_input.c_str());
    unlink(g_output.c_str());
  });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  ResetToDefaults();
  if (size == 0)
    return 0;
  const std::string_view rest(reinterpret_cast<const char *>(data) + 1, size - 1);
  if (data[0] & 1) {
    ParseCfgLine(rest);
    CheckInvariants();
    return 0;
  }
  std::FILE *f = std::fopen(g_input.c_str(), "wb");
  if (!f)
    std::abort();
  std::fwrite(rest.data(), 1, rest.size(), f);
  std::fclose(f);
  if (!ReadCfgFile(g_input, false))
    std::abort();
  CheckInvariants();
  if (data[0] & 2)
    CheckRoundTrip();
  return 0;
}
