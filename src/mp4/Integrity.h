#pragma once

#include "mp4/Playback.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

// The integrity data that every written file carries inside "moov", so that a
// copy can later be checked against what came off the card.
//
// It is a "uuid" box, the format's own way of adding private data (ISO/IEC
// 14496-12, user extension types), rather than a child of "udta": a UUID
// cannot collide with another program's box, it is one level instead of two,
// and players read "udta" children as metadata tags while they skip unknown
// "uuid" boxes entirely. Layout, all integers big-endian:
//
//   offset  size  content
//   0       4     box size
//   4       4     "uuid"
//   8       16    kIntegrityUuid
//   24      1     format version, kIntegrityVersion
//   25      3     flags, 0
//   28      4     first fragment number of the record in this part
//   32      4     last fragment number of the record in this part
//   36      2     L: length of the record folder name, at most 255
//   38      L     record folder name, without a terminating NUL
//   38+L    4     N: number of track entries, at most 8
//   42+L    24×N  per entry: track ID (as in "tkhd"), sample count, and the
//                 XXH3 128-bit digest of the track's sample bytes in
//                 decode order, in xxHash's canonical form (high 64 bits
//                 first, each big-endian)
//
// A track is listed exactly when it has a "trak", that is when it holds 2 or
// more samples, and is named by its track ID (the writer's track index + 1).
// The digest covers the sample bytes alone, as they lie in "mdat", so it can
// be recomputed from any tool's copy of the packets.
//
// Version 2 (written now; version 1 is still read) adds what tells a file
// from another of the same record and how it plays (Playback.h):
//
//   38+L    16    XXH3 128-bit digest of the record file's 60 bytes with
//                 the marks byte taken as 0 (the record, not its marks)
//   54+L    4+4+4+4+8  movie time scale, duration, creation and
//                 modification time, digest of the rest of "mvhd"
//   78+L    4     N
//   82+L    116×N per entry: the 24 bytes of version 1, then the time scale,
//                 media duration, track duration, width, height, track and
//                 media creation and modification times (9 × 4 bytes) and
//                 the digests of matrix, codec set-up, edit list, sample
//                 sizes, times, composition offsets and key frames (7 × 8)
namespace orvo {

inline constexpr std::uint8_t kIntegrityUuid[16] = {0xFC, 0x0A, 0x01, 0x3C, 0x0F, 0x8E, 0x46, 0x67,
                                                    0xA2, 0x41, 0x7F, 0xFB, 0xF0, 0xED, 0x0B, 0xB3};
inline constexpr std::uint8_t kIntegrityVersion = 2;
inline constexpr std::uint8_t kIntegrityFirstVersion = 1;
inline constexpr std::size_t kIntegrityMaxName = 255;
inline constexpr std::uint32_t kIntegrityMaxTracks = kPlaybackMaxTracks;
inline constexpr std::size_t kIntegrityEntrySize = 24;
inline constexpr std::size_t kIntegrityPlaybackEntrySize = 9 * 4 + 7 * 8;
inline constexpr std::size_t kIntegrityMovieSize = 16 + 4 * 4 + 8;
// Payload after the 8-byte header and the UUID.
inline constexpr std::size_t kIntegrityMaxBody =
    4 + 8 + 2 + kIntegrityMaxName + kIntegrityMovieSize + 4 +
    kIntegrityMaxTracks * (kIntegrityEntrySize + kIntegrityPlaybackEntrySize);

struct Digest128 {
  std::uint8_t bytes[16] = {};
  bool operator==(const Digest128 &) const = default;
};

struct IntegrityTrack {
  std::uint32_t trackId = 0;
  std::uint32_t sampleCount = 0;
  Digest128 digest;
};

struct IntegrityData {
  // Version 1 has neither the record digest nor the playback description.
  std::uint8_t version = kIntegrityVersion;
  Digest128 recordDigest;
  // Its tracks are those of `tracks`, in the same order.
  MoviePlayback playback;
  std::string recordFolder;
  std::uint32_t firstFragment = 0;
  std::uint32_t lastFragment = 0;
  std::uint32_t trackCount = 0;
  IntegrityTrack tracks[kIntegrityMaxTracks];
};

enum class IntegrityStatus {
  Absent,    // no integrity box: another program or an earlier version wrote the file
  Present,   // read and well formed
  Malformed, // our box, but damaged: wrong version, sizes or counts
};

// The body after the UUID, written into `out` (at least kIntegrityMaxBody
// bytes); its length, or 0 when the data cannot be encoded (name too long,
// too many tracks).
std::size_t EncodeIntegrity(const IntegrityData &data, std::uint8_t *out);
// Parses a body after the UUID, of either version. False when anything does
// not fit the layout exactly: version, flags, lengths, counts, strictly
// ascending track IDs from 1 to 8, and no byte left over.
bool DecodeIntegrity(const std::uint8_t *body, std::size_t size, IntegrityData &data);

// XXH3 128-bit digest of a stream of bytes, fed piece by piece.
// XXH3 128-bit digest of bytes at hand.
Digest128 DigestOfBytes(const void *data, std::size_t size);

class TSampleDigest {
public:
  TSampleDigest();
  ~TSampleDigest();
  TSampleDigest(const TSampleDigest &) = delete;
  TSampleDigest &operator=(const TSampleDigest &) = delete;

  // Starts a new digest; false when its state cannot be allocated.
  bool Reset();
  void Update(const void *data, std::size_t size);
  // The digest of everything fed since Reset; the state stays usable.
  Digest128 Final() const;

private:
  struct State;
  std::unique_ptr<State> state_;
};

} // namespace orvo
