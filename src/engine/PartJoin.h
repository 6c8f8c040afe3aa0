#pragma once

#include "engine/Outcome.h"
#include "mp4/Mp4container.h"

#include <atomic>
#include <cstdint>
#include <vector>

namespace orvo {

// What a fragment fault is called in a record's problems.
DamageKind DamageOf(FragmentFault fault);

// How a record's fragments are joined into one part: which fragment may
// follow the open part, the tracks a part takes from its first fragment,
// and the order and times of the samples. A conversion writes what this
// joins; the player's virtual file lays out the very same samples.
class TPartJoin {
public:
  enum class Fit {
    Joins,        // same tracks, same decoder set-up
    NewPart,      // same tracks, but a new decoder set-up or media time past 32 bits
    TracksDiffer, // a fragment that fits no part of this record
  };
  // Whether the fragment open in `reader` continues the open part.
  Fit Check(TMP4Container &reader) const;

  // Gives `writer` (open, for writing or laying out) the tracks of the
  // fragment open in `reader`, with their decoder set-up. False when the
  // writer cannot take one: the fragment is at fault.
  bool Begin(TMP4Container &reader, TMP4Container &writer);
  bool IsOpen() const { return open_; }
  void End() { open_ = false; }
  std::int8_t TrackType(int track) const {
    return track >= 0 && static_cast<std::size_t>(track) < tracks_.size()
               ? tracks_[static_cast<std::size_t>(track)].type
               : kTrackNone;
  }

  // Called for each sample as it goes into the writer.
  class Tap {
  public:
    virtual void Taken(int track, std::uint32_t sample, std::uint32_t size) = 0;
    // Whether the sample at `time` (90 kHz from the part's start) goes in:
    // a clip takes a stretch only.
    virtual bool Keep(int, std::uint32_t) { return true; }

  protected:
    ~Tap() = default;
  };
  enum class Copy { Copied, Cancelled, ReadFailed, WriteFailed };
  // Every sample of the fragment open in `reader`, in decode-time order over
  // all tracks, after those of the fragments before it; a cancel stops
  // between samples. A laying-out writer gets sizes only, nothing is read.
  // The samples' times are written `shift` earlier.
  Copy CopySamples(TMP4Container &reader, TMP4Container &writer, std::uint8_t *buffer,
                   std::uint32_t capacity, const std::atomic<bool> &cancel, Tap *tap = nullptr,
                   std::uint32_t shift = 0);
  // The fragment was copied: the next one's times follow it.
  void Advance(const TMP4Container &reader);

private:
  struct Track {
    std::int8_t type;
    std::uint8_t codecType;
    std::vector<std::uint8_t> config;
  };
  std::vector<Track> tracks_;
  std::uint32_t offsets_[kMaxTracks] = {};
  bool open_ = false;
};

} // namespace orvo
