#include "engine/PartJoin.h"

#include <cstring>
#include <string>

namespace orvo {

DamageKind DamageOf(FragmentFault fault) {
  switch (fault) {
  case FragmentFault::NoTracks:
    return DamageKind::NoTracks;
  case FragmentFault::EmptyTrack:
    return DamageKind::EmptyTrack;
  case FragmentFault::ZeroTimescale:
    return DamageKind::ZeroTimescale;
  case FragmentFault::TimesNotIncreasing:
    return DamageKind::TimesNotIncreasing;
  case FragmentFault::SampleOutsideFile:
    return DamageKind::SampleOutsideFile;
  case FragmentFault::SampleTooLarge:
    return DamageKind::SampleTooLarge;
  case FragmentFault::SampleOutsideData:
    return DamageKind::SampleOutsideData;
  case FragmentFault::SamplesOverlap:
    return DamageKind::SamplesOverlap;
  case FragmentFault::EmptySample:
    return DamageKind::EmptySample;
  case FragmentFault::OtherTrack:
  case FragmentFault::None:
    break;
  }
  return DamageKind::Structure;
}

TPartJoin::Fit TPartJoin::Check(TMP4Container &reader) const {
  const int tracks = reader.GetTrackCount();
  bool sameTracks = static_cast<int>(tracks_.size()) == tracks;
  bool sameConfig = sameTracks;
  for (int k = 0; sameTracks && k < tracks; ++k) {
    std::int8_t type = kTrackNone;
    std::string handler, language;
    std::uint8_t codecType = kCodecNone;
    std::int32_t size = 0;
    reader.GetTrackInfo(k, type, handler, language);
    const std::uint8_t *config = reader.GetCodecConfig(k, codecType, size);
    if (!config)
      codecType = kCodecNone;
    const Track &t = tracks_[static_cast<std::size_t>(k)];
    sameTracks = t.type == type && t.codecType == codecType;
    sameConfig = sameConfig && sameTracks && t.config.size() == std::size_t(config ? size : 0) &&
                 (!config || std::memcmp(t.config.data(), config, t.config.size()) == 0);
  }
  if (!sameTracks)
    return Fit::TracksDiffer;
  // A new decoder set-up (say the picture size changed) starts a new part,
  // so that every part decodes with the set-up it declares. So does a part
  // whose media time would pass 32 bits.
  bool fits = true;
  for (int k = 0; k < tracks; ++k)
    fits = fits && std::uint64_t{offsets_[k]} + reader.TrackDuration[k] <= 0xFFFFFFFFu;
  return sameConfig && fits ? Fit::Joins : Fit::NewPart;
}

bool TPartJoin::Begin(TMP4Container &reader, TMP4Container &writer) {
  tracks_.clear();
  open_ = false;
  const int tracks = reader.GetTrackCount();
  for (int k = 0; k < tracks; ++k) {
    std::int8_t type = kTrackNone;
    std::string handler, language;
    std::uint8_t codecType = kCodecNone;
    std::int32_t codecSize = 0;
    bool ok = reader.GetTrackInfo(k, type, handler, language) &&
              writer.AddTrack(type, handler, language) != -1;
    const std::uint8_t *config = ok ? reader.GetCodecConfig(k, codecType, codecSize) : nullptr;
    if (config)
      ok = writer.SetCodecConfig(k, codecType, codecSize, config);
    if (!ok)
      return false;
    offsets_[k] = 0;
    Track t{type, config ? codecType : kCodecNone, {}};
    if (config)
      t.config.assign(config, config + codecSize);
    tracks_.push_back(std::move(t));
  }
  open_ = true;
  return true;
}

TPartJoin::Copy TPartJoin::CopySamples(TMP4Container &reader, TMP4Container &writer,
                                       std::uint8_t *buffer, std::uint32_t capacity,
                                       const std::atomic<bool> &cancel, Tap *tap,
                                       std::uint32_t shift) {
  const bool layout = writer.IsLayout();
  int track = 0;
  std::uint32_t sample = 0;
  while (reader.NextSample(track, sample)) {
    // Checked per sample so that a cancel takes effect within a moment even
    // on a slow card; what was written so far is whole samples of a valid
    // file.
    if (cancel)
      return Copy::Cancelled;
    std::uint32_t size = 0, timestamp = 0;
    bool key = false;
    reader.GetSampleInfo(track, sample, size, timestamp, key);
    if (TrackType(track) == kTrackAudio) // every AAC frame decodes on its own
      key = true;
    const std::uint32_t time = offsets_[track] + timestamp;
    if (tap && (!tap->Keep(track, time) || time < shift))
      continue;
    // Straight from the reader's window into the part's chunk: one copy.
    const std::uint8_t *data = layout ? nullptr : reader.PeekSample(track, sample, buffer, capacity);
    if (!layout && !data)
      return Copy::ReadFailed;
    if (!writer.WriteSample(track, data, size, time - shift, key))
      return Copy::WriteFailed;
    if (tap)
      tap->Taken(track, sample, size);
  }
  return Copy::Copied;
}

void TPartJoin::Advance(const TMP4Container &reader) {
  for (std::size_t k = 0; k < tracks_.size() && k < kMaxTracks; ++k)
    offsets_[k] += reader.TrackDuration[k];
}

} // namespace orvo
