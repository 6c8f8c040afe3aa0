#include "evidence/Package.h"

#include "engine/VirtualRecord.h"
#include "evidence/Files.h"
#include "evidence/Report.h"
#include "evidence/RouteSvg.h"
#include "gps/GpsTime.h"
#include "mp4/Mp4container.h"
#include "platform/Error.h"
#include "platform/File.h"
#include "platform/FileSystem.h"
#include "platform/Identity.h"
#include "platform/Sha256.h"
#include "player/TrackTimeline.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <map>
#include <set>

namespace orvo::evidence {

namespace {

// "2021-03-15 08:30:00.000" of the recorder's clock, `ms` into the record.
std::string RecorderTime(const RecordEntry &e, std::uint64_t ms) {
  const gps::CivilTime start{2000 + e.Year, e.Month, e.Day, e.Hour, e.Minute, e.Second};
  if (!gps::IsValidCivil(start))
    return "not known (the record file holds no valid date)";
  const std::int64_t t = gps::CivilToMs(start) + static_cast<std::int64_t>(ms);
  char frac[8];
  std::snprintf(frac, sizeof frac, ".%03d", static_cast<int>(t % 1000));
  return gps::FormatClock(t) + frac;
}

std::string Offset(std::int64_t seconds) {
  char text[16];
  const std::int64_t a = seconds < 0 ? -seconds : seconds;
  std::snprintf(text, sizeof text, "%c%02d:%02d", seconds < 0 ? '-' : '+',
                static_cast<int>(a / 3600), static_cast<int>(a / 60 % 60));
  return text;
}

// The computer's local time and its offset from UTC; one thread makes a
// package at a time.
std::string LocalNow(std::time_t now) {
  const std::tm *local = std::localtime(&now);
  char text[64] = "not known";
  if (local)
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S %z", local);
  return text;
}

// Hashes a file; the digest's hex, or empty with `error`.
std::string HexOf(const std::string &path, std::string &error, const std::atomic<bool> &cancel) {
  platform::Sha256Digest digest{};
  return platform::HashFile(path, digest, error, &cancel) ? platform::ToHex(digest) : std::string();
}

// Copies a card file into the package and reads the copy back from the
// disk: the copy is kept only when its digest is the card file's.
bool CopyOriginal(const std::string &from, const std::string &to, const std::atomic<bool> &cancel,
                  std::string &hex, std::string &error) {
  hex = HexOf(from, error, cancel);
  if (hex.empty())
    return false;
  if (!platform::CopyFileSafely(from, to, &cancel, false)) {
    error = to + ": " + platform::LastErrorText();
    return false;
  }
  {
    platform::File copy;
    if (copy.OpenRead(to))
      copy.DropCachedPages();
  }
  const std::string back = HexOf(to, error, cancel);
  if (back.empty())
    return false;
  if (back != hex) {
    error = to + ": the copy read back differs from " + from;
    return false;
  }
  return true;
}

bool MakeFolders(const std::string &root, const std::string &relative, std::string &error) {
  std::string path = root;
  std::size_t from = 0;
  while (from <= relative.size()) {
    const std::size_t slash = relative.find('/', from);
    path += relative.substr(from, slash - from);
    path += platform::kPathSeparator;
    if (!platform::IsEnterableDirectory(path) && !platform::CreateDirectory(path)) {
      error = path + ": " + platform::LastErrorText();
      return false;
    }
    if (slash == std::string::npos)
      break;
    from = slash + 1;
  }
  return true;
}

} // namespace

bool MakePackage(const PackageRequest &request, const std::atomic<bool> &cancel,
                 PackageResult &result) {
  result = PackageResult{};
  const TStorageX4TFT::PlaySource &source = request.source;
  const std::string destination = platform::WithSeparator(request.destination);
  if (!platform::IsEnterableDirectory(destination)) {
    result.error = request.destination + ": no such folder";
    return false;
  }
  // The name is the working copy's, so that package and clip go together.
  const std::uint64_t fromMs = request.clip ? request.clip->fromMs : 0;
  std::string base = TStorageX4TFT::ExpandMask(source.nameMask, ShiftedEntry(source.entry, fromMs));
  base += request.clip ? "_C_evidence" : "_evidence";
  std::string name = base;
  for (int n = 2; platform::EntryExists(destination + name); ++n)
    name = base + "-" + std::to_string(n);
  // Made beside under a name of its own, renamed when complete: a package
  // under its name is whole.
  std::string temporary = "." + name + ".partial";
  for (int n = 2; platform::EntryExists(destination + temporary); ++n)
    temporary = "." + name + ".partial-" + std::to_string(n);
  const std::string root = destination + temporary + platform::kPathSeparator;
  std::vector<std::string> steps;
  std::vector<ReportFile> files;
  auto fail = [&](std::string error) {
    RemoveMadeFolder(root);
    result.interrupted = cancel;
    result.error = result.interrupted ? std::string("cancelled") : std::move(error);
    return false;
  };
  std::string error;
  const std::string originalRelative =
      std::string(kOriginalFolder) + "/" + source.recordFolderName;
  if (!MakeFolders(destination, temporary, error) ||
      !MakeFolders(root, originalRelative, error) || !MakeFolders(root, kVideoFolder, error))
    return fail(error);

  // The working copy: the stretch, or the whole record, cut from the card's
  // samples; its provenance names the fragments it took them from.
  TVirtualRecord record;
  if (!record.Open(source.folder, source.entry, &cancel))
    return fail(source.folder + ": " + record.ErrorText());
  ClipRequest clip = request.clip.value_or(ClipRequest{});
  if (!request.clip) {
    clip.fromMs = 0;
    clip.toMs = record.DurationMs();
  }
  ClipResult cut;
  const std::string videoFolder = root + kVideoFolder + platform::kPathSeparator;
  if (!WriteClip(source, clip, videoFolder, cancel, cut))
    return fail(cut.error);
  std::set<std::uint32_t> used;
  for (const std::string &file : cut.files) {
    TMP4Container reader;
    ClipProvenance provenance;
    if (reader.OpenRead(videoFolder + file) && reader.GetProvenance(provenance))
      for (const ProvenanceFragment &f : provenance.fragments)
        if (std::any_of(f.tracks.begin(), f.tracks.end(),
                        [](const ProvenanceRun &r) { return r.count > 0; }))
          used.insert(f.number);
    char text[200];
    std::snprintf(text, sizeof text, " (record time %.3f s to %.3f s; key frame %.3f s)",
                  static_cast<double>(clip.fromMs) / 1000.0,
                  static_cast<double>(clip.toMs) / 1000.0,
                  static_cast<double>(cut.startMs) / 1000.0);
    steps.push_back(std::string("Cut without re-encoding into video/") + file + text +
                    ", from fragments " + std::to_string(provenance.fragments.empty()
                                                             ? 0
                                                             : provenance.fragments.front().number) +
                    " to " +
                    std::to_string(provenance.fragments.empty()
                                       ? 0
                                       : provenance.fragments.back().number));
    for (const ProvenanceFragment &f : provenance.fragments) {
      std::string runs = "  fragment " + std::to_string(f.number) + ":";
      for (std::size_t t = 0; t < f.tracks.size(); ++t)
        runs += " track " + std::to_string(t + 1) + " samples " +
                std::to_string(f.tracks[t].firstSample) + " to " +
                std::to_string(f.tracks[t].firstSample + f.tracks[t].count) + " (exclusive);";
      steps.push_back(runs);
    }
  }
  if (!cut.gpx.empty())
    steps.push_back("Wrote the GPS track's stretch to video/" + cut.gpx);

  // The originals: the record file, the fragments the copy took samples
  // from, and the track file, each read back after copying.
  std::vector<std::pair<std::string, std::string>> originals; // card path, package path
  originals.push_back({source.folder + TStorageX4TFT::RecordFileName,
                       originalRelative + "/" + TStorageX4TFT::RecordFileName});
  for (std::uint32_t n : used) {
    std::string folder = TStorageX4TFT::FragmentFolderName(n);
    folder.pop_back(); // its separator
    originals.push_back({source.folder + TStorageX4TFT::FragmentFolderName(n) +
                             TStorageX4TFT::FragmentFileName(n),
                         originalRelative + "/" + folder + "/" + TStorageX4TFT::FragmentFileName(n)});
  }
  if (!source.gpxPath.empty() && platform::IsRegularFile(source.gpxPath))
    originals.push_back({source.gpxPath, originalRelative + "/" + source.recordFolderName + ".gpx"});
  std::map<std::string, std::string> known; // relative path: SHA-256, read back already
  for (const auto &[from, to] : originals) {
    const std::size_t slash = to.rfind('/');
    std::string hex;
    if (!MakeFolders(root, to.substr(0, slash), error) ||
        !CopyOriginal(from, root + NativeRelative(to), cancel, hex, error))
      return fail(error);
    steps.push_back("Copied " + from + " to " + to + " bit for bit and read it back: SHA-256 " +
                    hex);
    known[to] = hex;
  }

  // The report: what, from where, by whom, and every file's digest.
  ReportModel m;
  m.program = request.program;
  m.version = request.version;
  m.build = request.build;
  m.command = request.command;
  const auto now = std::chrono::system_clock::now();
  const auto nowMs =
      std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count();
  m.exportUtc = gps::FormatIsoTime(nowMs - nowMs % 1000);
  m.exportLocal = LocalNow(std::chrono::system_clock::to_time_t(now));
  m.computer = platform::ComputerName();
  m.user = platform::UserName();
  m.cardFolder = request.cardFolder;
  platform::VolumeIdentity volume;
  if (platform::IdentifyVolume(request.cardFolder, volume)) {
    m.volumeLabel = volume.label;
    m.volumeSerial = volume.serial;
    m.volumeDevice = volume.device;
  }
  m.recordFolder = source.recordFolderName;
  m.recordNumber = source.entry.RecordNumber;
  m.recorderStart = RecorderTime(source.entry, cut.startMs);
  m.recorderEnd = RecorderTime(source.entry, cut.lastFrameMs);
  gps::GpsTrack track;
  gps::TrackAlignment alignment;
  const bool placed = TStorageX4TFT::LoadTrack(source, track, alignment) && alignment.aligned;
  if (placed) {
    m.utcStart = gps::FormatIsoTime(alignment.utcStartMs + static_cast<std::int64_t>(cut.startMs));
    m.utcEnd = gps::FormatIsoTime(alignment.utcStartMs + static_cast<std::int64_t>(cut.lastFrameMs));
    m.clockOffset = Offset(alignment.clockOffsetSeconds);
    m.routeSvg = RouteSvg(track, alignment.utcStartMs, static_cast<std::int64_t>(cut.startMs),
                          static_cast<std::int64_t>(cut.lastFrameMs),
                          request.markedMs ? static_cast<std::int64_t>(*request.markedMs) : -1);
  } else {
    m.clockOffset = source.gpxPath.empty() ? "not known (no GPS track)"
                                           : "not known: " + alignment.note;
  }
  if (request.markedMs) {
    ReportMoment mo;
    mo.recorderTime = RecorderTime(source.entry, *request.markedMs);
    if (placed) {
      mo.utcTime = gps::FormatIsoTime(alignment.utcStartMs + static_cast<std::int64_t>(*request.markedMs));
      const player::TrackTimeline timeline(track, alignment.utcStartMs);
      const player::TrackSample s = timeline.sampleAt(static_cast<std::int64_t>(*request.markedMs));
      mo.hasPosition = s.withinTrack;
      mo.latitude = s.latitude;
      mo.longitude = s.longitude;
      mo.speedKmh = s.speedKmh;
    }
    m.marked = mo;
  }
  for (const Thumbnail &t : request.thumbnails)
    if (!t.png.empty())
      m.thumbnails.push_back({RecorderTime(source.entry, t.recordMs), Base64(t.png)});
  if (m.thumbnails.empty())
    m.thumbnailNote = request.noThumbnailsReason.empty()
                          ? "No pictures: no decoder was at hand when the package was made."
                          : request.noThumbnailsReason;
  steps.push_back("Wrote " + std::string(kReportFile) + " and " + kSumsFile + " (SHA-256 of "
                  "every other file)");
  m.steps = steps;
  m.verifyCommands = {"sha256sum -c " + std::string(kSumsFile),
                      "orvo-convert --check-evidence ."};

  std::vector<std::string> listed, others;
  ListPackageFiles(root, listed, others);
  for (const std::string &f : listed) {
    const auto copied = known.find(f);
    const std::string hex =
        copied != known.end() ? copied->second : HexOf(root + NativeRelative(f), error, cancel);
    if (hex.empty())
      return fail(error);
    files.push_back({f, platform::FileSizeOf(root + NativeRelative(f)), hex});
    result.bytes += files.back().size;
  }
  m.files = files;
  const std::string html = ReportHtml(m);
  if (!platform::WriteWholeFileAtomically(root + kReportFile, html))
    return fail(root + kReportFile + ": " + platform::LastErrorText());
  const std::string reportHex = HexOf(root + kReportFile, error, cancel);
  if (reportHex.empty())
    return fail(error);
  files.push_back({kReportFile, html.size(), reportHex});
  if (std::string pdf; request.pdf && request.pdf(html, pdf) && !pdf.empty()) {
    if (!platform::WriteWholeFileAtomically(root + kReportPdf, pdf))
      return fail(root + kReportPdf + ": " + platform::LastErrorText());
    const std::string pdfHex = HexOf(root + kReportPdf, error, cancel);
    if (pdfHex.empty())
      return fail(error);
    files.push_back({kReportPdf, pdf.size(), pdfHex});
  }
  std::sort(files.begin(), files.end(),
            [](const ReportFile &a, const ReportFile &b) { return a.path < b.path; });
  std::string sums;
  for (const ReportFile &f : files)
    sums.append(f.sha256).append("  ").append(f.path).append("\n");
  if (!platform::WriteWholeFileAtomically(root + kSumsFile, sums))
    return fail(root + kSumsFile + ": " + platform::LastErrorText());

  // Every folder's entries made durable, then the package under its name.
  std::vector<std::string> folders = {root, root + kVideoFolder};
  for (const auto &[from, to] : originals) {
    (void)from;
    for (std::size_t slash = to.find('/'); slash != std::string::npos;
         slash = to.find('/', slash + 1))
      folders.push_back(root + NativeRelative(to.substr(0, slash)));
  }
  std::sort(folders.begin(), folders.end());
  folders.erase(std::unique(folders.begin(), folders.end()), folders.end());
  for (const std::string &f : folders)
    platform::SyncFolder(f);
  if (cancel)
    return fail("cancelled");
  if (!platform::RenameFolder(destination + temporary, destination + name)) {
    return fail(destination + name + ": " + platform::LastErrorText());
  }
  platform::SyncFolder(destination);
  result.folder = destination + name;
  for (const ReportFile &f : files)
    result.files.push_back(f.path);
  result.files.push_back(kSumsFile);
  return true;
}

} // namespace orvo::evidence
