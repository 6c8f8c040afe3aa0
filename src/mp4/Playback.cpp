#include "mp4/Playback.h"

#include "mp4/BoundedReader.h"

#include <cstring>

#define XXH_INLINE_ALL
#include <xxhash.h>

namespace orvo {

namespace {

bool TypeIs(const char *type, const char *name) {
  return std::memcmp(type, name, 4) == 0;
}

// The next box of `in`: its type and a reader over its payload. A size of 1
// (64-bit size follows) and of 0 (up to the end) are the format's own.
bool NextBox(BoundedReader &in, char type[4], BoundedReader &payload) {
  std::uint32_t size = 0;
  const std::uint8_t *t = nullptr;
  if (!in.U32(size) || !in.Bytes(4, t))
    return false;
  std::memcpy(type, t, 4);
  std::uint64_t bytes = 0;
  if (size == 1) {
    std::uint32_t high = 0, low = 0;
    if (!in.U32(high) || !in.U32(low))
      return false;
    bytes = (std::uint64_t{high} << 32 | low);
    if (bytes < 16)
      return false;
    bytes -= 16;
  } else if (size == 0) {
    bytes = in.Remaining();
  } else {
    if (size < 8)
      return false;
    bytes = size - 8;
  }
  return bytes <= in.Remaining() && in.Sub(static_cast<std::size_t>(bytes), payload);
}

std::uint64_t DigestOf(const std::uint8_t *data, std::size_t size, std::uint64_t seed = 0) {
  return XXH3_64bits_withSeed(data, size, seed);
}

// A digest of a run of 32-bit values fed one at a time, batched so that
// memory stays small however many there are.
class ValueDigest {
public:
  ValueDigest() { XXH3_64bits_reset(&state_); }
  void Add(std::uint32_t v) {
    batch_[used_++] = v;
    if (used_ == kBatch)
      Drain();
  }
  // `extra` tells what the values alone cannot: entries beyond the samples,
  // or a table that is missing.
  std::uint64_t Final(std::uint64_t extra) {
    Drain();
    XXH3_64bits_update(&state_, &extra, sizeof extra);
    return XXH3_64bits_digest(&state_);
  }

private:
  void Drain() {
    if (used_)
      XXH3_64bits_update(&state_, batch_, used_ * sizeof batch_[0]);
    used_ = 0;
  }
  static constexpr std::size_t kBatch = 1024;
  XXH3_state_t state_;
  std::uint32_t batch_[kBatch];
  std::size_t used_ = 0;
};

// 64-bit times of version 1 boxes fold into 32 bits: enough to tell them apart.
bool Time(BoundedReader &in, bool wide, std::uint32_t &value) {
  std::uint32_t high = 0, low = 0;
  if (wide && !in.U32(high))
    return false;
  if (!in.U32(low))
    return false;
  value = low ^ high;
  return true;
}

bool VersionOf(BoundedReader &in, bool &wide) {
  std::uint32_t versionFlags = 0;
  if (!in.U32(versionFlags) || versionFlags >> 24 > 1)
    return false;
  wide = versionFlags >> 24 == 1;
  return true;
}

bool ParseMvhd(BoundedReader in, MoviePlayback &m) {
  bool wide = false;
  if (!VersionOf(in, wide) || !Time(in, wide, m.created) || !Time(in, wide, m.modified) ||
      !in.U32(m.timescale) || !Time(in, wide, m.duration))
    return false;
  const std::uint8_t *rest = nullptr;
  const std::size_t n = in.Remaining();
  return in.Bytes(n, rest) && ((m.header = DigestOf(rest, n)), true);
}

bool ParseTkhd(BoundedReader in, TrackPlayback &t) {
  bool wide = false;
  std::uint32_t reserved = 0;
  const std::uint8_t *looks = nullptr;
  if (!VersionOf(in, wide) || !Time(in, wide, t.trackCreated) ||
      !Time(in, wide, t.trackModified) || !in.U32(t.trackId) || !in.U32(reserved) ||
      !Time(in, wide, t.trackDuration) || !in.Skip(8) || !in.Bytes(44, looks) ||
      !in.U32(t.width) || !in.U32(t.height))
    return false;
  t.matrix = DigestOf(looks, 44);
  return true;
}

bool ParseMdhd(BoundedReader in, TrackPlayback &t) {
  bool wide = false;
  return VersionOf(in, wide) && Time(in, wide, t.mediaCreated) &&
         Time(in, wide, t.mediaModified) && in.U32(t.timescale) &&
         Time(in, wide, t.mediaDuration);
}

struct SampleTables {
  bool stsz = false, stts = false, ctts = false, stss = false;
  BoundedReader sizes{nullptr, 0}, times{nullptr, 0}, offsets{nullptr, 0}, keys{nullptr, 0};
};

bool FindTables(BoundedReader stbl, TrackPlayback &t, SampleTables &tables) {
  char type[4];
  BoundedReader box(nullptr, 0);
  while (stbl.Remaining() > 0) {
    if (!NextBox(stbl, type, box))
      return false;
    const std::size_t n = box.Remaining();
    const std::uint8_t *bytes = nullptr;
    if (TypeIs(type, "stsd")) {
      if (!box.Bytes(n, bytes))
        return false;
      t.codec = DigestOf(bytes, n);
    } else if (TypeIs(type, "stsz")) {
      tables.stsz = true;
      tables.sizes = box;
    } else if (TypeIs(type, "stts")) {
      tables.stts = true;
      tables.times = box;
    } else if (TypeIs(type, "ctts")) {
      tables.ctts = true;
      tables.offsets = box;
    } else if (TypeIs(type, "stss")) {
      tables.stss = true;
      tables.keys = box;
    }
  }
  return true;
}

// Expands a run-length table of (count, value) entries over the samples.
bool DigestRuns(BoundedReader in, std::uint32_t samples, std::uint64_t &digest) {
  std::uint32_t versionFlags = 0, entries = 0;
  if (!in.U32(versionFlags) || !in.U32(entries) || std::uint64_t{entries} * 8 != in.Remaining())
    return false;
  ValueDigest d;
  std::uint64_t described = 0;
  for (std::uint32_t i = 0; i < entries; ++i) {
    std::uint32_t count = 0, value = 0;
    in.U32(count);
    in.U32(value);
    for (std::uint64_t j = 0; j < count && described + j < samples; ++j)
      d.Add(value);
    described += count;
  }
  for (std::uint64_t j = described; j < samples; ++j)
    d.Add(0);
  digest = d.Final(described);
  return true;
}

bool DigestSampleTables(const SampleTables &tables, TrackPlayback &t) {
  BoundedReader in = tables.sizes;
  std::uint32_t versionFlags = 0, uniform = 0, count = 0;
  if (!tables.stsz || !in.U32(versionFlags) || !in.U32(uniform) || !in.U32(count) ||
      count > kPlaybackMaxSamples || (uniform == 0 && std::uint64_t{count} * 4 != in.Remaining()))
    return false;
  t.sampleCount = count;
  ValueDigest sizes;
  for (std::uint32_t i = 0; i < count; ++i) {
    std::uint32_t size = uniform;
    if (uniform == 0)
      in.U32(size);
    sizes.Add(size);
  }
  t.sizes = sizes.Final(0);

  if (tables.stts) {
    if (!DigestRuns(tables.times, count, t.times))
      return false;
  } else {
    t.times = ValueDigest().Final(~0ull);
  }
  if (tables.ctts) {
    if (!DigestRuns(tables.offsets, count, t.composition))
      return false;
  } else {
    t.composition = ValueDigest().Final(~0ull);
  }

  // Without "stss" every sample is a sync sample. Entries that are out of
  // order or beyond the samples are counted apart.
  BoundedReader keys = tables.keys;
  std::uint32_t entries = 0, next = 0;
  std::uint64_t stray = 0;
  if (tables.stss && (!keys.U32(versionFlags) || !keys.U32(entries) ||
                      std::uint64_t{entries} * 4 != keys.Remaining()))
    return false;
  std::uint32_t read = 0;
  auto advance = [&] {
    next = 0;
    while (read < entries && next == 0) {
      std::uint32_t v = 0;
      keys.U32(v);
      ++read;
      if (v == 0 || v > count)
        ++stray;
      else
        next = v;
    }
  };
  if (tables.stss)
    advance();
  ValueDigest flags;
  for (std::uint32_t i = 1; i <= count; ++i) {
    bool key = !tables.stss;
    while (tables.stss && next != 0 && next < i) { // out of order
      ++stray;
      advance();
    }
    if (tables.stss && next == i) {
      key = true;
      advance();
    }
    flags.Add(key ? 1 : 0);
  }
  while (tables.stss && next != 0) {
    ++stray;
    advance();
  }
  t.keys = flags.Final(stray);
  return true;
}

bool ParseTrak(BoundedReader trak, TrackPlayback &t) {
  char type[4];
  BoundedReader box(nullptr, 0);
  bool header = false, media = false;
  while (trak.Remaining() > 0) {
    if (!NextBox(trak, type, box))
      return false;
    if (TypeIs(type, "tkhd")) {
      if (header || !ParseTkhd(box, t))
        return false;
      header = true;
    } else if (TypeIs(type, "edts")) {
      const std::size_t n = box.Remaining();
      const std::uint8_t *bytes = nullptr;
      if (!box.Bytes(n, bytes))
        return false;
      t.edits = DigestOf(bytes, n, 1);
    } else if (TypeIs(type, "mdia")) {
      if (media)
        return false;
      media = true;
      BoundedReader mdia = box, child(nullptr, 0), stbl(nullptr, 0);
      bool found = false;
      while (mdia.Remaining() > 0) {
        if (!NextBox(mdia, type, child))
          return false;
        if (TypeIs(type, "mdhd") && !ParseMdhd(child, t))
          return false;
        if (!TypeIs(type, "minf"))
          continue;
        BoundedReader minf = child;
        while (minf.Remaining() > 0) {
          if (!NextBox(minf, type, child))
            return false;
          if (TypeIs(type, "stbl")) {
            stbl = child;
            found = true;
          }
        }
      }
      SampleTables tables;
      if (!found || !FindTables(stbl, t, tables) || !DigestSampleTables(tables, t))
        return false;
    }
  }
  return header && media;
}

} // namespace

bool DescribePlayback(const std::uint8_t *moovPayload, std::size_t size, MoviePlayback &out) {
  out = MoviePlayback{};
  BoundedReader moov(moovPayload, size), box(nullptr, 0);
  char type[4];
  bool header = false;
  while (moov.Remaining() > 0) {
    if (!NextBox(moov, type, box))
      return false;
    if (TypeIs(type, "mvhd")) {
      if (header || !ParseMvhd(box, out))
        return false;
      header = true;
    } else if (TypeIs(type, "trak")) {
      if (out.trackCount >= kPlaybackMaxTracks || !ParseTrak(box, out.tracks[out.trackCount]))
        return false;
      ++out.trackCount;
    }
  }
  return header;
}

PlaybackChange ComparePlayback(const MoviePlayback &kept, const MoviePlayback &now,
                               std::uint32_t &trackId) {
  using C = PlaybackChange;
  trackId = 0;
  if (kept.timescale != now.timescale)
    return C::MovieTimescale;
  if (kept.duration != now.duration)
    return C::MovieDuration;
  if (kept.created != now.created || kept.modified != now.modified)
    return C::MovieDates;
  if (kept.header != now.header)
    return C::MovieHeader;
  if (kept.trackCount != now.trackCount)
    return C::Tracks;
  for (std::uint32_t i = 0; i < kept.trackCount; ++i) {
    const TrackPlayback &a = kept.tracks[i], &b = now.tracks[i];
    trackId = a.trackId;
    if (a.trackId != b.trackId || a.sampleCount != b.sampleCount)
      return C::Tracks;
    if (a.timescale != b.timescale)
      return C::Timescale;
    if (a.mediaDuration != b.mediaDuration || a.trackDuration != b.trackDuration)
      return C::Duration;
    if (a.width != b.width || a.height != b.height)
      return C::Dimensions;
    if (a.matrix != b.matrix)
      return C::Matrix;
    if (a.trackCreated != b.trackCreated || a.trackModified != b.trackModified ||
        a.mediaCreated != b.mediaCreated || a.mediaModified != b.mediaModified)
      return C::TrackDates;
    if (a.codec != b.codec)
      return C::CodecSetup;
    if (a.edits != b.edits)
      return C::EditList;
    if (a.sizes != b.sizes)
      return C::SampleSizes;
    if (a.times != b.times)
      return C::SampleTimes;
    if (a.composition != b.composition)
      return C::CompositionOffsets;
    if (a.keys != b.keys)
      return C::KeyFrames;
  }
  trackId = 0;
  return C::None;
}

} // namespace orvo
