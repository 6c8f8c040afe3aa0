#include "engine/Storagex4tft.h"

#include "engine/Finisher.h"
#include "mp4/Mp4container.h"
#include "platform/FileSystem.h"

#include <algorithm>
#include <cstdio>
#include <new>

namespace orvo {

TStorageX4TFT::TStorageX4TFT()
    : Reader(std::make_unique<TMP4Container>()), Writer(std::make_unique<TMP4Container>()) {
  Entries.reset(new (std::nothrow) RecordEntry[kCatalogStep]);
  Capacity = Entries ? static_cast<std::int32_t>(kCatalogStep) : 0;
  SampleBuffer.reset(new (std::nothrow) std::uint8_t[kSampleBufferBytes]);
  SampleBufferSize = SampleBuffer ? kSampleBufferBytes : 0;
  // Event and parking records are many fragments of a few hundred KiB: one
  // read each instead of one per box and chunk.
  Reader->ReadSmallFilesWhole(4u << 20);
}

TStorageX4TFT::~TStorageX4TFT() {
  SampleBuffer.reset();
  Entries.reset();
  Writer.reset();
  Reader.reset();
}

bool TStorageX4TFT::GrowCatalog(std::uint32_t newCapacity) {
  std::unique_ptr<RecordEntry[]> grown(new (std::nothrow) RecordEntry[newCapacity]);
  if (!grown)
    return false;
  std::copy_n(Entries.get(), std::min<std::uint32_t>(Count, newCapacity), grown.get());
  Entries = std::move(grown);
  Capacity = static_cast<std::int32_t>(newCapacity);
  return true;
}

void TStorageX4TFT::GetProgress(std::int32_t &done, std::int32_t &total) const {
  const std::int32_t t = ProgressTotal;
  const std::int32_t d = ProgressDone;
  if (t <= 0) {
    done = 0;
    total = 1;
  } else {
    done = std::min(d, t);
    total = t;
  }
}

const RecordEntry *TStorageX4TFT::EntryAt(std::uint32_t index) const {
  if (Busy || index >= Count)
    return nullptr;
  return &Entries[index];
}

std::uint32_t TStorageX4TFT::GetUnreadableCount() const {
  return Busy ? 0 : static_cast<std::uint32_t>(Unreadable.size());
}

bool TStorageX4TFT::GetUnreadable(std::uint32_t index, UnreadableRecord &record) const {
  if (Busy || index >= Unreadable.size())
    return false;
  record = Unreadable[index];
  return true;
}

bool TStorageX4TFT::GetEntry(std::uint32_t index, RecordEntry &entry) const {
  const RecordEntry *e = EntryAt(index);
  if (!e)
    return false;
  entry = *e;
  return true;
}

bool TStorageX4TFT::GetRecordDate(std::uint32_t index, int &day, int &month, int &year) const {
  const RecordEntry *e = EntryAt(index);
  if (!e)
    return false;
  day = e->Day;
  month = e->Month;
  year = e->Year;
  return true;
}

bool TStorageX4TFT::GetRecordTime(std::uint32_t index, int &hour, int &minute, int &second) const {
  const RecordEntry *e = EntryAt(index);
  if (!e)
    return false;
  hour = e->Hour;
  minute = e->Minute;
  second = e->Second;
  return true;
}

bool TStorageX4TFT::GetRecordLength(std::uint32_t index, std::uint32_t &hours, int &minutes,
                                    int &seconds) const {
  const RecordEntry *e = EntryAt(index);
  if (!e)
    return false;
  // Rounded to whole seconds; 64-bit so that a length near 2^32 ms cannot wrap.
  const std::uint64_t s = (static_cast<std::uint64_t>(e->DurationMs) + 500) / 1000;
  seconds = static_cast<int>(s % 60);
  minutes = static_cast<int>((s / 60) % 60);
  hours = static_cast<std::uint32_t>(s / 3600);
  return true;
}

bool TStorageX4TFT::GetRecordLengthMs(std::uint32_t index, std::uint32_t &ms) const {
  const RecordEntry *e = EntryAt(index);
  if (!e)
    return false;
  ms = e->DurationMs;
  return true;
}

bool TStorageX4TFT::GetRecordMode(std::uint32_t index, int &mode) const {
  const RecordEntry *e = EntryAt(index);
  if (!e)
    return false;
  const int m = e->Attributes & kAttrModeMask;
  mode = (m <= 4 && HasValidSignature(*e)) ? m : -1;
  return true;
}

bool TStorageX4TFT::GetFrameSize(std::uint32_t index, int &width, int &height) const {
  const RecordEntry *e = EntryAt(index);
  if (!e)
    return false;
  width = e->Width;
  height = e->Height;
  return true;
}

bool TStorageX4TFT::GetFps(std::uint32_t index, std::uint32_t &fps) const {
  const RecordEntry *e = EntryAt(index);
  if (!e)
    return false;
  const std::uint32_t d = e->FrameDuration;
  // 90000 / period, rounded half up; 64-bit so a huge period cannot wrap.
  fps = d == 0 ? 0 : static_cast<std::uint32_t>((static_cast<std::uint64_t>(d / 2) + 90000) / d);
  return true;
}

bool TStorageX4TFT::GetBitrates(std::uint32_t index, std::uint32_t &audioKbps,
                                std::uint32_t &videoKbps) const {
  const RecordEntry *e = EntryAt(index);
  if (!e)
    return false;
  audioKbps = e->AudioBitrate / 1000;
  videoKbps = e->VideoBitrate / 1000;
  return true;
}

bool TStorageX4TFT::GetMarks(std::uint32_t index, bool &checked, bool &converted) const {
  const RecordEntry *e = EntryAt(index);
  if (!e)
    return false;
  checked = (e->Marks & kMarkChecked) != 0;
  converted = (e->Marks & kMarkConverted) != 0;
  return true;
}

bool TStorageX4TFT::SetChecked(std::uint32_t index, bool checked) {
  if (Busy || index >= Count)
    return false;
  RecordEntry &e = Entries[index];
  e.Marks =
      static_cast<std::uint8_t>(checked ? (e.Marks | kMarkChecked) : (e.Marks & ~kMarkChecked));
  return true;
}

std::string TStorageX4TFT::FolderName(const RecordEntry &e) const {
  char name[64];
  std::snprintf(name, sizeof name, RecordFolderFormat, static_cast<int>(e.RecordNumber), e.Year,
                e.Month, e.Day, e.Hour, e.Minute, e.Second);
  return name;
}

std::string TStorageX4TFT::RecordFolderPath(std::uint32_t index) const {
  if (index >= Count || CatalogFolder.empty())
    return {};
  return CatalogFolder + FolderName(Entries[index]) + platform::kPathSeparator;
}

std::string TStorageX4TFT::RecordFolderName(std::uint32_t index) const {
  return index < Count ? FolderName(Entries[index]) : std::string();
}

TStorageX4TFT::LiveProgress TStorageX4TFT::GetLiveProgress() const {
  LiveProgress p;
  p.finished = FinishedCount.load(std::memory_order_acquire);
  p.bytesDone = BytesDone;
  p.bytesTotal = BytesTotal;
  p.currentRecord = CurrentRecord;
  return p;
}

bool TStorageX4TFT::GetFinishedOutcome(std::uint32_t k, std::uint32_t &index,
                                       RecordOutcome &outcome) const {
  if (k >= FinishedCount.load(std::memory_order_acquire))
    return false;
  index = FinishedOrder[k];
  outcome = Outcomes[index];
  return true;
}

bool TStorageX4TFT::GetOutcome(std::uint32_t index, RecordOutcome &outcome) const {
  if (Busy || index >= Count)
    return false;
  outcome = index < Outcomes.size() ? Outcomes[index] : RecordOutcome{};
  return true;
}

std::string TStorageX4TFT::GpsFileName(std::uint32_t index) const {
  if (index >= Count)
    return {};
  return FolderName(Entries[index]) + ".gpx";
}

std::string TStorageX4TFT::FragmentFolderName(std::uint32_t fragment) {
  char name[32];
  std::snprintf(name, sizeof name, FragmentFolderFormat, fragment / 100);
  return std::string(name) + platform::kPathSeparator;
}

std::string TStorageX4TFT::FragmentFileName(std::uint32_t fragment) {
  char name[32];
  std::snprintf(name, sizeof name, FragmentFileFormat, fragment);
  return name;
}

namespace {

// Replaces every occurrence of `key`, leftmost first and one at a time.
void ReplaceAll(std::string &text, const std::string &key, const std::string &value) {
  std::size_t pos = 0;
  while ((pos = text.find(key, pos)) != std::string::npos) {
    text.replace(pos, key.size(), value);
    pos += value.size();
  }
}

} // namespace

// The mask expanded for a record. Only this text, not the folder, comes from
// the user and the card: it is made one plain name so that no mask ("../x",
// "a/b") and no card can place a file outside the output folder.
std::string TStorageX4TFT::BaseName(const RecordEntry &e) const {
  return ExpandMask(NameMask, e);
}

std::string TStorageX4TFT::ExpandMask(const std::string &mask, const RecordEntry &e) {
  char buf[64];
  std::string name = mask;
  std::snprintf(buf, sizeof buf, "D%02u%02u%02u", e.Year, e.Month, e.Day);
  ReplaceAll(name, "%D", buf);
  std::snprintf(buf, sizeof buf, "T%02u%02u%02u", e.Hour, e.Minute, e.Second);
  ReplaceAll(name, "%T", buf);
  std::snprintf(buf, sizeof buf, "R%08u", e.RecordNumber);
  ReplaceAll(name, "%N", buf);
  // The placeholders the setup dialog's hint offers, each starting with its
  // letter as %D and %T do (mode: "M", since "R" already names the number).
  const std::uint64_t s = (static_cast<std::uint64_t>(e.DurationMs) + 500) / 1000;
  std::snprintf(buf, sizeof buf, "L%02llu%02u%02u", static_cast<unsigned long long>(s / 3600),
                static_cast<unsigned>(s / 60 % 60), static_cast<unsigned>(s % 60));
  ReplaceAll(name, "%L", buf);
  std::snprintf(buf, sizeof buf, "S%ux%u", e.Width, e.Height);
  ReplaceAll(name, "%S", buf);
  const std::uint32_t d = e.FrameDuration;
  std::snprintf(buf, sizeof buf, "F%u",
                d == 0 ? 0u
                       : static_cast<unsigned>((static_cast<std::uint64_t>(d / 2) + 90000) / d));
  ReplaceAll(name, "%F", buf);
  std::snprintf(buf, sizeof buf, "B%u-%u", e.VideoBitrate / 1000, e.AudioBitrate / 1000);
  ReplaceAll(name, "%B", buf);
  std::snprintf(buf, sizeof buf, "M%u", static_cast<unsigned>(e.Attributes & kAttrModeMask));
  ReplaceAll(name, "%R", buf);
  return platform::SafeFileName(name);
}

std::string TStorageX4TFT::OutputFileName(std::uint32_t index, std::uint32_t part) const {
  if (index >= Count)
    return NameMask;
  char suffix[32];
  std::snprintf(suffix, sizeof suffix, "_P%u.mp4", part);
  return BaseName(Entries[index]) + suffix;
}

} // namespace orvo
