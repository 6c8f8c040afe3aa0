#include "gps/Export.h"
#include "gps/GpxReader.h"

#include <gtest/gtest.h>

using namespace orvo::gps;

namespace {

GpsTrack TwoFixes() {
  GpsTrack t;
  t.fixes.push_back({1615786200000, 55.7558, -37.5, 150.0, 15.0, false, 90.0, false});
  t.fixes.push_back({1615786201500, 55.7559, -37.5, {}, 10.0, false, {}, false});
  return t;
}

TrackAlignment MoscowClock() {
  TrackAlignment a;
  a.aligned = true;
  a.clockOffsetSeconds = 3 * 3600;
  a.utcStartMs = 1615786199000;
  return a;
}

} // namespace

// Unknown values stay empty rather than 0, and the exported GPX reads back
// as the same track through the program's own reader.
TEST(ExportTrack, CsvGeoJsonAndGpxRoundTrip) {
  const std::string csv = ExportTrack(TwoFixes(), MoscowClock(), ExportFormat::Csv);
  EXPECT_EQ(csv.substr(csv.find('\n') + 1),
            "2021-03-15T05:30:00Z,2021-03-15 08:30:00,1.000,55.7558000,-37.5000000,54.0,90.0,150.0\n"
            "2021-03-15T05:30:01.500Z,2021-03-15 08:30:01,2.500,55.7559000,-37.5000000,36.0,,\n");
  const std::string json = ExportTrack(TwoFixes(), MoscowClock(), ExportFormat::GeoJson);
  EXPECT_NE(json.find("\"coordinates\":[-37.5000000,55.7558000,150.0]"), std::string::npos);
  EXPECT_NE(json.find("\"course_deg\":null,\"elevation_m\":null"), std::string::npos);

  const GpsTrack back = ParseGpx(ExportTrack(TwoFixes(), MoscowClock(), ExportFormat::Gpx));
  EXPECT_TRUE(back.note.empty()) << back.note;
  ASSERT_EQ(back.fixes.size(), 2u);
  EXPECT_EQ(back.fixes[1].utcMs, 1615786201500);
  EXPECT_EQ(back.fixes[0].elevation, 150.0);
  EXPECT_EQ(back.fixes[1].speed, 10.0);
  EXPECT_FALSE(back.fixes[1].speedComputed);
  EXPECT_EQ(back.fixes[0].course, 90.0);

  EXPECT_EQ(ParseExportFormat("geojson"), ExportFormat::GeoJson);
  EXPECT_EQ(ParseExportFormat("kml"), std::nullopt);
}
