#include "player/ui/VirtualDevice.h"

#include "engine/VirtualRecord.h"

namespace orvo {

VirtualDevice::VirtualDevice(std::shared_ptr<TVirtualRecord> record, std::size_t segment,
                             QObject *parent)
    : QIODevice(parent), record_(std::move(record)), segment_(segment) {}

qint64 VirtualDevice::size() const {
  return static_cast<qint64>(record_->Segments()[segment_].size);
}

qint64 VirtualDevice::readData(char *data, qint64 maxSize) {
  const std::int64_t n = record_->Read(segment_, static_cast<std::uint64_t>(pos()), data,
                                       static_cast<std::size_t>(maxSize));
  if (n < 0)
    setErrorString(QString::fromStdString(record_->ErrorText()));
  return n;
}

} // namespace orvo
