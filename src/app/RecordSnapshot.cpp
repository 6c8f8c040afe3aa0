#include "app/RecordSnapshot.h"

namespace orvo {

namespace {
std::uint8_t Byte(int v) {
  return static_cast<std::uint8_t>(v);
}
bool Bytes(int a, int b, int c) {
  return a >= 0 && a < 256 && b >= 0 && b < 256 && c >= 0 && c < 256;
}
} // namespace

void RecordSnapshot::Take(const RecordSource &source) {
  const std::uint32_t n = source.GetRecordCount();
  rows_.assign(n, Row{});
  tracks_.assign(n, std::nullopt);
  for (std::uint32_t i = 0; i < n; ++i) {
    Row &r = rows_[i];
    if (Track t; source.GetTrack(i, t))
      tracks_[i] = t;
    int a = 0, b = 0, c = 0;
    // Dates and times are bytes of the record file.
    if (source.GetRecordDate(i, a, b, c) && Bytes(a, b, c)) {
      r.day = Byte(a), r.month = Byte(b), r.year = Byte(c);
      r.has |= kDate;
    }
    if (source.GetRecordTime(i, a, b, c) && Bytes(a, b, c)) {
      r.hour = Byte(a), r.minute = Byte(b), r.second = Byte(c);
      r.has |= kTime;
    }
    std::uint32_t u = 0, v = 0;
    if (source.GetRecordLength(i, u, a, b)) {
      r.lengthHours = u, r.lengthMinutes = Byte(a), r.lengthSeconds = Byte(b);
      r.has |= kLength;
    }
    if (source.GetRecordLengthMs(i, u)) {
      r.lengthMs = u;
      r.has |= kLengthMs;
    }
    if (source.GetRecordMode(i, a)) {
      r.mode = a;
      r.has |= kMode;
    }
    if (source.GetFrameSize(i, a, b)) {
      r.width = a, r.height = b;
      r.has |= kSize;
    }
    if (source.GetFps(i, u)) {
      r.fps = u;
      r.has |= kFps;
    }
    if (source.GetBitrates(i, u, v)) {
      r.audioKbps = u, r.videoKbps = v;
      r.has |= kBitrates;
    }
    bool checked = false, converted = false;
    if (source.GetMarks(i, checked, converted)) {
      r.checked = checked, r.converted = converted;
      r.has |= kMarks;
    }
  }
}

void RecordSnapshot::TakeMarks(const RecordSource &source) {
  for (std::uint32_t i = 0; i < rows_.size(); ++i) {
    bool checked = false, converted = false;
    if (source.GetMarks(i, checked, converted)) {
      rows_[i].checked = checked;
      rows_[i].converted = converted;
    }
  }
}

const RecordSnapshot::Row *RecordSnapshot::At(std::uint32_t i, Has what) const {
  return i < rows_.size() && (rows_[i].has & what) ? &rows_[i] : nullptr;
}

bool RecordSnapshot::GetRecordDate(std::uint32_t i, int &day, int &month, int &year) const {
  const Row *r = At(i, kDate);
  if (r)
    day = r->day, month = r->month, year = r->year;
  return r != nullptr;
}

bool RecordSnapshot::GetRecordTime(std::uint32_t i, int &hour, int &minute, int &second) const {
  const Row *r = At(i, kTime);
  if (r)
    hour = r->hour, minute = r->minute, second = r->second;
  return r != nullptr;
}

bool RecordSnapshot::GetRecordLength(std::uint32_t i, std::uint32_t &hours, int &minutes,
                                     int &seconds) const {
  const Row *r = At(i, kLength);
  if (r)
    hours = r->lengthHours, minutes = r->lengthMinutes, seconds = r->lengthSeconds;
  return r != nullptr;
}

bool RecordSnapshot::GetRecordLengthMs(std::uint32_t i, std::uint32_t &ms) const {
  const Row *r = At(i, kLengthMs);
  if (r)
    ms = r->lengthMs;
  return r != nullptr;
}

bool RecordSnapshot::GetRecordMode(std::uint32_t i, int &mode) const {
  const Row *r = At(i, kMode);
  if (r)
    mode = r->mode;
  return r != nullptr;
}

bool RecordSnapshot::GetFrameSize(std::uint32_t i, int &width, int &height) const {
  const Row *r = At(i, kSize);
  if (r)
    width = r->width, height = r->height;
  return r != nullptr;
}

bool RecordSnapshot::GetFps(std::uint32_t i, std::uint32_t &fps) const {
  const Row *r = At(i, kFps);
  if (r)
    fps = r->fps;
  return r != nullptr;
}

bool RecordSnapshot::GetBitrates(std::uint32_t i, std::uint32_t &audioKbps,
                                 std::uint32_t &videoKbps) const {
  const Row *r = At(i, kBitrates);
  if (r)
    audioKbps = r->audioKbps, videoKbps = r->videoKbps;
  return r != nullptr;
}

bool RecordSnapshot::GetMarks(std::uint32_t i, bool &checked, bool &converted) const {
  const Row *r = At(i, kMarks);
  if (r)
    checked = r->checked, converted = r->converted;
  return r != nullptr;
}

bool RecordSnapshot::GetTrack(std::uint32_t i, Track &track) const {
  if (i >= tracks_.size() || !tracks_[i])
    return false;
  track = *tracks_[i];
  return true;
}

bool RecordSnapshot::SetChecked(std::uint32_t i, bool checked) {
  if (i >= rows_.size())
    return false;
  rows_[i].checked = checked;
  return true;
}

} // namespace orvo
