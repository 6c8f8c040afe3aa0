#include "gps/CardClock.h"

#include "gps/Alignment.h"
#include "platform/FileSystem.h"

#include <cctype>
#include <cstdlib>
#include <map>
#include <sstream>

namespace orvo::gps {

namespace {

constexpr char kConfigFile[] = "orvo-v264o4_tft_v1.cfg";

} // namespace

// The file's lines are "NAME = value ; comment", names in any case.
std::optional<std::int64_t> ReadCardClockOffset(const std::string &cardFolder) {
  std::string text;
  if (!platform::ReadWholeFile(platform::WithSeparator(cardFolder) + kConfigFile, text, 1u << 20))
    return std::nullopt;
  std::map<std::string, int> values;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    line = line.substr(0, line.find(';'));
    std::string name, value;
    const std::size_t eq = line.find('=');
    if (eq == std::string::npos)
      continue;
    for (char c : line.substr(0, eq))
      if (!std::isspace(static_cast<unsigned char>(c)))
        name += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    for (char c : line.substr(eq + 1))
      if (!std::isspace(static_cast<unsigned char>(c)))
        value += c;
    char *end = nullptr;
    const long number = std::strtol(value.c_str(), &end, 10);
    if (!value.empty() && end && *end == '\0' && number >= -1000 && number <= 1000)
      values[name] = static_cast<int>(number);
  }
  if (!values.count("GPS_TIME") || !values.count("GPS_TIMEZONE"))
    return std::nullopt;
  return ConfiguredClockOffset(values["GPS_TIME"], values.count("GPS_DST") ? values["GPS_DST"] : 0,
                               values["GPS_TIMEZONE"]);
}

} // namespace orvo::gps
