#include "player/ui/VirtualDevice.h"

#include "engine/VirtualRecord.h"

namespace orvo {

VirtualDevice::VirtualDevice(std::shared_ptr<TVirtualRecord> record, std::size_t segment,
                             QObject *parent)
    : QIODevice(parent), record_(std::move(record)), segment_(segment),
      size_(static_cast<qint64>(record_->Segments()[segment_].size)) {}

qint64 VirtualDevice::size() const {
  return size_;
}

void VirtualDevice::Detach() {
  std::lock_guard<std::mutex> hold(lock_);
  record_.reset();
}

qint64 VirtualDevice::readData(char *data, qint64 maxSize) {
  std::lock_guard<std::mutex> hold(lock_);
  if (!record_)
    return -1;
  const std::int64_t n = record_->Read(segment_, static_cast<std::uint64_t>(pos()), data,
                                       static_cast<std::size_t>(maxSize));
  if (n < 0)
    setErrorString(QString::fromStdString(record_->ErrorText()));
  return n;
}

} // namespace orvo
