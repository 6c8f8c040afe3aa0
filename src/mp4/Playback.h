#pragma once

#include <cstddef>
#include <cstdint>

// How a movie plays, as its "moov" says: what a player takes from the index
// besides the sample bytes. Two files whose samples are the same bytes can
// still play differently (other sample boundaries, times, key frames, a
// decoder set-up, an edit list, a rotation); the integrity data keeps this
// description so that a test can tell such a change too.
//
// Per-sample values are described by digests of their expansion, sample by
// sample, so that the same timing written with other table runs describes
// the same; a table that yields more or fewer entries than "stsz" has
// samples describes differently.
namespace orvo {

inline constexpr std::uint32_t kPlaybackMaxTracks = 8;
// Far beyond a 4 GiB file of the smallest samples a player would take.
inline constexpr std::uint32_t kPlaybackMaxSamples = 1u << 28;

struct TrackPlayback {
  std::uint32_t trackId = 0;
  std::uint32_t sampleCount = 0;
  std::uint32_t timescale = 0;     // "mdhd"
  std::uint32_t mediaDuration = 0; // "mdhd", in the track's time scale
  std::uint32_t trackDuration = 0; // "tkhd", in the movie's time scale
  std::uint32_t width = 0;         // "tkhd", 16.16 fixed point
  std::uint32_t height = 0;
  std::uint32_t trackCreated = 0, trackModified = 0; // "tkhd"
  std::uint32_t mediaCreated = 0, mediaModified = 0; // "mdhd"
  // XXH3-64 digests.
  std::uint64_t matrix = 0;      // "tkhd": layer, group, volume and matrix
  std::uint64_t codec = 0;       // the "stsd" payload: codec and its set-up
  std::uint64_t edits = 0;       // the "edts" payload; of nothing without one
  std::uint64_t sizes = 0;       // each sample's size
  std::uint64_t times = 0;       // each sample's duration, so its decode time
  std::uint64_t composition = 0; // each sample's composition offset ("ctts")
  std::uint64_t keys = 0;        // each sample's sync flag ("stss")

  bool operator==(const TrackPlayback &) const = default;
};

struct MoviePlayback {
  std::uint32_t timescale = 0; // "mvhd"
  std::uint32_t duration = 0;
  std::uint32_t created = 0, modified = 0;
  std::uint64_t header = 0; // "mvhd": rate, volume and matrix
  std::uint32_t trackCount = 0;
  TrackPlayback tracks[kPlaybackMaxTracks];
};

// What differs between a description kept and one made now, first found.
enum class PlaybackChange {
  None,
  Tracks, // other tracks
  MovieTimescale,
  MovieDuration,
  MovieDates,
  MovieHeader,
  Timescale,
  Duration,
  Dimensions,
  Matrix,
  TrackDates,
  CodecSetup,
  EditList,
  SampleSizes,
  SampleTimes,
  CompositionOffsets,
  KeyFrames,
};

// Describes the "moov" whose payload (the bytes after its 8-byte header) is
// given. Boxes it does not know are passed over; false when a box it reads
// is malformed, a track claims more than kPlaybackMaxSamples samples, or
// there are more than kPlaybackMaxTracks tracks. Memory stays small
// whatever the counts say.
bool DescribePlayback(const std::uint8_t *moovPayload, std::size_t size, MoviePlayback &out);

// The first change from `kept` to `now`; `trackId` names the track (0 for
// the movie).
PlaybackChange ComparePlayback(const MoviePlayback &kept, const MoviePlayback &now,
                               std::uint32_t &trackId);

} // namespace orvo
