#pragma once

#include "engine/SourceCompare.h"
#include "engine/VideoFileTest.h"

#include <string>

// The video file test and the comparison with the card in words of the
// current language, for the window.
namespace orvo {

// The text id of the verdict alone ("File was tested successfully"...).
int FileTestVerdictTextId(VideoFileVerdict verdict);
// "File read error: a sample cannot be read (track 1, sample 38; Input/output
// error)", or the bare verdict.
std::string DescribeFileTest(const VideoFileTestResult &result);
// "Made from record: R00000001_D210315_T083000, fragments 0–2"; empty when
// the file carries no integrity data.
std::string DescribeFileSource(const VideoFileTestResult &result);
// "File differs from its record on the card: a sample differs
// (/card/…/F0000002.mp4, track 1, sample 38)", and on a line of its own the
// fragments the comparison had to leave out. `brief` leaves out the place
// and those fragments.
std::string DescribeCompare(const SourceCompareResult &result, bool brief = false);

} // namespace orvo
