// HashFile over the files given, each digest printed as sha256sum prints it
// ("HEX  NAME"), so that bench/sha256_speed.sh can time the two against
// each other and compare their answers. Usage: bench_sha256_speed FILE...
#include "platform/Sha256.h"

#include <cstdio>
#include <string>

int main(int argc, char **argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s FILE...\n", argv[0]);
    return 2;
  }
  int status = 0;
  for (int i = 1; i < argc; ++i) {
    orvo::platform::Sha256Digest digest;
    std::string error;
    if (orvo::platform::HashFile(argv[i], digest, error)) {
      std::printf("%s  %s\n", orvo::platform::ToHex(digest).c_str(), argv[i]);
    } else {
      std::fprintf(stderr, "%s\n", error.c_str());
      status = 1;
    }
  }
  return status;
}
