#include "gps/Gpmf.h"

#include "gps/GpsTime.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace orvo::gps {

namespace {

void Pad(Bytes &out) {
  while (out.size() % 4)
    out.push_back(0);
}

void Klv(Bytes &out, std::string_view key, char type, std::size_t size, std::size_t repeat) {
  PutText(out, key);
  out.push_back(static_cast<std::uint8_t>(type));
  PutBe(out, size, 1);
  PutBe(out, repeat, 2);
}

void String(Bytes &out, std::string_view key, std::string_view text) {
  Klv(out, key, 'c', text.size(), 1);
  PutText(out, text);
  Pad(out);
}

void U32(Bytes &out, std::string_view key, std::uint32_t value) {
  Klv(out, key, 'L', 4, 1);
  PutBe(out, value, 4);
}

// Nested entries have type 0 and count their bytes.
void Nest(Bytes &out, std::string_view key, const Bytes &inner) {
  Klv(out, key, '\0', 1, inner.size());
  out.insert(out.end(), inner.begin(), inner.end());
}

std::uint32_t Scaled(double value, double scale) {
  const double v = std::clamp(std::round(value * scale), -2147483648.0, 2147483647.0);
  return static_cast<std::uint32_t>(static_cast<std::int32_t>(v));
}

constexpr double kScales[5] = {1e7, 1e7, 1e3, 1e3, 1e2};

} // namespace

Bytes GpmfSampleEntry() {
  Bytes box = StartSampleEntry("gpmd");
  PutBe(box, 0, 4);
  FinishBox(box);
  return box;
}

Bytes GpmfSample(const std::vector<PartFix> &fixes) {
  Bytes stream;
  String(stream, "STNM", "GPS (Lat., Long., Alt., 2D speed, 3D speed)");
  if (fixes.empty()) {
    U32(stream, "GPSF", 0);
  } else {
    const bool height = std::all_of(fixes.begin(), fixes.end(),
                                    [](const PartFix &f) { return f.fix.elevation.has_value(); });
    U32(stream, "GPSF", height ? 3 : 2);
    const std::int64_t ms = fixes.front().fix.utcMs;
    const CivilTime t = MsToCivil(ms);
    char utc[20];
    std::snprintf(utc, sizeof utc, "%02d%02d%02d%02d%02d%02d.%03d", t.year % 100, t.month, t.day,
                  t.hour, t.minute, t.second, static_cast<int>((ms % 1000 + 1000) % 1000));
    Klv(stream, "GPSU", 'U', 16, 1);
    PutText(stream, std::string_view(utc, 16));
    Klv(stream, "UNIT", 'c', 3, 5);
    PutText(stream, std::string_view("degdegm\0\0m/sm/s", 15));
    Pad(stream);
    Klv(stream, "SCAL", 'l', 4, 5);
    for (double scale : kScales)
      PutBe(stream, static_cast<std::uint32_t>(scale), 4);
    // The file has no vertical speed, so the 3D speed is the 2D one.
    Klv(stream, "GPS5", 'l', 20, fixes.size());
    for (const PartFix &f : fixes) {
      const double values[5] = {f.fix.latitude, f.fix.longitude, f.fix.elevation.value_or(0),
                                f.fix.speed, f.fix.speed};
      for (int i = 0; i < 5; ++i)
        PutBe(stream, Scaled(values[i], kScales[i]), 4);
    }
  }
  Bytes device;
  U32(device, "DVID", 1);
  String(device, "DVNM", "oRVO GPS");
  Nest(device, "STRM", stream);
  Bytes sample;
  Nest(sample, "DEVC", device);
  return sample;
}

std::vector<TimedSample> GpmfSamples(const std::vector<PartFix> &fixes,
                                     std::int64_t partDurationMs) {
  std::vector<TimedSample> samples;
  auto it = fixes.begin();
  for (std::int64_t at = 0; at < partDurationMs; at += 1000) {
    const std::int64_t end = std::min(at + 1000, partDurationMs);
    std::vector<PartFix> second;
    for (; it != fixes.end() && it->timeMs < end; ++it)
      if (it->timeMs >= at)
        second.push_back(*it);
    samples.push_back({at, end - at, GpmfSample(second)});
  }
  return samples;
}

} // namespace orvo::gps
