// Any bytes as the recorder's GPS track: nothing may crash or hang, and what
// is kept is a track a part can be made of: fixes strictly in time order,
// with coordinates and speeds in range.
#include "gps/GpxReader.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  const orvo::gps::GpsTrack track =
      orvo::gps::ParseGpx(std::string_view(reinterpret_cast<const char *>(data), size));
  for (std::size_t i = 0; i < track.fixes.size(); ++i) {
    const auto &f = track.fixes[i];
    if (i > 0 && f.utcMs <= track.fixes[i - 1].utcMs)
      std::abort();
    if (!(std::fabs(f.latitude) <= 90) || !(std::fabs(f.longitude) <= 180) ||
        !std::isfinite(f.speed) || f.speed < 0)
      std::abort();
  }
  return 0;
}
