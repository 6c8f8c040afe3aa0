// A record's GPS track in its output parts: read once per record, placed on
// the recorder's clock, and written into each part as a subtitle, a GPMF and
// a camm track of that part's stretch, with the place of its first fix.
#include "engine/Storagex4tft.h"

#include "gps/Camm.h"
#include "gps/CardClock.h"
#include "gps/Gpmf.h"
#include "gps/GpxReader.h"
#include "gps/Location.h"
#include "gps/TimedText.h"
#include "mp4/Mp4container.h"
#include "settings/AddedTexts.h"

namespace orvo {

namespace {

ConvertProblem Note(ProblemKind kind, std::string file, std::string detail) {
  ConvertProblem p;
  p.kind = kind;
  p.file = std::move(file);
  p.detail = std::move(detail);
  return p;
}

gps::TrackAlignment Align(const RecordEntry &e, const gps::GpsTrack &track,
                          std::optional<std::int64_t> cardClock) {
  const gps::CivilTime start{2000 + e.Year, e.Month, e.Day, e.Hour, e.Minute, e.Second};
  return gps::AlignTrack(track, start, e.DurationMs, cardClock);
}

} // namespace

// Each track is read once a scan, on the worker: the list's tool tips tell
// when a record began in UTC without reading anything on the window's
// thread.
void TStorageX4TFT::SummariseTracks() {
  Tracks.assign(Count, std::nullopt);
  const auto cardClock = gps::ReadCardClockOffset(CatalogFolder);
  for (std::uint32_t i = 0; i < Count && !CancelRequested; ++i) {
    const RecordEntry &e = Entries[i];
    if (!(e.Attributes & kAttrGps))
      continue;
    const gps::GpsTrack track = gps::ReadGpx(RecordFolderPath(i) + GpsFileName(i));
    const gps::TrackAlignment a = Align(e, track, cardClock);
    Tracks[i] = TrackSummary{a.aligned, a.utcStartMs, a.clockOffsetSeconds, track.fixes.size()};
  }
}

bool TStorageX4TFT::GetTrackSummary(std::uint32_t index, TrackSummary &summary) const {
  if (!EntryAt(index) || index >= Tracks.size() || !Tracks[index])
    return false;
  summary = *Tracks[index];
  return true;
}

bool TStorageX4TFT::GetRecordTrack(std::uint32_t index, gps::GpsTrack &track,
                                   gps::TrackAlignment &alignment) const {
  const RecordEntry *e = EntryAt(index);
  if (!e || !(e->Attributes & kAttrGps))
    return false;
  track = gps::ReadGpx(RecordFolderPath(index) + GpsFileName(index));
  alignment = Align(*e, track, gps::ReadCardClockOffset(CatalogFolder));
  return true;
}

bool TStorageX4TFT::GetPlaySource(std::uint32_t index, PlaySource &source) const {
  const RecordEntry *e = EntryAt(index);
  if (!e)
    return false;
  source.folder = RecordFolderPath(index);
  source.entry = *e;
  source.gpxPath = (e->Attributes & kAttrGps) ? source.folder + GpsFileName(index) : std::string();
  source.cardClock = gps::ReadCardClockOffset(CatalogFolder);
  source.recordFolderName = FolderName(*e);
  source.nameMask = NameMask;
  source.cardFolder = CatalogFolder;
  return true;
}

bool TStorageX4TFT::LoadTrack(const PlaySource &source, gps::GpsTrack &track,
                              gps::TrackAlignment &alignment) {
  if (source.gpxPath.empty())
    return false;
  track = gps::ReadGpx(source.gpxPath);
  alignment = Align(source.entry, track, source.cardClock);
  return true;
}

// A track that cannot be read, or not placed on the recorder's clock, is
// told in a note and never fails the record: the video is converted either
// way.
void TStorageX4TFT::ReadTrack(RecordJob &job, const std::string &folder) {
  const RecordEntry &e = Entries[job.index];
  if (!(e.Attributes & kAttrGps))
    return;
  const std::string path = folder + GpsFileName(job.index);
  job.track = gps::ReadGpx(path);
  job.alignment = Align(e, job.track, CardClock);
  std::string note = job.track.note;
  if (job.track.skipped + job.track.dropped > 0) {
    note += note.empty() ? "" : "; ";
    note += std::to_string(job.track.skipped) + " + " + std::to_string(job.track.dropped);
    job.outcome.notes.push_back(Note(ProblemKind::GpsTrackNote, path, note));
    job.outcome.notes.back().detailTextId = txt::GpsPointsLeftOut;
  } else if (!note.empty()) {
    job.outcome.notes.push_back(Note(ProblemKind::GpsTrackNote, path, note));
  }
  if (!job.alignment.aligned && !job.track.fixes.empty())
    job.outcome.notes.push_back(Note(ProblemKind::GpsTrackNote, path, job.alignment.note));
  job.embedGps = GpsEmbedded(Gps) && job.alignment.aligned && !job.track.fixes.empty();
}

// Recorder clock minus UTC, as the track or else the card's configuration
// says; 0 when neither knows.
std::int64_t TStorageX4TFT::ClockOffsetSeconds(const RecordJob &job) const {
  if (job.alignment.aligned)
    return job.alignment.clockOffsetSeconds;
  return CardClock.value_or(0);
}

void AddGpsTrackSet(TMP4Container &writer, int tracks[3]) {
  struct Kind {
    std::int8_t type;
    const char *handler;
    gps::Bytes entry;
  };
  const Kind kinds[3] = {{kTrackText, "GPS", gps::Tx3gSampleEntry()},
                         {kTrackMeta, "GoPro MET", gps::GpmfSampleEntry()},
                         {kTrackMeta, "CameraMetadataMotionHandler", gps::CammSampleEntry()}};
  for (int i = 0; i < 3; ++i) {
    tracks[i] = -1;
    const int k = writer.AddTrack(kinds[i].type, kinds[i].handler, "und");
    if (k >= 0 && writer.SetSampleEntry(k, kinds[i].entry, 1000))
      tracks[i] = k;
  }
}

void WriteGpsTrackSet(TMP4Container &writer, const int tracks[3], const gps::GpsTrack &track,
                      const gps::TrackAlignment &alignment, std::int64_t startUtcMs,
                      std::int64_t lengthMs) {
  if (tracks[0] < 0 && tracks[1] < 0 && tracks[2] < 0)
    return;
  const auto fixes = gps::SelectPartFixes(track, startUtcMs, startUtcMs + lengthMs);
  if (fixes.empty())
    return;
  writer.SetLocation(gps::Iso6709(fixes.front().fix));
  const std::vector<gps::TimedSample> samples[3] = {
      gps::TimedTextSamples(fixes, lengthMs, alignment.clockOffsetSeconds),
      gps::GpmfSamples(fixes, lengthMs), gps::CammSamples(fixes, lengthMs)};
  for (int i = 0; i < 3; ++i) {
    if (tracks[i] < 0)
      continue;
    for (const gps::TimedSample &s : samples[i]) {
      if (s.timeMs < 0 || s.timeMs > 0x7FFFFFFF / 90 ||
          !writer.WriteSample(tracks[i], s.bytes.data(), static_cast<std::uint32_t>(s.bytes.size()),
                              static_cast<std::uint32_t>(s.timeMs * 90), true))
        break;
    }
  }
}

void TStorageX4TFT::AddGpsTracks(RecordJob &job) {
  for (int &k : job.gpsTracks)
    k = -1;
  job.partStart = job.elapsed;
  if (job.embedGps)
    AddGpsTrackSet(*Writer, job.gpsTracks);
}

// The part's stretch of the track: the fixes whose UTC times fall between
// its first video frame and its end, each at its own time.
void TStorageX4TFT::WriteGpsSamples(RecordJob &job) {
  WriteGpsTrackSet(*Writer, job.gpsTracks, job.track, job.alignment,
                   job.alignment.utcStartMs + std::int64_t(job.partStart / 90),
                   std::int64_t((job.elapsed - job.partStart) / 90));
}

} // namespace orvo
