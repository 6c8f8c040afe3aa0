#include "gps/GpxReader.h"
#include "support/System.h"
#include "support/Tools.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace orvo;
using gps::ParseGpx;

namespace {

std::string Gpx(std::string_view version, std::string_view points) {
  return "<?xml version='1.0'?><gpx version='" + std::string(version) +
         "' xmlns='http://www.topografix.com/GPX/" +
         (version == "1.0" ? "1/0" : "1/1") + "'>" + std::string(points) + "</gpx>";
}

} // namespace

// The forms recorders and tools write: GPX 1.0 speed and course, GPX 1.1
// extensions under any prefix, routes, and speed worked out where none is
// given.
TEST(GpxReader, ReadsBothVersionsAndEveryPlaceOfSpeed) {
  const auto v10 = ParseGpx(Gpx("1.0", "<trk><trkseg>"
                                       "<trkpt lat='55.5' lon='+37.25'><ele>150.5</ele>"
                                       "<time>2021-03-15T05:30:00Z</time><course>400</course>"
                                       "<speed>12.5</speed></trkpt>"
                                       "</trkseg></trk>"));
  ASSERT_EQ(v10.fixes.size(), 1u);
  EXPECT_EQ(v10.fixes[0].utcMs, 1615786200000);
  EXPECT_DOUBLE_EQ(v10.fixes[0].longitude, 37.25);
  EXPECT_EQ(v10.fixes[0].elevation, 150.5);
  EXPECT_EQ(v10.fixes[0].speed, 12.5);
  EXPECT_FALSE(v10.fixes[0].speedComputed);
  EXPECT_EQ(v10.fixes[0].course, 40.0);

  const auto v11 = ParseGpx(Gpx(
      "1.1", "<trk><trkseg><trkpt lat='0' lon='0'><time>2021-03-15T08:30:00.5+03:00</time>"
             "<extensions><x:TrackPointExtension xmlns:x='urn:any'><x:speed>3</x:speed>"
             "</x:TrackPointExtension></extensions></trkpt></trkseg></trk>"
             "<rte><rtept lat='0' lon='0.001'><time>2021-03-15T05:30:10Z</time></rtept></rte>"));
  ASSERT_EQ(v11.fixes.size(), 2u);
  EXPECT_EQ(v11.fixes[0].utcMs, 1615786200500);
  EXPECT_EQ(v11.fixes[0].speed, 3);
  // 111.2 m along the equator in 9.5 s.
  EXPECT_TRUE(v11.fixes[1].speedComputed);
  EXPECT_NEAR(v11.fixes[1].speed, 11.70, 0.01);
  EXPECT_NEAR(*v11.fixes[1].course, 90.0, 0.01);
  EXPECT_TRUE(v11.note.empty());
}

// Every damage a card can carry gives a note or a count, never a failure,
// a wait or a blow-up.
TEST(GpxReader, HostileAndOddFiles) {
  const std::string t = "<time>2021-01-01T00:00:0";
  const auto counted = ParseGpx(Gpx("1.1", "<trk><trkseg>"
                                           "<trkpt lat='91' lon='0'>" + t + "0Z</time></trkpt>"
                                           "<trkpt lat='x' lon='0'>" + t + "0Z</time></trkpt>"
                                           "<trkpt lat='1' lon='1'></trkpt>"
                                           "<trkpt lat='1' lon='1'>" + t + "5Z</time></trkpt>"
                                           "<trkpt lat='1' lon='1'>" + t + "5Z</time></trkpt>"
                                           "<trkpt lat='1' lon='1'>" + t + "3Z</time></trkpt>"
                                           "</trkseg></trk>"));
  EXPECT_EQ(counted.fixes.size(), 1u);
  EXPECT_EQ(counted.skipped, 3u);
  EXPECT_EQ(counted.dropped, 2u);

  const std::string whole =
      Gpx("1.1", "<trk><trkseg><trkpt lat='1' lon='1'>" + t + "1Z</time></trkpt><trkpt lat='1'");
  const auto cut = ParseGpx(std::string_view(whole).substr(0, whole.size() - 6));
  EXPECT_EQ(cut.fixes.size(), 1u);
  EXPECT_NE(cut.note.find("damaged"), std::string::npos);

  const auto bomb = ParseGpx("<!DOCTYPE gpx [<!ENTITY a 'aaaaaaaaaa'><!ENTITY b '&a;&a;&a;'>]>"
                             "<gpx>&b;</gpx>");
  EXPECT_TRUE(bomb.fixes.empty());
  EXPECT_FALSE(bomb.note.empty());

  EXPECT_FALSE(ParseGpx(std::string(100, '<') + std::string(100, 'a')).note.empty());
  std::string open, close;
  for (int i = 0; i < 1000; ++i) {
    open += "<e>";
    close += "</e>";
  }
  EXPECT_FALSE(ParseGpx(open + close).note.empty());

  test::TempDir dir;
  const std::string big = dir.File("big.gpx"), fifo = dir.File("fifo.gpx");
  std::ofstream(big).seekp(gps::kMaxGpxBytes) << ' ';
  EXPECT_NE(gps::ReadGpx(big).note.find("64 MiB"), std::string::npos);
  EXPECT_FALSE(gps::ReadGpx(dir.File("none.gpx")).note.empty());
  EXPECT_FALSE(gps::ReadGpx(test::NullDevice()).note.empty());
  if (test::MakeFifo(fifo)) {
    EXPECT_FALSE(gps::ReadGpx(fifo).note.empty());
  }
}
