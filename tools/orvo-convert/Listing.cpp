#include "Listing.h"

#include "engine/Storagex4tft.h"

namespace orvo {

namespace {

const char *ModeName(int mode) {
  static const char *const kNames[] = {"Linear", "Loop 1", "Loop 2", "Linear (all cards)",
                                       "Loop (all cards)"};
  return mode >= 0 && mode <= 4 ? kNames[mode] : "";
}

} // namespace

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
}

} // namespace orvo
