#include "app/JobState.h"

namespace orvo {

bool JobState::Begin(Job job) {
  if (Busy() || job == Job::None ||
      (!driveReady_ && job != Job::FileTest && job != Job::Prepare))
    return false;
  job_ = job;
  cancelPressed_ = false;
  return true;
}

void JobState::End() {
  job_ = Job::None;
  cancelPressed_ = false;
}

JobState::Commands JobState::Allowed() const {
  Commands c;
  switch (job_) {
  case Job::None:
    c.setup = true;
    c.scan = c.filtering = c.card = driveReady_;
    c.convert = c.records = driveReady_ && listed_;
    break;
  // A card pulled out during a job takes the cancel button with it; the job
  // ends as the worker decides.
  case Job::Scan:
    c.scan = driveReady_ && !cancelPressed_;
    break;
  case Job::Convert:
    c.convert = driveReady_ && !cancelPressed_;
    break;
  case Job::Delete:
  case Job::FileTest:
  case Job::Prepare:
    break;
  }
  return c;
}

} // namespace orvo
