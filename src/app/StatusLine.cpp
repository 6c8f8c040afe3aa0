#include "app/StatusLine.h"

#include "app/CardPreparation.h"
#include "app/FileTestText.h"
#include "settings/AddedTexts.h"
#include "settings/Stringcode.h"

#include <algorithm>
#include <utility>

namespace orvo {

namespace {

// A caption as the user reads it, without its access-key marker.
std::string Caption(int id) {
  std::string text = GetText(id);
  std::erase(text, '&');
  return text;
}

} // namespace

void StatusLine::OnChange(std::function<void(const std::string &)> changed) {
  changed_ = std::move(changed);
  Changed();
}

void StatusLine::SetFolder(const std::string &folder) {
  if (folder == folder_)
    return;
  folder_ = folder;
  result_ = Result::None;
  Changed();
}

void StatusLine::SetCard(Card card) {
  if (card == card_)
    return;
  card_ = card;
  result_ = Result::None;
  Changed();
}

void StatusLine::SetJob(JobState::Job job, bool cancelling) {
  if (job == job_ && cancelling == cancelling_)
    return;
  if (job != job_) {
    percent_ = 0;
    if (job != JobState::Job::None)
      result_ = Result::None;
  }
  job_ = job;
  cancelling_ = cancelling;
  Changed();
}

void StatusLine::SetProgress(int percent) {
  percent = std::clamp(percent, 0, 100);
  if (percent == percent_)
    return;
  percent_ = percent;
  Changed();
}

void StatusLine::SetCounts(const Counts &counts) {
  counts_ = counts;
  result_ = Result::None;
  Changed();
}

void StatusLine::SetConversionResult(bool cancelled, bool succeeded, int converted, int failed) {
  result_ = cancelled ? Result::ConvertCancelled
            : succeeded ? Result::Converted
                        : Result::ConvertFailed;
  converted_ = converted;
  failed_ = failed;
  Changed();
}

void StatusLine::SetFileTestResult(const VideoFileTestResult &result, bool compared,
                                   const SourceCompareResult &compare) {
  result_ = Result::FileTest;
  fileTest_ = result;
  compared_ = compared;
  compare_ = compare;
  Changed();
}

void StatusLine::Refresh() {
  Changed();
}

void StatusLine::Changed() {
  if (changed_)
    changed_(Text());
}

std::string StatusLine::Text() const {
  if (job_ != JobState::Job::None)
    return JobText();
  if (result_ != Result::None)
    return ResultText();
  if (folder_.empty())
    return GetTextWith(txt::FirstStartHint, {Caption(2), GetText(45)});
  if (card_ == Card::Ready && counts_.scanned)
    return CountsText();
  return CardText();
}

std::string StatusLine::JobText() const {
  switch (job_) {
  case JobState::Job::Scan:
    return GetText(cancelling_ ? 24 : 25);
  case JobState::Job::Convert:
    if (cancelling_)
      return GetText(26);
  {
    std::string text = GetText(27);
    if (percent_ > 0)
      text.append(" ").append(std::to_string(percent_)).append("%");
    return text;
  }
  case JobState::Job::Delete:
    return GetTextWith(txt::DeletingIn, {folder_});
  case JobState::Job::FileTest:
    return GetText(281);
  case JobState::Job::Prepare:
    return GetTextWith(txt::PreparingIn, {folder_});
  case JobState::Job::None:
    break;
  }
  return {};
}

std::string StatusLine::ResultText() const {
  switch (result_) {
  case Result::ConvertCancelled:
    return GetText(26);
  case Result::Converted:
    return GetText(30);
  case Result::ConvertFailed:
    return GetText(31) + ": " +
           GetTextWith(txt::ConvertSummary, {std::to_string(converted_), std::to_string(failed_)});
  case Result::FileTest:
    // Comparing says more than the test, but only of a file that tested good.
    return compared_ && fileTest_.verdict == VideoFileVerdict::Good
               ? DescribeCompare(compare_, true)
               : DescribeFileTest(fileTest_);
  case Result::None:
    break;
  }
  return {};
}

std::string StatusLine::CardText() const {
  switch (card_) {
  case Card::Unknown:
    return {};
  case Card::Ready:
    return GetText(MsgDriveReady) + ": " + folder_ + "; " +
           GetTextWith(txt::NextScan, {Caption(3)});
  case Card::NotReady:
    break;
  }
  return GetText(MsgDriveNotReady) + ": " + folder_ + "; " +
         GetTextWith(txt::NextInsertCard, {Caption(2), GetText(45)});
}

std::string StatusLine::CountsText() const {
  if (counts_.found == 0 && counts_.unreadable == 0)
    return GetTextWith(txt::NoRecordsIn, {folder_});
  std::string text =
      counts_.unreadable > 0
          ? GetTextWith(txt::RecordsUnreadable,
                        {std::to_string(counts_.found), std::to_string(counts_.unreadable)})
          : GetText(29) + " " + std::to_string(counts_.found);
  if (counts_.shown < counts_.found)
    text += " (" + GetTextWith(txt::RecordsShown, {std::to_string(counts_.shown)}) + ")";
  return text;
}

} // namespace orvo
