#include "engine/Storagex4tft.h"

#include "mp4/Mp4container.h"
#include "platform/FileSystem.h"

#include <algorithm>

namespace orvo {

// Closes the open output part. False when the file could not be finished
// (its index not written, typically a full disk): such a part does not play.
bool TStorageX4TFT::ClosePart() {
  Writer->Close();
  return Writer->LastFinishSucceeded();
}

// Copies one fragment into the current part, opening the part first when
// none is open. `partOpen` says whether a part is open afterwards (it stays
// open after a failure inside the fragment, and after a failed track set-up
// so that what it holds is finished normally).
TStorageX4TFT::FragmentResult TStorageX4TFT::CopyFragment(const std::string &path,
                                                          std::uint32_t index, std::uint32_t &part,
                                                          bool &partOpen,
                                                          std::uint32_t offsets[8]) {
  if (!Reader->OpenRead(path))
    return FragmentResult::Skipped;
  bool ok = true;
  if (!partOpen) {
    if (!Writer->OpenWrite(OutputFolder + OutputFileName(index, part))) {
      Reader->Close();
      return FragmentResult::RecordEnds;
    }
    partOpen = true;
    const int tracks = Reader->GetTrackCount();
    for (int k = 0; k < tracks; ++k) {
      std::int8_t type = 2;
      std::string handler, language;
      std::uint8_t codecType = 0;
      std::int32_t codecSize = 0;
      bool trackOk = Reader->GetTrackInfo(k, type, handler, language);
      TrackTypes[k] = static_cast<std::uint8_t>(type);
      trackOk = trackOk && Writer->AddTrack(type, handler, language) != -1;
      const std::uint8_t *config =
          trackOk ? Reader->GetCodecConfig(k, codecType, codecSize) : nullptr;
      if (config)
        trackOk = Writer->SetCodecConfig(k, codecType, codecSize, config);
      offsets[k] = 0;
      if (!trackOk) {
        Reader->Close();
        return FragmentResult::RecordEnds;
      }
    }
  }

  int track = 0;
  std::uint32_t sample = 0;
  while (Reader->NextSample(track, sample)) {
    std::uint32_t size = 0, timestamp = 0;
    bool key = false;
    if (!Reader->GetSampleInfo(track, sample, size, timestamp, key) ||
        size > static_cast<std::uint32_t>(SampleBufferSize)) {
      ok = false;
      break;
    }
    if (TrackTypes[track] == 1) // every AAC frame decodes on its own
      key = true;
    if (!Reader->ReadSample(track, sample, SampleBuffer.get(),
                            static_cast<std::uint32_t>(SampleBufferSize)) ||
        !Writer->WriteSample(track, SampleBuffer.get(), size, offsets[track] + timestamp, key)) {
      ok = false;
      break;
    }
  }
  ProgressDone = ProgressDone + 1;
  const int tracks = std::min(Reader->GetTrackCount(), 8);
  for (int k = 0; k < tracks; ++k)
    offsets[k] += Reader->TrackDuration[k];
  if (Writer->GetPosition() > MaxOutputLength) {
    if (!ClosePart())
      ok = false;
    partOpen = false;
    ++part;
  }
  Reader->Close();
  return ok ? FragmentResult::Copied : FragmentResult::Damaged;
}

// Converts one record into its parts. False when anything failed; a record
// whose output is incomplete is not marked converted, so that it stays
// selected and can be converted again.
bool TStorageX4TFT::ConvertRecord(std::uint32_t index) {
  RecordEntry &entry = Entries[index];
  const std::string folder = RecordFolderPath(index);
  std::uint32_t part = 0;
  bool partOpen = false;
  bool ok = true;
  std::uint32_t offsets[8] = {};

  for (std::uint32_t j = entry.FirstFragment; j <= entry.LastFragment; ++j) {
    if (CancelRequested)
      break;
    const std::string path = folder + FragmentFolderName(j) + FragmentFileName(j);
    const FragmentResult r = CopyFragment(path, index, part, partOpen, offsets);
    if (r != FragmentResult::Copied)
      ok = false;
    if (r == FragmentResult::RecordEnds)
      break;
    if (j == entry.LastFragment) // the last fragment number may be 0xFFFFFFFF
      break;
  }
  if (partOpen && !ClosePart())
    ok = false;

  if (entry.Attributes & kAttrGps) {
    const std::string gps = GpsFileName(index);
    platform::CopyFileOverwrite(folder + gps, OutputFolder + gps);
  }
  if (ok) {
    entry.Marks = static_cast<std::uint8_t>((entry.Marks & ~kMarkChecked) | kMarkConverted);
    if (HasValidSignature(entry))
      RewriteRecordFile(folder, entry);
  }
  return ok;
}

void TStorageX4TFT::RewriteRecordFile(const std::string &folder, const RecordEntry &entry) {
  // Failures are not reported: the output is complete, only the mark is lost.
  platform::RewriteFileHead(folder + RecordFileName, &entry, sizeof entry);
}

bool TStorageX4TFT::ConvertChecked() {
  bool expected = false;
  if (!Busy.compare_exchange_strong(expected, true))
    return true;
  CancelRequested = false;
  std::int64_t total = 0;
  for (std::uint32_t i = 0; i < Count; ++i) {
    if (Entries[i].Marks & kMarkChecked)
      total += Entries[i].FragmentCount;
  }
  ProgressDone = 0;
  ProgressTotal = static_cast<std::int32_t>(total);
  bool result = true;

  for (std::uint32_t i = 0; i < Count && !CancelRequested; ++i) {
    if (!(Entries[i].Marks & kMarkChecked))
      continue;
    if (!ConvertRecord(i))
      result = false;
  }
  ProgressDone = 0;
  ProgressTotal = 0;
  Busy = false;
  return result;
}

} // namespace orvo
