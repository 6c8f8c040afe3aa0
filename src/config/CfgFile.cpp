// The card's configuration file: one "NAME = value" line per written
// parameter, then the two OSD texts, lines ending in CR LF.

#include "config/CfgState.h"
#include "platform/File.h"
#include "platform/FileSystem.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace orvo {

namespace {

// Only this many characters of a line count; the rest is read and dropped.
constexpr std::size_t kLineLimit = 79;
// The recorder's path buffer: a path that would not leave room for the file
// name within 256 characters is refused, also when no name is appended.
constexpr std::size_t kPathLimit = 256;

// Characters as the file system counts them (UTF-16 units of a UTF-8 path).
std::size_t PathUnits(std::string_view path) {
  std::size_t n = 0;
  for (unsigned char c : path) {
    if ((c & 0xC0) != 0x80)
      ++n;
    if (c >= 0xF0)
      ++n;
  }
  return n;
}

bool BuildPath(const std::string &path, bool appendName, std::string &full) {
  if (PathUnits(path) + kCfgFileName.size() >= kPathLimit)
    return false;
  full = appendName ? path + std::string(kCfgFileName) : path;
  return true;
}

bool IsBlank(unsigned char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

// Optional sign, or a "0B"/"0X" prefix, then at least one digit of the base;
// accumulated modulo 2^32 like the recorder does.
bool ParseNumber(std::string_view text, std::int32_t &value) {
  bool negative = false;
  std::uint32_t base = 10;
  std::size_t i = 0;
  if (text[0] == '+' || text[0] == '-') {
    negative = text[0] == '-';
    i = 1;
  } else if (text.size() >= 2 && text[0] == '0' && (text[1] == 'B' || text[1] == 'X')) {
    base = text[1] == 'B' ? 2 : 16;
    i = 2;
  }
  if (i >= text.size())
    return false;
  std::uint32_t acc = 0;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    std::uint32_t digit;
    if (c >= '0' && c <= '9')
      digit = static_cast<std::uint32_t>(c - '0');
    else if (c >= 'A' && c <= 'F')
      digit = static_cast<std::uint32_t>(c - 'A' + 10);
    else
      return false;
    if (digit >= base)
      return false;
    acc = acc * base + digit;
  }
  if (negative)
    acc = 0u - acc;
  value = static_cast<std::int32_t>(acc);
  return true;
}

// Splits bytes into lines as they come and applies each.
class LineFeeder {
public:
  LineFeeder() { line_.reserve(kLineLimit); }
  void Feed(const char *buffer, std::size_t n) {
    std::size_t start = 0;
    // A UTF-8 byte-order mark, as some editors write, is not part of a line.
    if (first_ && n >= 3 && std::memcmp(buffer, "\xEF\xBB\xBF", 3) == 0)
      start = 3;
    first_ = false;
    for (std::size_t i = start; i < n; ++i) {
      const unsigned char c = static_cast<unsigned char>(buffer[i]);
      if (betweenLines_) {
        if (IsBlank(c))
          continue;
        betweenLines_ = false;
        line_.clear();
      }
      if (c == '\r' || c == '\n') {
        ParseCfgLine(line_);
        betweenLines_ = true;
      } else if (line_.size() < kLineLimit) {
        line_.push_back(static_cast<char>(c));
      }
    }
  }
  void Finish() {
    if (!betweenLines_)
      ParseCfgLine(line_);
  }

private:
  std::string line_;
  bool betweenLines_ = true;
  bool first_ = true;
};

bool ReadLines(const std::string &fullPath) {
  // Opened without blocking and only as a regular file: the card is not
  // trusted to hold a file under this name.
  platform::File file;
  if (!file.OpenRead(fullPath))
    return false;
  // Lines are applied as they come; a read failure puts everything back.
  const cfg_internal::CfgState saved = cfg_internal::State();
  LineFeeder feeder;
  char buffer[4096];
  std::int64_t got;
  while ((got = file.Read(buffer, sizeof buffer)) > 0)
    feeder.Feed(buffer, static_cast<std::size_t>(got));
  if (got < 0) {
    cfg_internal::State() = saved;
    return false;
  }
  feeder.Finish();
  return true;
}

void AppendText(std::string &out, const char *text, int len) {
  if (len > 0)
    out.append(text, static_cast<std::size_t>(len));
}

} // namespace

