#include "gps/TimedText.h"

#include "gps/GpsTime.h"
#include "gps/Number.h"

#include <algorithm>

namespace orvo::gps {

Bytes Tx3gSampleEntry() {
  Bytes box = StartSampleEntry("tx3g");
  PutBe(box, 0, 4);     // display flags
  box.push_back(1);     // horizontal justification: centre
  box.push_back(0xFF);  // vertical justification: bottom (-1)
  PutBe(box, 0, 4);     // background colour, RGBA: clear
  PutBe(box, 0, 8);     // default text box: top, left, bottom, right (the player's)
  PutBe(box, 0, 2);     // style record: first character
  PutBe(box, 0, 2);     //   last character
  PutBe(box, 1, 2);     //   font id
  box.push_back(0);     //   face style: plain
  box.push_back(18);    //   font size
  PutBe(box, 0xFFFFFFFF, 4); // text colour, RGBA: white
  constexpr std::string_view font = "Serif";
  PutBe(box, 8 + 2 + 3 + font.size(), 4);
  PutText(box, "ftab");
  PutBe(box, 1, 2); // one font
  PutBe(box, 1, 2); // its id
  PutBe(box, font.size(), 1);
  PutText(box, font);
  FinishBox(box);
  return box;
}

Bytes Tx3gSample(std::string_view text) {
  Bytes out;
  const std::size_t size = std::min<std::size_t>(text.size(), 0xFFFF);
  PutBe(out, size, 2);
  PutText(out, text.substr(0, size));
  return out;
}

std::string CueText(const GpsFix &fix, std::int64_t clockOffsetSeconds) {
  std::string text = FormatClock(fix.utcMs + clockOffsetSeconds * 1000) + "  " +
                     Fixed(fix.latitude, 5) + ", " + Fixed(fix.longitude, 5) + "  " +
                     Fixed(fix.speed * 3.6, 0) + " km/h";
  if (fix.elevation)
    text += "  " + Fixed(*fix.elevation, 0) + " m";
  return text;
}

std::vector<TimedSample> TimedTextSamples(const std::vector<PartFix> &fixes,
                                          std::int64_t partDurationMs,
                                          std::int64_t clockOffsetSeconds) {
  std::vector<TimedSample> samples;
  std::int64_t at = 0;
  for (std::size_t i = 0; i < fixes.size() && fixes[i].timeMs < partDurationMs; ++i) {
    if (fixes[i].timeMs > at)
      samples.push_back({at, fixes[i].timeMs - at, Tx3gSample("")});
    at = fixes[i].timeMs;
    const std::int64_t end =
        i + 1 < fixes.size() ? std::min(fixes[i + 1].timeMs, partDurationMs) : partDurationMs;
    samples.push_back({at, end - at, Tx3gSample(CueText(fixes[i].fix, clockOffsetSeconds))});
    at = end;
  }
  if (at < partDurationMs)
    samples.push_back({at, partDurationMs - at, Tx3gSample("")});
  return samples;
}

} // namespace orvo::gps
