#pragma once

#include <cstddef>
#include <cstdint>

namespace orvo {

class TSecondThread;

// The record properties the list and the filter read: the catalog accessors
// of the worker thread, behind an interface so that the logic can be fed
// without a thread. Every accessor answers false while a job runs.
class RecordSource {
public:
  virtual ~RecordSource() = default;
  virtual std::uint32_t GetRecordCount() const = 0;
  virtual bool GetRecordDate(std::uint32_t i, int &day, int &month, int &year) const = 0;
  virtual bool GetRecordTime(std::uint32_t i, int &hour, int &minute, int &second) const = 0;
  virtual bool GetRecordLength(std::uint32_t i, std::uint32_t &hours, int &minutes,
                               int &seconds) const = 0;
  virtual bool GetRecordLengthMs(std::uint32_t i, std::uint32_t &ms) const = 0;
  virtual bool GetRecordMode(std::uint32_t i, int &mode) const = 0;
  virtual bool GetFrameSize(std::uint32_t i, int &width, int &height) const = 0;
  virtual bool GetFps(std::uint32_t i, std::uint32_t &fps) const = 0;
  virtual bool GetBitrates(std::uint32_t i, std::uint32_t &audioKbps,
                           std::uint32_t &videoKbps) const = 0;
  virtual bool GetMarks(std::uint32_t i, bool &checked, bool &converted) const = 0;
  virtual bool SetChecked(std::uint32_t i, bool checked) = 0;
  // The record's GPS track as the scan found it: its start in UTC (ms since
  // 1970, when placed), the recorder's clock offset and the points.
  struct Track {
    bool aligned = false;
    std::int64_t utcStartMs = 0;
    std::int64_t clockOffsetSeconds = 0;
    std::size_t points = 0;
  };
  virtual bool GetTrack(std::uint32_t, Track &) const { return false; }
};

// The worker's catalog as a RecordSource.
class WorkerRecords final : public RecordSource {
public:
  explicit WorkerRecords(TSecondThread &worker) : worker_(worker) {}
  std::uint32_t GetRecordCount() const override;
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
  TSecondThread &worker_;
};

} // namespace orvo
