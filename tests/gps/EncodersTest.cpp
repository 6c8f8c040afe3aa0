#include "gps/Camm.h"
#include "gps/Gpmf.h"
#include "gps/Location.h"
#include "gps/TimedText.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace orvo::gps;

namespace {

// 2021-03-15 05:30:00 UTC, 54 km/h due north, 150 m up.
const GpsFix kFix{1615786200000, 55.7558, 37.6173, 150.0, 15.0, false, 0.0, false};

std::string Hex(const Bytes &b) {
  static const char digits[] = "0123456789abcdef";
  std::string s;
  for (std::uint8_t c : b) {
    s += digits[c >> 4];
    s += digits[c & 15];
  }
  return s;
}

// The offset of `key` in a GPMF sample, checked to sit on a 4-byte boundary.
std::size_t Find(const Bytes &b, std::string_view key) {
  const auto it = std::search(b.begin(), b.end(), key.begin(), key.end());
  EXPECT_NE(it, b.end()) << key;
  const auto at = static_cast<std::size_t>(it - b.begin());
  EXPECT_EQ(at % 4, 0u) << key;
  return at;
}

} // namespace

TEST(Encoders, TimedTextBytesAndCues) {
  EXPECT_EQ(Hex(Tx3gSample("ab")), "00026162");
  EXPECT_EQ(Hex(Tx3gSampleEntry()), "00000040" "74783367" "000000000000" "0001"
                                    "00000000" "01ff" "00000000" "0000000000000000"
                                    "0000" "0000" "0001" "00" "12" "ffffffff"
                                    "00000012" "66746162" "0001" "0001" "05" "5365726966");
  EXPECT_EQ(CueText(kFix, 3 * 3600), "2021-03-15 08:30:00  55.75580, 37.61730  54 km/h  150 m");
  const auto cues = TimedTextSamples({{kFix, 500}, {kFix, 1500}}, 2500, 0);
  ASSERT_EQ(cues.size(), 3u);
  EXPECT_EQ(Hex(cues[0].bytes), "0000");
  EXPECT_EQ(cues[1].timeMs, 500);
  EXPECT_EQ(cues[1].durationMs, 1000);
  EXPECT_EQ(cues[2].durationMs, 1000);
}

TEST(Encoders, Iso6709Locations) {
  EXPECT_EQ(Iso6709(kFix), "+55.75580+037.61730+150.000/");
  EXPECT_EQ(Iso6709({0, -33.8688, -7.5, {}, 0, false, {}, false}), "-33.86880-007.50000/");
}

TEST(Encoders, GpmfKlvLayout) {
  EXPECT_EQ(Hex(GpmfSampleEntry()), "00000014" "67706d64" "000000000000" "0001" "00000000");
  const Bytes b = GpmfSample({{kFix, 0}});
  ASSERT_EQ(b.size() % 4, 0u);
  EXPECT_EQ(Hex(Bytes(b.begin(), b.begin() + 8)).substr(0, 12), "444556430001");
  EXPECT_EQ((b[6] << 8 | b[7]) + 8u, b.size());
  const std::size_t gps5 = Find(b, "GPS5");
  EXPECT_EQ(Hex(Bytes(b.begin() + gps5, b.end())),
            "47505335" "6c140001" "213ba8f0" "166bf1c8" "000249f0" "00003a98" "000005dc");
  const std::size_t gpsu = Find(b, "GPSU");
  EXPECT_EQ(std::string(b.begin() + gpsu + 8, b.begin() + gpsu + 24), "210315053000.000");
  EXPECT_EQ(Hex(Bytes(b.begin() + Find(b, "GPSF"), b.begin() + Find(b, "GPSF") + 12)),
            "47505346" "4c040001" "00000003");
  EXPECT_EQ(Hex(Bytes(b.begin() + Find(b, "SCAL") + 4, b.begin() + Find(b, "SCAL") + 28)),
            "6c040005" "00989680" "00989680" "000003e8" "000003e8" "00000064");
  Find(b, "STRM");
  Find(b, "UNIT");
  const auto seconds = GpmfSamples({{kFix, 1200}}, 2500);
  ASSERT_EQ(seconds.size(), 3u);
  EXPECT_EQ(seconds[2].durationMs, 500);
  // The first second has no fix: "no fix" and no GPS5.
  const std::string first(seconds[0].bytes.begin(), seconds[0].bytes.end());
  EXPECT_EQ(first.find("GPS5"), std::string::npos);
  EXPECT_EQ(first.substr(first.find("GPSF") + 8, 4), std::string(4, '\0'));
}

TEST(Encoders, CammGpsSampleLittleEndian) {
  EXPECT_EQ(Hex(CammSampleEntry()), "00000010" "63616d6d" "000000000000" "0001");
  EXPECT_EQ(GpsEpochSeconds(kFix.utcMs), 1299821400.0); // as readers count it, without leap seconds
  EXPECT_EQ(Hex(CammSample(kFix)), "00000600" "000000d66c5ed341" "03000000" "8d28ed0dbee04b40"
                                   "10e9b7af03cf4240" "00001643" "00000000" "00000000"
                                   "00000000" "00007041" "00000000" "00000000");
}
