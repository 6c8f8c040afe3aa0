#pragma once

#include "app/RecordSource.h"

#include <cstdint>
#include <vector>

namespace orvo::test {

// A catalog without a thread: records as the accessors describe them, and a
// busy switch that makes every accessor refuse.
struct FakeRecord {
  int day = 15, month = 3, year = 21;
  int hour = 8, minute = 30, second = 0;
  std::uint32_t lengthMs = 60000;
  int mode = 0;
  int width = 720, height = 576;
  std::uint32_t fps = 25;
  std::uint32_t videoKbps = 1024, audioKbps = 64;
  bool checked = false, converted = false;
  bool hasTrack = false;
  RecordSource::Track track;
};

class FakeRecords : public RecordSource {
public:
  std::vector<FakeRecord> records;
  bool busy = false;

  bool GetTrack(std::uint32_t i, Track &track) const override {
    if (!ok(i) || !records[i].hasTrack)
      return false;
    track = records[i].track;
    return true;
  }
  std::uint32_t GetRecordCount() const override {
    return static_cast<std::uint32_t>(records.size());
  }
  bool GetRecordDate(std::uint32_t i, int &day, int &month, int &year) const override {
    if (!ok(i))
      return false;
    day = records[i].day, month = records[i].month, year = records[i].year;
    return true;
  }
  bool GetRecordTime(std::uint32_t i, int &hour, int &minute, int &second) const override {
    if (!ok(i))
      return false;
    hour = records[i].hour, minute = records[i].minute, second = records[i].second;
    return true;
  }
  bool GetRecordLength(std::uint32_t i, std::uint32_t &hours, int &minutes,
                       int &seconds) const override {
    if (!ok(i))
      return false;
    const std::uint64_t s = (std::uint64_t{records[i].lengthMs} + 500) / 1000;
    hours = static_cast<std::uint32_t>(s / 3600);
    minutes = static_cast<int>(s / 60 % 60);
    seconds = static_cast<int>(s % 60);
    return true;
  }
  bool GetRecordLengthMs(std::uint32_t i, std::uint32_t &ms) const override {
    if (!ok(i))
      return false;
    ms = records[i].lengthMs;
    return true;
  }
  bool GetRecordMode(std::uint32_t i, int &mode) const override {
    if (!ok(i))
      return false;
    mode = records[i].mode;
    return true;
  }
  bool GetFrameSize(std::uint32_t i, int &width, int &height) const override {
    if (!ok(i))
      return false;
    width = records[i].width, height = records[i].height;
    return true;
  }
  bool GetFps(std::uint32_t i, std::uint32_t &fps) const override {
    if (!ok(i))
      return false;
    fps = records[i].fps;
    return true;
  }
  bool GetBitrates(std::uint32_t i, std::uint32_t &audioKbps,
                   std::uint32_t &videoKbps) const override {
    if (!ok(i))
      return false;
    audioKbps = records[i].audioKbps, videoKbps = records[i].videoKbps;
    return true;
  }
  bool GetMarks(std::uint32_t i, bool &checked, bool &converted) const override {
    if (!ok(i))
      return false;
    checked = records[i].checked, converted = records[i].converted;
    return true;
  }
  bool SetChecked(std::uint32_t i, bool checked) override {
    if (!ok(i))
      return false;
    records[i].checked = checked;
    return true;
  }

private:
  bool ok(std::uint32_t i) const { return !busy && i < records.size(); }
};

} // namespace orvo::test
