#pragma once

#include "app/RecordSource.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace orvo {

// A copy of the catalog's record properties, taken through the worker's
// accessors while it is idle. The window lists, sorts and filters from the
// copy, so no job can make a cell refuse halfway through, and no turn of the
// event loop reads the catalog more than once. Check marks are kept here
// until they are pushed to the catalog.
class RecordSnapshot final : public RecordSource {
public:
  // Reads every record of `source`; a property the source refuses stays
  // refused in the copy.
  void Take(const RecordSource &source);
  void Clear() {
    rows_.clear();
    tracks_.clear();
  }
  // The marks of every record again, after a job changed them.
  void TakeMarks(const RecordSource &source);

  std::uint32_t GetRecordCount() const override { return static_cast<std::uint32_t>(rows_.size()); }
  bool GetRecordDate(std::uint32_t i, int &day, int &month, int &year) const override;
  bool GetRecordTime(std::uint32_t i, int &hour, int &minute, int &second) const override;
  bool GetRecordLength(std::uint32_t i, std::uint32_t &hours, int &minutes,
                       int &seconds) const override;
  bool GetRecordLengthMs(std::uint32_t i, std::uint32_t &ms) const override;
  bool GetRecordMode(std::uint32_t i, int &mode) const override;
  bool GetFrameSize(std::uint32_t i, int &width, int &height) const override;
  bool GetFps(std::uint32_t i, std::uint32_t &fps) const override;
  bool GetBitrates(std::uint32_t i, std::uint32_t &audioKbps,
                   std::uint32_t &videoKbps) const override;
  bool GetMarks(std::uint32_t i, bool &checked, bool &converted) const override;
  bool SetChecked(std::uint32_t i, bool checked) override;
  bool GetTrack(std::uint32_t i, Track &track) const override;

private:
  enum Has : std::uint16_t {
    kDate = 1,
    kTime = 2,
    kLength = 4,
    kLengthMs = 8,
    kMode = 16,
    kSize = 32,
    kFps = 64,
    kBitrates = 128,
    kMarks = 256,
  };
  struct Row {
    std::uint16_t has = 0;
    std::uint8_t day = 0, month = 0, year = 0, hour = 0, minute = 0, second = 0;
    std::uint8_t lengthMinutes = 0, lengthSeconds = 0;
    bool checked = false, converted = false;
    std::int32_t mode = 0;
    std::uint32_t lengthHours = 0, lengthMs = 0;
    std::int32_t width = 0, height = 0;
    std::uint32_t fps = 0, audioKbps = 0, videoKbps = 0;
  };
  const Row *At(std::uint32_t i, Has what) const;
  std::vector<Row> rows_;
  std::vector<std::optional<Track>> tracks_; // few records have one
};

} // namespace orvo
