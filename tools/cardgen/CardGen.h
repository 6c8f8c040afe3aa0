#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// Generated memory cards: record folders, record files, fragment folders,
// fragment files with real H.264 and AAC, and GPS tracks, laid out as the
// recorder writes them. The fragments come from a box writer of their own,
// so the program's reader is never tested against its own writer.
namespace orvo::cardgen {

// Faults a record can be given; each makes the record differ from a good one
// in exactly one way.
enum class Damage {
  None,
  MissingFragment,             // a fragment in the middle of the range is absent
  TruncatedFragment,           // a fragment in the middle is cut to half its size
  ShortRecordFile,             // "record.dat" has 59 bytes
  LongRecordFile,              // "record.dat" has 4 extra bytes after the 60 (still valid)
  RenamedFolder,               // the folder's number disagrees with "record.dat"
  ForeignRecordFile,           // "record.dat" with a wrong magic
  NonDigitFolderName,          // a letter where the folder name needs a digit
  FileAsRecordFolder,          // a plain file named like a record folder, nothing else
  FileAsFragmentFolder,        // the first fragment folder is a plain file
  ForeignFileInFragmentFolder, // an extra file beside the fragments
};
const char *DamageName(Damage damage);

// How a record's GPS track is written.
enum class GpxForm {
  Gpx11, // GPX 1.1, speed and course in Garmin's TrackPointExtension
  Gpx10, // GPX 1.0 with <speed> and <course>
};

struct RecordPlan {
  std::uint32_t number = 1;
  std::uint8_t year = 21, month = 3, day = 15; // year minus 2000
  std::uint8_t hour = 8, minute = 30, second = 0;
  std::uint16_t width = 320, height = 240;
  unsigned fps = 25;
  unsigned videoKbps = 500;
  std::uint32_t audioRate = 16000; // 0: video only
  std::uint16_t audioChannels = 1;
  unsigned audioKbps = 32;
  unsigned fragmentSeconds = 2; // whole seconds: the material has an IDR frame every second
  unsigned chunksPerFragment = 2;
  std::uint32_t firstFragment = 0;
  std::uint32_t fragmentCount = 3;
  std::uint8_t mode = 0; // record mode 0..4; 5..7 are unknown to the program
  bool gps = false;
  bool checked = false;
  bool converted = false;
  std::uint8_t otherAttributeBits = 0; // bits beyond mode and GPS, to be preserved
  std::uint8_t otherMarkBits = 0;      // bits beyond checked and converted
  Damage damage = Damage::None;
  // The GPS track (with `gps`): one fix a second of a drive that starts
  // standing, accelerates, stops for a while and drives on.
  GpxForm gpxForm = GpxForm::Gpx11;
  int clockOffsetMinutes = 0;  // the recorder's clock minus UTC (the track is UTC)
  unsigned trackLeadSeconds = 0; // the track starts this long before the recording
  unsigned brokenPoints = 0;   // extra points with broken coordinates or no time
};

// The 60 bytes of "record.dat" (little-endian on the card).
struct RecordFields {
  std::uint32_t recordNumber = 0, firstFragment = 0, lastFragment = 0;
  std::int32_t fragmentCount = 0;
  std::uint32_t durationMs = 0;
  std::uint8_t day = 0, month = 0, year = 0, hour = 0, minute = 0, second = 0;
  std::uint16_t width = 0, height = 0;
  std::uint32_t videoBitrate = 0, audioBitrate = 0, frameDuration = 0;
  std::uint8_t attributes = 0, marks = 0;
};
inline constexpr std::size_t kRecordFileSize = 60;
// Reserved bytes of every generated record file; they are not zero so that a
// program that drops them is caught.
inline constexpr std::uint8_t kReserved31 = 0xA5, kReserved35 = 0x5A;
inline constexpr std::array<std::uint8_t, 4> kReserved52 = {0xDE, 0xC0, 0xAD, 0x0B};
inline constexpr std::array<std::uint8_t, 2> kReserved58 = {0xC3, 0x3C};
std::array<std::uint8_t, kRecordFileSize> EncodeRecordFile(const RecordFields &fields);

struct TrackSummary {
  std::uint32_t samples = 0;
  std::uint32_t chunks = 0;
  std::uint32_t timescale = 0; // 90000 for video, the sampling rate for audio
  std::uint64_t duration = 0;  // in timescale units
  std::uint64_t duration90k = 0;
};

struct FragmentInfo {
  std::uint32_t number = 0;
  std::string path;          // relative to the record folder, "DIR00000/F0000000.mp4"
  bool present = true;       // false when a damage left it out
  bool truncated = false;    // cut short by a damage
  std::uint64_t size = 0;    // bytes on the card
  TrackSummary video, audio; // audio.samples is 0 for a video-only record
};

struct RecordInfo {
  RecordPlan plan;
  std::string folderName; // as it stands on the card
  std::string gpxName;    // empty without GPS
  RecordFields fields;
  std::vector<std::uint8_t> recordFile; // bytes written as "record.dat" (none for a file as folder)
  bool listed = true;                   // whether a scan should list the record
  std::vector<FragmentInfo> fragments;  // FirstFragment..LastFragment; empty for catalog-only cards
};

struct CardInfo {
  std::vector<RecordInfo> records;
  std::uint64_t bytes = 0; // record files and fragment files written
  std::uint32_t fragmentFiles = 0;
};

struct CardOptions {
  std::string preset = "sample"; // sample, varied, damaged, bench
  std::uint64_t sizeMiB = 0;     // > 0: repeat the preset's records until the card holds this much
  std::uint32_t records = 0;     // > 0: exactly this many records (preset repeated or cut)
  bool catalogOnly = false;      // record folders and record files only
  std::uint64_t seed = 1;
  unsigned fragmentSeconds = 0;  // > 0: overrides the preset's fragment length
  std::uint32_t fragments = 0;   // > 0: overrides the preset's fragments per record
  unsigned materialSeconds = 60; // longest stretch of encoded material; fragments wrap around it
};

// Records of a preset; an empty list for an unknown name.
std::vector<RecordPlan> PresetRecords(const std::string &preset);
// Record folder name "R%08d_D%02d%02d%02d_T%02d%02d%02d".
std::string RecordFolderName(std::uint32_t number, std::uint8_t year, std::uint8_t month,
                             std::uint8_t day, std::uint8_t hour, std::uint8_t minute,
                             std::uint8_t second);
// Fragment path inside a record folder: "DIR%05d" of number / 100, then "F%07d.mp4".
std::string FragmentPath(std::uint32_t number);

class CardWriter {
public:
  CardWriter();
  ~CardWriter();
  CardWriter(const CardWriter &) = delete;
  CardWriter &operator=(const CardWriter &) = delete;

  // Writes one record below `cardFolder` (which must exist). With
  // `catalogOnly`, only the record folder and its "record.dat" (and GPX).
  bool WriteRecord(const std::string &cardFolder, const RecordPlan &plan, RecordInfo &info,
                   bool catalogOnly = false, std::string *error = nullptr);
  // One fragment file's bytes as the recorder writes them; `slot` picks the
  // stretch of material (fragment j of a record uses slot j).
  bool BuildFragment(const RecordPlan &plan, std::uint32_t slot, std::vector<std::uint8_t> &bytes,
                     FragmentInfo &info, std::string *error = nullptr);

  unsigned materialSeconds = 60;

private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// Creates `folder` if needed and fills it. Deterministic for the same options.
bool MakeCard(const std::string &folder, const CardOptions &options, CardInfo &info,
              std::string *error = nullptr);

} // namespace orvo::cardgen
