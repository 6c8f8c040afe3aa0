#include "gps/GpxReader.h"

#include "gps/GpsTime.h"
#include "platform/Error.h"
#include "platform/FileSystem.h"
#include "platform/Xml.h"

#include <charconv>
#include <cmath>

namespace orvo::gps {

namespace {

constexpr std::size_t kMaxDepth = 64;
constexpr std::size_t kMaxValueText = 64; // longer text in a value is damage

std::string_view Trim(std::string_view s) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
  while (!s.empty() && blank(s.front()))
    s.remove_prefix(1);
  while (!s.empty() && blank(s.back()))
    s.remove_suffix(1);
  return s;
}

// xsd:decimal and xsd:double as the C locale writes them; "+" allowed.
std::optional<double> ParseNumber(std::string_view text) {
  text = Trim(text);
  if (!text.empty() && text.front() == '+')
    text.remove_prefix(1);
  double value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size() || text.empty() ||
      !std::isfinite(value))
    return std::nullopt;
  return value;
}

enum class Field { None, Elevation, Time, Speed, Course };

struct Point {
  std::optional<double> lat, lon, ele, speed, course;
  std::optional<std::int64_t> time;
};

class GpxHandler : public platform::XmlHandler {
public:
  explicit GpxHandler(GpsTrack &track) : track_(track) {}

  bool StartElement(std::string_view, std::string_view name,
                    const std::vector<platform::XmlAttribute> &attributes) override {
    if (++depth_ > kMaxDepth) {
      track_.note = "the GPX file is nested too deeply";
      return false;
    }
    text_.clear();
    tooLong_ = false;
    field_ = Field::None;
    if (pointDepth_ == 0) {
      if (name == "trkpt" || name == "rtept") {
        pointDepth_ = depth_;
        point_ = {};
        for (const auto &a : attributes) {
          if (!a.namespaceUri.empty())
            continue;
          if (a.localName == "lat")
            point_.lat = ParseNumber(a.value);
          else if (a.localName == "lon")
            point_.lon = ParseNumber(a.value);
        }
      }
      return true;
    }
    if (name == "extensions")
      extensionsDepth_ = depth_;
    const bool child = depth_ == pointDepth_ + 1;
    if (child && name == "ele")
      field_ = Field::Elevation;
    else if (child && name == "time")
      field_ = Field::Time;
    else if ((child || extensionsDepth_) && name == "speed")
      field_ = Field::Speed;
    else if ((child || extensionsDepth_) && name == "course")
      field_ = Field::Course;
    return true;
  }

  bool EndElement(std::string_view, std::string_view) override {
    if (pointDepth_ && depth_ == pointDepth_) {
      pointDepth_ = 0;
      extensionsDepth_ = 0;
      if (!AddPoint())
        return false;
    } else if (field_ != Field::None) {
      TakeField();
    }
    if (depth_ == extensionsDepth_)
      extensionsDepth_ = 0;
    field_ = Field::None;
    --depth_;
    return true;
  }

  bool CharacterData(std::string_view text) override {
    if (field_ != Field::None) {
      if (text_.size() + text.size() > kMaxValueText)
        tooLong_ = true;
      else
        text_.append(text);
    }
    return true;
  }

private:
  void TakeField() {
    if (tooLong_) {
      tooLong_ = false;
      return;
    }
    switch (field_) {
    case Field::Elevation:
      point_.ele = ParseNumber(text_);
      break;
    case Field::Time:
      point_.time = ParseIsoTime(text_);
      break;
    case Field::Speed:
      if (!point_.speed)
        point_.speed = ParseNumber(text_);
      break;
    case Field::Course:
      if (!point_.course)
        point_.course = ParseNumber(text_);
      break;
    case Field::None:
      break;
    }
  }

  bool AddPoint() {
    const Point &p = point_;
    if (!p.lat || !p.lon || !p.time || std::abs(*p.lat) > 90 || std::abs(*p.lon) > 180) {
      ++track_.skipped;
      return true;
    }
    if (!track_.fixes.empty() && *p.time <= track_.fixes.back().utcMs) {
      ++track_.dropped;
      return true;
    }
    if (track_.fixes.size() >= kMaxGpxFixes) {
      track_.note = "the GPX file has more points than are read";
      return false;
    }
    GpsFix fix;
    fix.utcMs = *p.time;
    fix.latitude = *p.lat;
    fix.longitude = *p.lon;
    fix.elevation = p.ele;
    fix.speedComputed = !(p.speed && *p.speed >= 0);
    fix.speed = fix.speedComputed ? 0 : *p.speed;
    if (p.course) {
      fix.course = std::fmod(std::fmod(*p.course, 360.0) + 360.0, 360.0);
    }
    track_.fixes.push_back(fix);
    return true;
  }

  GpsTrack &track_;
  std::size_t depth_ = 0;
  std::size_t pointDepth_ = 0;      // depth of the open point, 0 outside one
  std::size_t extensionsDepth_ = 0; // depth of its open <extensions>
  Field field_ = Field::None;
  std::string text_;
  bool tooLong_ = false;
  Point point_;
};

} // namespace

GpsTrack ParseGpx(std::string_view document) {
  GpsTrack track;
  GpxHandler handler(track);
  std::string error;
  if (platform::ParseXml(document, handler, error) == platform::XmlOutcome::Malformed)
    track.note = "the GPX file is damaged: " + error;
  ComputeMissingMotion(track.fixes);
  return track;
}

GpsTrack ReadGpx(const std::string &path) {
  GpsTrack track;
  std::string error;
  std::uint64_t size = 0;
  if (!platform::CheckReadableFile(path, error, size)) {
    track.note = "the GPX file cannot be read: " + error;
    return track;
  }
  if (size > kMaxGpxBytes) {
    track.note = "the GPX file is larger than 64 MiB";
    return track;
  }
  std::string content;
  if (!platform::ReadWholeFile(path, content, kMaxGpxBytes)) {
    track.note = "the GPX file cannot be read: " + platform::LastErrorText();
    return track;
  }
  return ParseGpx(content);
}

} // namespace orvo::gps
