#include "mp4/Integrity.h"

#include "mp4/BoundedReader.h"
#include "mp4/Mp4container.h"

#include <cstring>
#include <new>

// xxHash compiled into this file: no library to link or ship, which keeps a
// later Windows build free of a DLL, and the hashing loop can be inlined.
#define XXH_INLINE_ALL
#include <xxhash.h>

namespace orvo {

namespace detail {
void UpdateDigestAvx2(void *state, const void *data, std::size_t size);
} // namespace detail

namespace {

// Whether the hashing loop built for AVX2 may run here: the processor has
// it and the system saves its registers.
bool HasAvx2() {
#if defined(ORVO_XXH_AVX2) && (defined(__GNUC__) || defined(__clang__))
  static const bool has = __builtin_cpu_supports("avx2");
  return has;
#else
  return false;
#endif
}

constexpr auto Put32 = TMP4Container::PutBE32;

} // namespace

namespace {

void PutPlayback(std::uint8_t *p, const TrackPlayback &t) {
  const std::uint32_t words[9] = {t.timescale,    t.mediaDuration, t.trackDuration,
                                  t.width,        t.height,        t.trackCreated,
                                  t.trackModified, t.mediaCreated, t.mediaModified};
  for (std::uint32_t w : words) {
    Put32(p, w);
    p += 4;
  }
  const std::uint64_t digests[7] = {t.matrix, t.codec,       t.edits, t.sizes,
                                    t.times,  t.composition, t.keys};
  for (std::uint64_t d : digests) {
    Put32(p, static_cast<std::uint32_t>(d >> 32));
    Put32(p + 4, static_cast<std::uint32_t>(d));
    p += 8;
  }
}

bool U64(BoundedReader &in, std::uint64_t &v) {
  std::uint32_t high = 0, low = 0;
  if (!in.U32(high) || !in.U32(low))
    return false;
  v = std::uint64_t{high} << 32 | low;
  return true;
}

bool GetPlayback(BoundedReader &in, TrackPlayback &t) {
  std::uint32_t *words[9] = {&t.timescale,    &t.mediaDuration, &t.trackDuration,
                             &t.width,        &t.height,        &t.trackCreated,
                             &t.trackModified, &t.mediaCreated, &t.mediaModified};
  for (std::uint32_t *w : words)
    if (!in.U32(*w))
      return false;
  std::uint64_t *digests[7] = {&t.matrix, &t.codec,       &t.edits, &t.sizes,
                               &t.times,  &t.composition, &t.keys};
  for (std::uint64_t *d : digests)
    if (!U64(in, *d))
      return false;
  return true;
}

} // namespace

std::size_t EncodeIntegrity(const IntegrityData &data, std::uint8_t *out) {
  const std::size_t name = data.recordFolder.size();
  if (name > kIntegrityMaxName || data.trackCount > kIntegrityMaxTracks ||
      data.playback.trackCount != data.trackCount)
    return 0;
  std::uint8_t *p = out;
  Put32(p, std::uint32_t{kIntegrityVersion} << 24);
  Put32(p + 4, data.firstFragment);
  Put32(p + 8, data.lastFragment);
  TMP4Container::PutBE16(p + 12, static_cast<std::uint16_t>(name));
  std::memcpy(p + 14, data.recordFolder.data(), name);
  p += 14 + name;
  const MoviePlayback &m = data.playback;
  std::memcpy(p, data.recordDigest.bytes, 16);
  Put32(p + 16, m.timescale);
  Put32(p + 20, m.duration);
  Put32(p + 24, m.created);
  Put32(p + 28, m.modified);
  Put32(p + 32, static_cast<std::uint32_t>(m.header >> 32));
  Put32(p + 36, static_cast<std::uint32_t>(m.header));
  p += kIntegrityMovieSize;
  Put32(p, data.trackCount);
  p += 4;
  for (std::uint32_t i = 0; i < data.trackCount; ++i) {
    Put32(p, data.tracks[i].trackId);
    Put32(p + 4, data.tracks[i].sampleCount);
    std::memcpy(p + 8, data.tracks[i].digest.bytes, 16);
    PutPlayback(p + kIntegrityEntrySize, m.tracks[i]);
    p += kIntegrityEntrySize + kIntegrityPlaybackEntrySize;
  }
  return static_cast<std::size_t>(p - out);
}

bool DecodeIntegrity(const std::uint8_t *body, std::size_t size, IntegrityData &data) {
  BoundedReader in(body, size);
  std::uint32_t versionFlags = 0, count = 0;
  std::uint16_t name = 0;
  const std::uint8_t *text = nullptr;
  if (!in.U32(versionFlags) || (versionFlags != std::uint32_t{kIntegrityVersion} << 24 &&
                                versionFlags != std::uint32_t{kIntegrityFirstVersion} << 24))
    return false;
  data = IntegrityData{};
  data.version = static_cast<std::uint8_t>(versionFlags >> 24);
  const bool v2 = data.version >= 2;
  MoviePlayback &m = data.playback;
  const std::uint8_t *record = nullptr;
  if (!in.U32(data.firstFragment) || !in.U32(data.lastFragment) || !in.U16(name) ||
      name > kIntegrityMaxName || !in.Bytes(name, text))
    return false;
  if (v2 && (!in.Bytes(16, record) || !in.U32(m.timescale) || !in.U32(m.duration) ||
             !in.U32(m.created) || !in.U32(m.modified) || !U64(in, m.header)))
    return false;
  const std::size_t entry = kIntegrityEntrySize + (v2 ? kIntegrityPlaybackEntrySize : 0);
  if (!in.U32(count) || count > kIntegrityMaxTracks || in.Remaining() != count * entry)
    return false;
  if (record)
    std::memcpy(data.recordDigest.bytes, record, 16);
  data.recordFolder.assign(reinterpret_cast<const char *>(text), name);
  data.trackCount = count;
  std::uint32_t previousId = 0;
  for (std::uint32_t i = 0; i < count; ++i) {
    IntegrityTrack &t = data.tracks[i];
    const std::uint8_t *digest = nullptr;
    if (!in.U32(t.trackId) || !in.U32(t.sampleCount) || !in.Bytes(16, digest))
      return false;
    // The writer numbers tracks 1 to 8 and lists them in order; anything
    // else (a repeated ID in particular) cannot have come from it.
    if (t.trackId <= previousId || t.trackId > kIntegrityMaxTracks)
      return false;
    previousId = t.trackId;
    std::memcpy(t.digest.bytes, digest, 16);
    if (v2) {
      TrackPlayback &p = m.tracks[i];
      if (!GetPlayback(in, p))
        return false;
      p.trackId = t.trackId;
      p.sampleCount = t.sampleCount;
    }
  }
  if (v2)
    m.trackCount = count;
  return true;
}

Digest128 DigestOfBytes(const void *data, std::size_t size) {
  Digest128 d;
  XXH128_canonical_t canonical;
  XXH128_canonicalFromHash(&canonical, XXH3_128bits(data, size));
  std::memcpy(d.bytes, canonical.digest, sizeof d.bytes);
  return d;
}

struct TSampleDigest::State {
  XXH3_state_t xxh;
};

TSampleDigest::TSampleDigest() = default;
TSampleDigest::~TSampleDigest() = default;

bool TSampleDigest::Reset() {
  if (!state_) {
    state_.reset(new (std::nothrow) State);
    if (!state_)
      return false;
  }
  return XXH3_128bits_reset(&state_->xxh) == XXH_OK;
}

void TSampleDigest::Update(const void *data, std::size_t size) {
  if (!state_ || size == 0)
    return;
  if (HasAvx2())
    detail::UpdateDigestAvx2(&state_->xxh, data, size);
  else
    XXH3_128bits_update(&state_->xxh, data, size);
}

Digest128 TSampleDigest::Final() const {
  Digest128 d;
  if (!state_)
    return d;
  XXH128_canonical_t canonical;
  XXH128_canonicalFromHash(&canonical, XXH3_128bits_digest(&state_->xxh));
  static_assert(sizeof canonical.digest == sizeof d.bytes);
  std::memcpy(d.bytes, canonical.digest, sizeof d.bytes);
  return d;
}

} // namespace orvo
