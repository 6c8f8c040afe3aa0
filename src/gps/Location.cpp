#include "gps/Location.h"

#include <cstdio>

namespace orvo::gps {

std::string Iso6709(const GpsFix &fix) {
  char text[64];
  if (fix.elevation)
    std::snprintf(text, sizeof text, "%+09.5f%+010.5f%+.3f/", fix.latitude, fix.longitude,
                  *fix.elevation);
  else
    std::snprintf(text, sizeof text, "%+09.5f%+010.5f/", fix.latitude, fix.longitude);
  return text;
}

} // namespace orvo::gps
