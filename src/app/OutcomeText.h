#pragma once

#include "engine/Outcome.h"
#include "engine/Storagex4tft.h"

#include <string>

// The outcome of a record's conversion in words of the current language, for
// the window and the command line alike.
namespace orvo {

// "Fragment is damaged: /card/R…/DIR00000/F0000003.mp4 (its timestamps do
// not increase)".
std::string DescribeProblem(const ConvertProblem &problem);
// "Partly converted: <first problem>; More problems: 3", or the bare outcome.
std::string DescribeOutcome(const RecordOutcome &outcome);
// "Unreadable record R…: the record file is shorter than 60 bytes".
std::string DescribeUnreadable(const TStorageX4TFT::UnreadableRecord &record);
// The text id of the outcome's kind alone ("Converted", "Not converted"...).
int OutcomeTextId(OutcomeKind kind);

} // namespace orvo
