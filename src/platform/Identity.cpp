#include "platform/IdentityDetail.h"

namespace orvo::platform {

namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9')
    return c - '0';
  if (c >= 'a' && c <= 'f')
    return c - 'a' + 10;
  if (c >= 'A' && c <= 'F')
    return c - 'A' + 10;
  return -1;
}

} // namespace

std::string DecodeDiskLinkName(std::string_view name) {
  std::string out;
  out.reserve(name.size());
  for (std::size_t i = 0; i < name.size(); ++i) {
    if (name[i] == '\\' && i + 3 < name.size() && name[i + 1] == 'x') {
      const int high = HexValue(name[i + 2]), low = HexValue(name[i + 3]);
      const int byte = high < 0 || low < 0 ? -1 : high * 16 + low;
      if (byte >= 0x20 && byte < 0x7F) {
        out.push_back(static_cast<char>(byte));
        i += 3;
        continue;
      }
    }
    out.push_back(name[i]);
  }
  return out;
}

} // namespace orvo::platform
