#include "mp4/Container.h"

namespace orvo {

TContainer::TContainer() : state(kStateNotReady), position(0), trackCount(0), movieDuration(0) {
  for (int i = 0; i < kMaxTracks; ++i) {
    trackType[i] = kTrackNone;
    trackTimescale[i] = 1;
    TrackDuration[i] = 0;
    videoWidth[i] = videoHeight[i] = 0;
    audioChannels[i] = audioSampleBits[i] = 0;
  }
}

TContainer::~TContainer() = default;

std::uint32_t TContainer::Rescale(std::uint32_t value, std::uint32_t from, std::uint32_t to) {
  if (from == 0)
    return 0;
  return static_cast<std::uint32_t>(static_cast<std::uint64_t>(value) * to / from);
}

} // namespace orvo
