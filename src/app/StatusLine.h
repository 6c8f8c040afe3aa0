#pragma once

// The one text of the main window's status bar, made from the window's
// state: the input folder and its card, the running job, the records found
// and shown, and the last job's result. The window reports each change; the
// text is made again on every change and whenever the language changes.
//
// What the text tells, first match wins:
//   1. a running job: what it does (and its progress), or that it is being
//      cancelled;
//   2. the last result (conversion, file test), until a later change of the
//      card, the records or the job replaces it;
//   3. no input folder chosen: where to choose one;
//   4. the card not ready: its folder and that it must be inserted or
//      another folder chosen;
//   5. records scanned: how many were found, shown and unreadable (or that
//      the folder has none);
//   6. the card ready but not scanned: its folder and that Scan lists it.
// Before the card's state is first known, the text is empty.

#include "app/JobState.h"
#include "engine/SourceCompare.h"
#include "engine/VideoFileTest.h"

#include <cstdint>
#include <functional>
#include <string>

namespace orvo {

class StatusLine {
public:
  enum class Card : std::uint8_t { Unknown, NotReady, Ready };

  struct Counts {
    bool scanned = false;
    std::uint32_t found = 0;
    std::uint32_t shown = 0;
    std::uint32_t unreadable = 0;
  };

  // Called after every change with the new text.
  void OnChange(std::function<void(const std::string &)> changed);

  // The input folder as the user sees it (native separators).
  void SetFolder(const std::string &folder);
  void SetCard(Card card);
  // `cancelling`: the job's cancel was pressed; it runs until the worker
  // stops.
  void SetJob(JobState::Job job, bool cancelling = false);
  // A conversion's share done, 0 to 100.
  void SetProgress(int percent);
  void SetCounts(const Counts &counts);
  void SetConversionResult(bool cancelled, bool succeeded, int converted, int failed);
  void SetFileTestResult(const VideoFileTestResult &result, bool compared,
                         const SourceCompareResult &compare);
  // The language changed: the same state in the new words.
  void Refresh();

  std::string Text() const;

private:
  enum class Result : std::uint8_t { None, ConvertCancelled, Converted, ConvertFailed, FileTest };

  std::string JobText() const;
  std::string ResultText() const;
  std::string CardText() const;
  std::string CountsText() const;
  void Changed();

  std::function<void(const std::string &)> changed_;
  std::string folder_;
  Card card_ = Card::Unknown;
  JobState::Job job_ = JobState::Job::None;
  bool cancelling_ = false;
  int percent_ = 0;
  Counts counts_;
  Result result_ = Result::None;
  int converted_ = 0;
  int failed_ = 0;
  VideoFileTestResult fileTest_;
  bool compared_ = false;
  SourceCompareResult compare_;
};

} // namespace orvo
