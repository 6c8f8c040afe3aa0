// Opens arbitrary bytes as a fragment file and reads every sample, then
// runs the video file test on the same bytes.
#include "engine/VideoFileTest.h"
#include "mp4/Mp4container.h"

#include <sys/mman.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  // The reader takes a path: hand it an in-memory file.
  int fd = memfd_create("mp4_reader", MFD_CLOEXEC);
  if (fd < 0)
    return 0;
  std::size_t done = 0;
  while (done < size) {
    ssize_t n = write(fd, data + done, size - done);
    if (n <= 0)
      break;
    done += static_cast<std::size_t>(n);
  }
  const std::string path = "/proc/self/fd/" + std::to_string(fd);
  orvo::TMP4Container reader;
  // Both ways of reading: by boxes and chunks, and the whole file at once.
  if (size > 0 && (data[size - 1] & 1))
    reader.ReadSmallFilesWhole(4u << 20);
  if (done == size && reader.OpenRead(path)) {
    reader.CheckFragment(4u << 20);
    for (int t = 0; t < reader.GetTrackCount(); ++t) {
      std::int8_t type;
      std::string name, language;
      std::uint8_t codec;
      std::int32_t recordSize;
      reader.GetTrackInfo(t, type, name, language);
      reader.GetCodecConfig(t, codec, recordSize);
      reader.GetTrackId(t);
    }
    orvo::IntegrityData integrity;
    if (reader.GetIntegrity(integrity) == orvo::IntegrityStatus::Present &&
        integrity.trackCount > orvo::kIntegrityMaxTracks)
      __builtin_trap();
    std::vector<std::uint8_t> buffer;
    int track;
    std::uint32_t index, sampleSize, time;
    bool key;
    while (reader.NextSample(track, index)) {
      if (!reader.GetSampleInfo(track, index, sampleSize, time, key))
        __builtin_trap();
      // Sizes come from the file; only what the file could hold is worth a buffer.
      if (sampleSize > size)
        continue;
      buffer.resize(sampleSize);
      reader.ReadSample(track, index, buffer.data(), sampleSize);
    }
    reader.Close();
  }
  if (done == size) {
    std::atomic<bool> cancel{false};
    orvo::TestVideoFile(path, cancel);
  }
  close(fd);
  return 0;
}
