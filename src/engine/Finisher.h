#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace orvo {

// Runs jobs on a thread of its own, one after another in the order they were
// posted. Conversion hands it what only waits for the disk (flushing a part,
// reading it back, the renames, the mark), so that copying the next part or
// record goes on meanwhile. At most `depth` jobs wait: the copying never runs
// further ahead than that. Without a thread (the system gave none) each job
// runs where it is posted, which is slower but the same.
class TFinisher {
public:
  explicit TFinisher(std::size_t depth);
  // Runs every job posted, then ends the thread.
  ~TFinisher();
  TFinisher(const TFinisher &) = delete;
  TFinisher &operator=(const TFinisher &) = delete;

  void Post(std::function<void()> job);
  // Returns once every job posted so far has run.
  void Drain();

private:
  void Run();

  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<std::function<void()>> jobs_;
  bool busy_ = false; // a job taken from the queue is running
  bool ending_ = false;
  std::size_t depth_;
  std::thread thread_;
};

} // namespace orvo