// Bytes 0x80 and above are treated like control characters: the line is
// ignored. The recorder shows only ASCII and this program never writes them.
void ParseCfgLine(std::string_view line) {
  line = line.substr(0, kLineLimit);
  std::string copied;
  copied.reserve(line.size());
  bool quoted = false;
  for (const char ch : line) {
    const unsigned char c = static_cast<unsigned char>(ch);
    if (c == ';')
      break;
    if (c < 0x20 || c >= 0x7F)
      return;
    if (c == '"') {
      quoted = !quoted;
      copied.push_back(ch);
    } else if (quoted) {
      copied.push_back(ch);
    } else if (c != ' ') {
      copied.push_back(c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : ch);
    }
  }
  const std::size_t eq = copied.find('=');
  if (eq == std::string::npos)
    return;
  const std::string_view name = std::string_view(copied).substr(0, eq);
  std::string_view value = std::string_view(copied).substr(eq + 1);
  if (value.empty())
    return;
  bool isQuoted = false;
  if (value.front() == '"') {
    const std::size_t close = value.find('"', 1);
    if (close != value.size() - 1)
      return;
    value = value.substr(1, close - 1);
    isQuoted = true;
  }
  const int param = FindParam(name);
  if (param >= 0) {
    std::int32_t number;
    if (isQuoted || !ParseNumber(value, number))
      return;
    if (number < ParamMin(param) || number > ParamMax(param))
      return;
    SetParam(param, number);
    return;
  }
  const int slot = name == "OSD_STR1" ? 0 : name == "OSD_STR2" ? 1 : -1;
  if (slot < 0)
    return;
  value = value.substr(0, kOsdTextMaxLength);
  if (value != GetOsdText(slot))
    SetOsdText(slot, value);
}

bool ReadCfgFile(const std::string &path, bool appendName) {
  std::string full;
  const bool ok = BuildPath(path, appendName, full) && ReadLines(full);
  RawToFields();
  return ok;
}

bool LoadCfgFileBytes(const std::string &path, bool appendName, std::string &bytes) {
  bytes.clear();
  std::string full;
  return BuildPath(path, appendName, full) &&
         platform::ReadWholeFile(full, bytes, kCfgFileBytesLimit);
}

void ApplyCfgText(std::string_view bytes) {
  LineFeeder feeder;
  feeder.Feed(bytes.data(), bytes.size());
  feeder.Finish();
  RawToFields();
}

std::string CfgFileText() {
  FieldsToRaw();
  std::string text;
  // Names have at most 31 characters and texts 47, so every line fits.
  char line[128];
  for (int i = 0; i < kCfgParamCount; ++i) {
    if (!IsParamWritten(i))
      continue;
    const char *name = CfgParameters()[i].name;
    const std::int32_t value = GetParam(i);
    const int len = IsParamHex(i) ? std::snprintf(line, sizeof line, "%s = 0x%08X\r\n", name,
                                                  static_cast<std::uint32_t>(value))
                                  : std::snprintf(line, sizeof line, "%s = %d\r\n", name, value);
    AppendText(text, line, len);
  }
  for (int slot = 0; slot < kOsdTextCount; ++slot) {
    const int len = std::snprintf(line, sizeof line, "OSD_STR%u = \"%s\"\r\n",
                                  static_cast<unsigned>(slot + 1), GetOsdText(slot).c_str());
    AppendText(text, line, len);
  }
  return text;
}

bool WriteCfgText(const std::string &path, bool appendName, std::string_view text) {
  std::string full;
  // Replaced as a whole once on the medium: the recorder must never find a
  // file cut short, and card preparation must not report such a card ready.
  return BuildPath(path, appendName, full) && platform::WriteWholeFileAtomically(full, text);
}

bool WriteCfgFile(const std::string &path, bool appendName) {
  return WriteCfgText(path, appendName, CfgFileText());
}

} // namespace orvo
