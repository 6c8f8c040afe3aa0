#pragma once

#include <cstdint>

namespace orvo {

// The main window's jobs and the card they work on, and which commands that
// state allows. Every command asks here before it starts anything, so a card
// coming back or a second click during a job changes nothing until the job's
// End has run.
class JobState {
public:
  // FileTest: the video file test of the utilities page, which needs no
  // card; Prepare: card preparation, which checks the card itself.
  enum class Job : std::uint8_t { None, Scan, Convert, Delete, FileTest, Prepare };

  struct Commands {
    bool scan = false;     // Scan, or its Cancel while a scan runs
    bool convert = false;  // Conversion, or its Cancel while a conversion runs
    bool records = false;  // Select all, Deselect all, Delete
    bool filtering = false;
    bool setup = false;    // the program setup dialog
    bool card = false;     // preparation and formatting
  };

  Job Running() const { return job_; }
  bool Busy() const { return job_ != Job::None; }
  bool DriveReady() const { return driveReady_; }
  // Records are listed from a scan of the current input folder.
  bool Listed() const { return listed_; }

  // False, changing nothing, while another job runs or without a card.
  bool Begin(Job job);
  // The job's request was refused by the worker: as if it never began.
  void Undo() { End(); }
  void End();
  // The running job's cancel button was pressed; it stays grey until End.
  void CancelPressed() { cancelPressed_ = true; }
  bool Cancelling() const { return cancelPressed_; }

  void SetDriveReady(bool ready) { driveReady_ = ready; }
  // The list holds a scan's records (true), or was dropped because the card
  // or the input folder changed.
  void SetListed(bool listed) { listed_ = listed; }

  Commands Allowed() const;

private:
  Job job_ = Job::None;
  bool driveReady_ = false;
  bool listed_ = false;
  bool cancelPressed_ = false;
};

} // namespace orvo
