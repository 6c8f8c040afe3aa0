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

std::size_t EncodeIntegrity(const IntegrityData &data, std::uint8_t *out) {
  const std::size_t name = data.recordFolder.size();
  if (name > kIntegrityMaxName || data.trackCount > kIntegrityMaxTracks)
    return 0;
  std::uint8_t *p = out;
  Put32(p, std::uint32_t{kIntegrityVersion} << 24);
  Put32(p + 4, data.firstFragment);
  Put32(p + 8, data.lastFragment);
  TMP4Container::PutBE16(p + 12, static_cast<std::uint16_t>(name));
  std::memcpy(p + 14, data.recordFolder.data(), name);
  p += 14 + name;
  Put32(p, data.trackCount);
  p += 4;
  for (std::uint32_t i = 0; i < data.trackCount; ++i) {
    Put32(p, data.tracks[i].trackId);
    Put32(p + 4, data.tracks[i].sampleCount);
    std::memcpy(p + 8, data.tracks[i].digest.bytes, 16);
    p += kIntegrityEntrySize;
  }
  return static_cast<std::size_t>(p - out);
}

bool DecodeIntegrity(const std::uint8_t *body, std::size_t size, IntegrityData &data) {
  BoundedReader in(body, size);
  std::uint32_t versionFlags = 0, count = 0;
  std::uint16_t name = 0;
  const std::uint8_t *text = nullptr;
  if (!in.U32(versionFlags) || versionFlags != std::uint32_t{kIntegrityVersion} << 24 ||
      !in.U32(data.firstFragment) || !in.U32(data.lastFragment) || !in.U16(name) ||
      name > kIntegrityMaxName || !in.Bytes(name, text) || !in.U32(count) ||
      count > kIntegrityMaxTracks || in.Remaining() != count * kIntegrityEntrySize)
    return false;
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
  }
  return true;
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
