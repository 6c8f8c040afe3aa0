#include "app/RecordSource.h"

#include "engine/Secondthread.h"

namespace orvo {

std::uint32_t WorkerRecords::GetRecordCount() const {
  return worker_.GetRecordCount();
}

bool WorkerRecords::GetRecordDate(std::uint32_t i, int &day, int &month, int &year) const {
  return worker_.GetRecordDate(i, day, month, year);
}

bool WorkerRecords::GetRecordTime(std::uint32_t i, int &hour, int &minute, int &second) const {
  return worker_.GetRecordTime(i, hour, minute, second);
}

bool WorkerRecords::GetRecordLength(std::uint32_t i, std::uint32_t &hours, int &minutes,
                                    int &seconds) const {
  return worker_.GetRecordLength(i, hours, minutes, seconds);
}

bool WorkerRecords::GetRecordLengthMs(std::uint32_t i, std::uint32_t &ms) const {
  return worker_.GetRecordLengthMs(i, ms);
}

bool WorkerRecords::GetRecordMode(std::uint32_t i, int &mode) const {
  return worker_.GetRecordMode(i, mode);
}

bool WorkerRecords::GetFrameSize(std::uint32_t i, int &width, int &height) const {
  return worker_.GetFrameSize(i, width, height);
}

bool WorkerRecords::GetFps(std::uint32_t i, std::uint32_t &fps) const {
  return worker_.GetFps(i, fps);
}

bool WorkerRecords::GetBitrates(std::uint32_t i, std::uint32_t &audioKbps,
                                std::uint32_t &videoKbps) const {
  return worker_.GetBitrates(i, audioKbps, videoKbps);
}

bool WorkerRecords::GetMarks(std::uint32_t i, bool &checked, bool &converted) const {
  return worker_.GetMarks(i, checked, converted);
}

bool WorkerRecords::GetTrack(std::uint32_t i, Track &track) const {
  TStorageX4TFT::TrackSummary s;
  if (!worker_.GetEngine().GetTrackSummary(i, s))
    return false;
  track = {s.aligned, s.utcStartMs, s.clockOffsetSeconds, s.points};
  return true;
}

bool WorkerRecords::SetChecked(std::uint32_t i, bool checked) {
  return worker_.SetChecked(i, checked);
}

} // namespace orvo
