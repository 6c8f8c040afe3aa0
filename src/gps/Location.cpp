#include "gps/Location.h"

#include "gps/Number.h"

namespace orvo::gps {

std::string Iso6709(const GpsFix &fix) {
  std::string text = SignedFixed(fix.latitude, 2, 5) + SignedFixed(fix.longitude, 3, 5);
  if (fix.elevation)
    text += SignedFixed(*fix.elevation, 1, 3);
  return text + "/";
}

} // namespace orvo::gps
