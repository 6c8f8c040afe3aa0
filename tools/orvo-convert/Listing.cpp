#include "Listing.h"

#include "Escape.h"

#include "app/OutcomeText.h"
#include "engine/Storagex4tft.h"
#include "gps/GpsTime.h"
#include "settings/AddedTexts.h"
#include "settings/Stringcode.h"

#include <string>

namespace orvo {

namespace {

const char *ModeName(int mode) {
  static const char *const kNames[] = {"Linear", "Loop 1", "Loop 2", "Linear (all cards)",
                                       "Loop (all cards)"};
  return mode >= 0 && mode <= 4 ? kNames[mode] : "";
}

} // namespace

void PrintCatalogJson(const TStorageX4TFT &engine, std::FILE *out) {
  std::fputs("{\"records\": [", out);
  for (std::uint32_t i = 0; i < engine.GetRecordCount(); ++i) {
    RecordEntry e;
    int mode = -1;
    std::uint32_t fps = 0, audio = 0, video = 0;
    bool checked = false, converted = false;
    if (!engine.GetEntry(i, e))
      continue;
    engine.GetRecordMode(i, mode);
    engine.GetFps(i, fps);
    engine.GetBitrates(i, audio, video);
    engine.GetMarks(i, checked, converted);
    const std::string folder = engine.RecordFolderName(i);
    // The track tells the recorder's zone: the start in UTC and the offset.
    gps::GpsTrack track;
    gps::TrackAlignment alignment;
    std::string utc = "null", offset = "null";
    if (engine.GetRecordTrack(i, track, alignment) && alignment.aligned) {
      utc = JsonString(gps::FormatIsoTime(alignment.utcStartMs));
      offset = std::to_string(alignment.clockOffsetSeconds);
    }
    char when[48];
    // The recorder's clock knows no time zone, so neither does this.
    std::snprintf(when, sizeof when, "%04d-%02d-%02dT%02d:%02d:%02d", 2000 + e.Year, e.Month, e.Day,
                  e.Hour, e.Minute, e.Second);
    std::fprintf(out,
                 "%s\n  {\"index\": %u, \"folder\": %s, \"record_number\": %u, "
                 "\"start\": \"%s\", \"length_ms\": %u, \"mode\": %d, \"mode_name\": %s, "
                 "\"width\": %u, \"height\": %u, \"fps\": %u, \"video_kbps\": %u, "
                 "\"audio_kbps\": %u, \"fragments\": %d, \"gps\": %s, \"converted\": %s, "
                 "\"checked\": %s, \"utc_start\": %s, \"gps_points\": %zu, "
                 "\"clock_offset_s\": %s}",
                 i == 0 ? "" : ",", i, JsonString(folder).c_str(), e.RecordNumber, when,
                 e.DurationMs, mode, mode < 0 ? "null" : JsonString(ModeName(mode)).c_str(),
                 e.Width, e.Height, fps, video, audio, e.FragmentCount,
                 (e.Attributes & kAttrGps) ? "true" : "false", converted ? "true" : "false",
                 checked ? "true" : "false", utc.c_str(), track.fixes.size(), offset.c_str());
  }
  std::fputs("\n], \"unreadable\": [", out);
  for (std::uint32_t i = 0; i < engine.GetUnreadableCount(); ++i) {
    TStorageX4TFT::UnreadableRecord r;
    if (engine.GetUnreadable(i, r))
      std::fprintf(out, "%s\n  {\"folder\": %s, \"reason\": %s}", i == 0 ? "" : ",",
                   JsonString(r.folder).c_str(),
                   JsonString(r.reasonTextId != 0 ? GetText(r.reasonTextId) : r.reason).c_str());
  }
  std::fputs("\n]}\n", out);
}

void PrintCatalog(const TStorageX4TFT &engine, std::FILE *out) {
  std::fprintf(out, "%5s  %-10s  %-8s  %-9s  %-18s  %-9s  %3s  %-19s  %s\n", "Index", "Date",
               "Time", "Length", "Mode", "Size", "FPS", "Bitrate video/audio", "Converted");
  for (std::uint32_t i = 0; i < engine.GetRecordCount(); ++i) {
    int day = 0, month = 0, year = 0, hour = 0, minute = 0, second = 0, mode = -1;
    int lenMin = 0, lenSec = 0, width = 0, height = 0;
    std::uint32_t lenHours = 0, fps = 0, audio = 0, video = 0;
    bool checked = false, converted = false;
    engine.GetRecordDate(i, day, month, year);
    engine.GetRecordTime(i, hour, minute, second);
    engine.GetRecordLength(i, lenHours, lenMin, lenSec);
    engine.GetRecordMode(i, mode);
    engine.GetFrameSize(i, width, height);
    engine.GetFps(i, fps);
    engine.GetBitrates(i, audio, video);
    engine.GetMarks(i, checked, converted);
    char size[24], bitrate[40], length[24];
    std::snprintf(size, sizeof size, "%dx%d", width, height);
    std::snprintf(bitrate, sizeof bitrate, "%u/%u kbps", video, audio);
    std::snprintf(length, sizeof length, "%u:%02d:%02d", lenHours, lenMin, lenSec);
    std::fprintf(out, "%5u  %02d.%02d.%04d  %02d:%02d:%02d  %9s  %-18s  %-9s  %3u  %-19s  %s\n", i,
                 day, month, 2000 + year, hour, minute, second, length, ModeName(mode), size, fps,
                 bitrate, converted ? "yes" : "no");
  }
  for (std::uint32_t i = 0; i < engine.GetUnreadableCount(); ++i) {
    TStorageX4TFT::UnreadableRecord r;
    if (engine.GetUnreadable(i, r))
      std::fprintf(out, "%s\n", PrintableText(DescribeUnreadable(r)).c_str());
  }
}

} // namespace orvo
