#include "engine/Clip.h"

#include "engine/OutputSet.h"
#include "engine/PartJoin.h"
#include "engine/RecordTime.h"
#include "engine/VirtualRecord.h"
#include "gps/Export.h"
#include "gps/GpsTime.h"
#include "mp4/Mp4container.h"
#include "mp4/Provenance.h"
#include "platform/Error.h"
#include "platform/FileSystem.h"

#include <algorithm>
#include <memory>

namespace orvo {

namespace {

// Takes the samples within the stretch and notes, per fragment and track,
// the run of samples taken.
struct ClipTap final : TPartJoin::Tap {
  std::uint64_t base = 0;  // record time of the part's start (90 kHz)
  std::uint64_t from = 0;  // first frame's record time
  std::uint64_t to = 0;    // the out point
  ProvenanceFragment *fragment = nullptr;
  std::uint64_t bytes = 0;

  bool Keep(int, std::uint32_t time) override {
    const std::uint64_t t = base + time;
    return t >= from && t <= to;
  }
  void Taken(int track, std::uint32_t sample, std::uint32_t size) override {
    bytes += size;
    if (!fragment || track < 0)
      return;
    auto &tracks = fragment->tracks;
    if (tracks.size() <= static_cast<std::size_t>(track))
      tracks.resize(static_cast<std::size_t>(track) + 1);
    ProvenanceRun &run = tracks[static_cast<std::size_t>(track)];
    if (run.count == 0)
      run.firstSample = sample;
    ++run.count;
  }
};

int VideoTrackOf(TMP4Container &reader) {
  for (int t = 0; t < reader.GetTrackCount(); ++t) {
    std::int8_t type = kTrackNone;
    std::string handler, language;
    if (reader.GetTrackInfo(t, type, handler, language) && type == kTrackVideo)
      return t;
  }
  return -1;
}

// The record time of the last key frame at or before `at` in the fragment,
// or nothing.
bool LastKeyAtOrBefore(TMP4Container &reader, std::uint64_t start, std::uint64_t at,
                       std::uint64_t &key) {
  const int v = VideoTrackOf(reader);
  bool found = false;
  for (std::uint32_t i = 0; v >= 0 && i < reader.GetSampleCount(v); ++i) {
    std::uint32_t size = 0, time = 0;
    bool isKey = false;
    if (reader.GetSampleInfo(v, i, size, time, isKey) && isKey && start + time <= at) {
      key = start + time;
      found = true;
    }
  }
  return found;
}

// A name in `folder` nobody has taken: "<base>.<ext>", then "<base>-2.<ext>".
std::string FreeName(const std::string &folder, const std::string &base, const char *ext) {
  std::string name = base + ext;
  for (int n = 2; platform::EntryExists(folder + name); ++n)
    name = base + "-" + std::to_string(n) + ext;
  return name;
}

} // namespace

RecordEntry ShiftedEntry(RecordEntry e, std::uint64_t ms) {
  const gps::CivilTime start{2000 + e.Year, e.Month, e.Day, e.Hour, e.Minute, e.Second};
  if (!gps::IsValidCivil(start))
    return e;
  const gps::CivilTime t = gps::MsToCivil(gps::CivilToMs(start) + static_cast<std::int64_t>(ms));
  e.Year = static_cast<std::uint8_t>(t.year - 2000);
  e.Month = static_cast<std::uint8_t>(t.month);
  e.Day = static_cast<std::uint8_t>(t.day);
  e.Hour = static_cast<std::uint8_t>(t.hour);
  e.Minute = static_cast<std::uint8_t>(t.minute);
  e.Second = static_cast<std::uint8_t>(t.second);
  return e;
}

bool WriteClip(const TStorageX4TFT::PlaySource &source, const ClipRequest &request,
               const std::string &outputFolder, const std::atomic<bool> &cancel,
               ClipResult &result, std::atomic<std::uint64_t> *bytesRead) {
  result = ClipResult{};
  TVirtualRecord record;
  if (!record.Open(source.folder, source.entry, &cancel)) {
    result.interrupted = cancel;
    result.error = source.folder + ": " + record.ErrorText();
    return false;
  }
  const std::uint64_t duration = record.DurationMs();
  if (request.fromMs >= duration || request.toMs <= request.fromMs) {
    result.error = "the stretch lies outside the record (0 to " + std::to_string(duration) + " ms)";
    return false;
  }
  const std::uint64_t fromT = request.fromMs * 90, toT = std::min(request.toMs, duration) * 90;
  const auto &spans = record.Spans();
  const auto &paths = record.FragmentPaths();
  // The fragment the in point lies in, and the key frame at or before it
  // (in an earlier fragment of the same set-up when this one has none).
  std::size_t first = 0;
  while (first + 1 < spans.size() && spans[first + 1].startTicks <= fromT)
    ++first;
  TMP4Container reader, writer;
  std::uint64_t keyT = spans[first].startTicks;
  for (std::size_t k = first + 1; k-- > 0;) {
    if (spans[k].segment != spans[first].segment || !reader.OpenRead(paths[spans[k].path]))
      break;
    const bool found = LastKeyAtOrBefore(reader, spans[k].startTicks, fromT, keyT);
    reader.Close();
    if (found) {
      first = k;
      break;
    }
  }
  std::size_t last = first;
  while (last + 1 < spans.size() && spans[last + 1].startTicks <= toT)
    ++last;

  gps::GpsTrack track;
  gps::TrackAlignment alignment;
  const bool hasTrack = (request.gpsBeside || request.gpsInside) &&
                        TStorageX4TFT::LoadTrack(source, track, alignment) && alignment.aligned &&
                        !track.fixes.empty();
  std::unique_ptr<std::uint8_t[]> buffer(new std::uint8_t[TStorageX4TFT::kSampleBufferBytes]);
  const std::string folder = platform::WithSeparator(outputFolder);
  const Digest128 recordDigest = RecordDigest(source.entry);
  result.startMs = keyT / 90;
  for (std::size_t g = first; g <= last;) {
    // One file per decoder set-up the stretch crosses.
    std::size_t end = g;
    while (end + 1 <= last && spans[end + 1].segment == spans[g].segment)
      ++end;
    const std::uint64_t startT = g == first ? keyT : spans[g].startTicks;
    const std::string name =
        FreeName(folder, TStorageX4TFT::ExpandMask(source.nameMask,
                                                   ShiftedEntry(source.entry, startT / 90)) + "_C",
                 ".mp4");
    if (!writer.OpenWrite(folder + name)) {
      result.error = folder + name + ": " + writer.LastErrorText();
      return false;
    }
    TPartJoin join;
    int gpsTracks[3] = {-1, -1, -1};
    std::uint64_t fileLastT = startT;
    ClipTap tap;
    tap.base = spans[g].startTicks;
    tap.from = startT;
    tap.to = toT;
    ClipProvenance provenance{source.entry.RecordNumber, recordDigest, source.recordFolderName, {}};
    bool ok = true;
    for (std::size_t k = g; k <= end && ok; ++k) {
      const std::string &path = paths[spans[k].path];
      if (cancel) {
        result.interrupted = true;
        ok = false;
        break;
      }
      if (!reader.OpenRead(path)) {
        result.error = path + ": " + reader.LastErrorText();
        ok = false;
        break;
      }
      if (k == g) {
        ok = join.Begin(reader, writer);
        if (ok && hasTrack && request.gpsInside)
          AddGpsTrackSet(writer, gpsTracks);
        writer.SetRecordSource(source.recordFolderName, spans[k].number, recordDigest);
        writer.SetCreationTime(RecordTimeSince1904(source.entry, startT));
      }
      provenance.fragments.push_back({spans[k].number, {}});
      tap.fragment = &provenance.fragments.back();
      const std::uint64_t before = tap.bytes;
      const auto copied =
          ok ? join.CopySamples(reader, writer, buffer.get(), TStorageX4TFT::kSampleBufferBytes,
                                cancel, &tap, static_cast<std::uint32_t>(startT - tap.base))
             : TPartJoin::Copy::ReadFailed;
      if (copied != TPartJoin::Copy::Copied) {
        result.interrupted = copied == TPartJoin::Copy::Cancelled;
        if (!result.interrupted)
          result.error = path + ": " + (copied == TPartJoin::Copy::WriteFailed
                                            ? writer.LastErrorText()
                                            : reader.LastErrorText());
        ok = false;
        break;
      }
      if (bytesRead)
        *bytesRead += tap.bytes - before;
      // The last frame taken: the last video sample of this fragment
      // within the stretch.
      const int v = VideoTrackOf(reader);
      for (std::uint32_t i = 0; v >= 0 && i < reader.GetSampleCount(v); ++i) {
        std::uint32_t size = 0, time = 0;
        bool key = false;
        reader.GetSampleInfo(v, i, size, time, key);
        const std::uint64_t t = spans[k].startTicks + time;
        if (t >= startT && t <= toT) {
          result.lastFrameMs = t / 90;
          fileLastT = t;
        }
      }
      join.Advance(reader);
      writer.SetLastFragment(spans[k].number);
      reader.Close();
    }
    reader.Close();
    if (ok && request.exactStart && g == first)
      writer.SetStartOffset(static_cast<std::uint32_t>(fromT - keyT));
    if (ok)
      writer.SetProvenance(EncodeProvenance(provenance));
    if (ok && hasTrack)
      WriteGpsTrackSet(writer, gpsTracks, track, alignment,
                       alignment.utcStartMs + static_cast<std::int64_t>(startT / 90),
                       static_cast<std::int64_t>((fileLastT - startT) / 90) + 1);
    if (!ok || !writer.HasIndexedTrack()) {
      writer.Discard();
      if (ok) {
        g = end + 1; // a stretch of one frame: nothing to play
        continue;
      }
      return false;
    }
    writer.Close();
    if (!writer.LastFinishSucceeded()) {
      result.error = folder + name + ": " + writer.LastErrorText();
      return false;
    }
    result.files.push_back(name);
    g = end + 1;
  }
  if (result.files.empty()) {
    result.error = "the stretch holds no more than one frame";
    return false;
  }

  // The track's stretch beside the clip, timed from its first frame.
  if (request.gpsBeside && hasTrack) {
    const std::int64_t from = alignment.utcStartMs + static_cast<std::int64_t>(result.startMs);
    const std::int64_t to = alignment.utcStartMs + static_cast<std::int64_t>(result.lastFrameMs);
    std::erase_if(track.fixes, [&](const gps::GpsFix &f) { return f.utcMs < from || f.utcMs > to; });
    alignment.utcStartMs = from;
    if (!track.fixes.empty()) {
      const std::string base = result.files.front().substr(0, result.files.front().size() - 4);
      const std::string name = FreeName(folder, base, ".gpx");
      if (platform::WriteWholeFileAtomically(folder + name,
                                             gps::ExportTrack(track, alignment,
                                                              gps::ExportFormat::Gpx)))
        result.gpx = name;
      else
        result.error = folder + name + ": " + platform::LastErrorText();
    }
  }
  return result.error.empty();
}

} // namespace orvo
