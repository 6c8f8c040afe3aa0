#include "mp4/Provenance.h"

#include "mp4/BoundedReader.h"

#include <algorithm>

namespace orvo {

namespace {

void Put32(std::vector<std::uint8_t> &out, std::uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8)
    out.push_back(static_cast<std::uint8_t>(v >> shift));
}

} // namespace

std::vector<std::uint8_t> EncodeProvenance(const ClipProvenance &p) {
  std::vector<std::uint8_t> out;
  if (p.recordFolder.size() > kIntegrityMaxName || p.fragments.size() > kProvenanceMaxFragments)
    return out;
  Put32(out, std::uint32_t{kProvenanceVersion} << 24);
  Put32(out, p.recordNumber);
  out.insert(out.end(), p.recordDigest.bytes, p.recordDigest.bytes + 16);
  out.push_back(static_cast<std::uint8_t>(p.recordFolder.size() >> 8));
  out.push_back(static_cast<std::uint8_t>(p.recordFolder.size()));
  out.insert(out.end(), p.recordFolder.begin(), p.recordFolder.end());
  Put32(out, static_cast<std::uint32_t>(p.fragments.size()));
  for (const ProvenanceFragment &f : p.fragments) {
    if (f.tracks.size() > kIntegrityMaxTracks)
      return {};
    Put32(out, f.number);
    out.push_back(static_cast<std::uint8_t>(f.tracks.size()));
    for (const ProvenanceRun &r : f.tracks) {
      Put32(out, r.firstSample);
      Put32(out, r.count);
    }
  }
  return out;
}

bool DecodeProvenance(const std::uint8_t *body, std::size_t size, ClipProvenance &p) {
  BoundedReader in(body, size);
  std::uint32_t head = 0, fragments = 0;
  std::uint16_t nameLength = 0;
  const std::uint8_t *digest = nullptr, *name = nullptr;
  p = ClipProvenance{};
  if (!in.U32(head) || head != std::uint32_t{kProvenanceVersion} << 24 || !in.U32(p.recordNumber) ||
      !in.Bytes(16, digest) || !in.U16(nameLength) || nameLength > kIntegrityMaxName ||
      !in.Bytes(nameLength, name))
    return false;
  std::copy(digest, digest + 16, p.recordDigest.bytes);
  p.recordFolder.assign(reinterpret_cast<const char *>(name), nameLength);
  // Each fragment takes at least 5 bytes: the count is checked against
  // what is left before anything is allocated.
  if (!in.U32(fragments) || fragments > kProvenanceMaxFragments || fragments > in.Remaining() / 5)
    return false;
  p.fragments.resize(fragments);
  for (ProvenanceFragment &f : p.fragments) {
    std::uint8_t tracks = 0;
    if (!in.U32(f.number) || !in.U8(tracks) || tracks > kIntegrityMaxTracks)
      return false;
    f.tracks.resize(tracks);
    for (ProvenanceRun &r : f.tracks)
      if (!in.U32(r.firstSample) || !in.U32(r.count))
        return false;
  }
  return in.Ok() && in.Remaining() == 0;
}

} // namespace orvo
