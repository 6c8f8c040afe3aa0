#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace orvo {

// Asks whether the input folder's drive is ready on a thread of its own, and
// reads the card's configuration file there when asked to: a card reader
// that hangs on a dead card stalls this thread, never the window. The window
// asks on its polling ticks and takes the answer on a later tick; a question
// asked while the last one is still out is dropped.
class DriveProbe {
public:
  using Check = std::function<bool(std::uint8_t drive, const std::string &inPath)>;
  // Without `check`, the program's IsDriveReady.
  explicit DriveProbe(Check check = {});
  // Waits for a check that is still running; a hung one holds the exit.
  ~DriveProbe();
  DriveProbe(const DriveProbe &) = delete;
  DriveProbe &operator=(const DriveProbe &) = delete;

  struct Answer {
    bool ready = false;
    std::string inPath; // the folder it was about
    // With readConfig and a ready drive: the configuration file's bytes,
    // when it could be read.
    bool configRead = false;
    std::string config;
  };
  // Starts a check unless one is running; answers whether it did.
  bool Ask(std::uint8_t drive, const std::string &inPath, bool readConfig = false);
  // The answer of the last finished check, once: false while none is new.
  bool TakeAnswer(Answer &answer);

private:
  void Run();

  Check check_;
  std::mutex mutex_;
  std::condition_variable wake_;
  bool stop_ = false;
  bool asked_ = false;    // a question waits for the thread
  bool running_ = false;  // the thread is checking
  bool answered_ = false; // an answer waits for the window
  std::uint8_t drive_ = 255;
  std::string askedPath_;
  bool readConfig_ = false;
  Answer answer_;
  std::thread thread_;
};

} // namespace orvo
