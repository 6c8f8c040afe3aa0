// The floor of verification: each file given dropped from the system's
// cache and read front to back in 8 MiB blocks, as a verifying pass must
// read it. Prints the seconds taken.
//
//   bench_read_back FILE...
#include "platform/File.h"

#include <chrono>
#include <cstdio>
#include <vector>

int main(int argc, char **argv) {
  std::vector<unsigned char> buffer(8u << 20);
  const auto start = std::chrono::steady_clock::now();
  unsigned long long bytes = 0;
  for (int i = 1; i < argc; ++i) {
    orvo::platform::File file;
    if (!file.OpenRead(argv[i])) {
      std::fprintf(stderr, "%s: cannot be opened\n", argv[i]);
      return 1;
    }
    file.DropCachedPages();
    for (;;) {
      const auto n = file.Read(buffer.data(), buffer.size());
      if (n <= 0)
        break;
      bytes += static_cast<unsigned long long>(n);
    }
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("%.3f\n", seconds);
  std::fprintf(stderr, "%llu bytes\n", bytes);
  return 0;
}
