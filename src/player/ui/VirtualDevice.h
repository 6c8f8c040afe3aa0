#pragma once

#include <QIODevice>

#include <cstddef>
#include <memory>
#include <mutex>

namespace orvo {

class TVirtualRecord;

// One segment of a record played from the card, as a random-access device:
// the player reads the file that is never written, and every read goes to
// the fragments. A read the card refuses is an error of the device, with
// the record's reason.
class VirtualDevice : public QIODevice {
  Q_OBJECT
public:
  VirtualDevice(std::shared_ptr<TVirtualRecord> record, std::size_t segment,
                QObject *parent = nullptr);
  bool isSequential() const override { return false; }
  qint64 size() const override;
  // Lets the record go; the player's streaming thread may still hold the
  // device for a moment, so it is kept (reading nothing) rather than
  // deleted under it.
  void Detach();

protected:
  qint64 readData(char *data, qint64 maxSize) override;
  qint64 writeData(const char *, qint64) override { return -1; }

private:
  mutable std::mutex lock_;
  std::shared_ptr<TVirtualRecord> record_;
  std::size_t segment_;
  qint64 size_;
};

} // namespace orvo
