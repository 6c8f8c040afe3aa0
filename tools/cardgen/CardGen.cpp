#include "cardgen/CardGen.h"

#include "media/MediaSource.h"
#include "platform/File.h"
#include "platform/FileSystem.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>

namespace orvo::cardgen {

namespace {

void SetError(std::string *error, const std::string &text) {
  if (error)
    *error = text;
}

// Big-endian box writer; sizes of open boxes are patched when they end.
class Boxes {
public:
  explicit Boxes(std::vector<std::uint8_t> &out) : out_(out) {}
  void Begin(const char *type) {
    open_.push_back(out_.size());
    U32(0);
    Bytes(type, 4);
  }
  void BeginFull(const char *type, std::uint32_t flags) {
    Begin(type);
    U32(flags); // version 0
  }
  void End() {
    const std::size_t start = open_.back();
    open_.pop_back();
    const auto size = static_cast<std::uint32_t>(out_.size() - start);
    for (int i = 0; i < 4; ++i)
      out_[start + i] = static_cast<std::uint8_t>(size >> (24 - 8 * i));
  }
  void U8(unsigned v) { out_.push_back(static_cast<std::uint8_t>(v)); }
  void U16(unsigned v) {
    U8(v >> 8);
    U8(v);
  }
  void U32(std::uint32_t v) {
    U16(v >> 16);
    U16(v & 0xFFFF);
  }
  void Zeros(std::size_t n) { out_.insert(out_.end(), n, 0); }
  void Bytes(const void *data, std::size_t n) {
    const auto *p = static_cast<const std::uint8_t *>(data);
    out_.insert(out_.end(), p, p + n);
  }
  void Bytes(const std::vector<std::uint8_t> &v) { out_.insert(out_.end(), v.begin(), v.end()); }
  void Matrix() {
    const std::uint32_t m[9] = {0x10000, 0, 0, 0, 0x10000, 0, 0, 0, 0x40000000};
    for (auto v : m)
      U32(v);
  }
  std::size_t Position() const { return out_.size(); }

private:
  std::vector<std::uint8_t> &out_;
  std::vector<std::size_t> open_;
};

struct TrackBuild {
  bool video = false;
  std::uint32_t timescale = 0, delta = 0;
  std::vector<std::uint32_t> sizes, keys; // keys: 1-based sample numbers
  std::vector<std::uint32_t> chunkOffsets, chunkSamples;
  std::uint64_t Duration() const { return std::uint64_t(sizes.size()) * delta; }
};

// "eng" as the mdhd packs it: three 5-bit letters, each minus 0x60.
constexpr std::uint16_t kLanguageEng = (('e' - 0x60) << 10) | (('n' - 0x60) << 5) | ('g' - 0x60);

void WriteTrack(Boxes &b, const TrackBuild &t, std::uint32_t trackId, std::uint32_t durationMs,
                const media::VideoStream *v, const media::AudioStream *a) {
  b.Begin("trak");
  b.BeginFull("tkhd", t.video ? 3 : 1);
  b.U32(0);
  b.U32(0);
  b.U32(trackId);
  b.U32(0);
  b.U32(durationMs);
  b.Zeros(8);
  b.U16(0);
  b.U16(0);
  b.U16(t.video ? 0 : 0x0100);
  b.U16(0);
  b.Matrix();
  b.U32(t.video ? std::uint32_t(v->width) << 16 : 0);
  b.U32(t.video ? std::uint32_t(v->height) << 16 : 0);
  b.End();

  b.Begin("mdia");
  b.BeginFull("mdhd", 0);
  b.U32(0);
  b.U32(0);
  b.U32(t.timescale);
  b.U32(static_cast<std::uint32_t>(t.Duration()));
  b.U16(kLanguageEng);
  b.U16(0);
  b.End();
  b.BeginFull("hdlr", 0);
  b.U32(0);
  b.Bytes(t.video ? "vide" : "soun", 4);
  b.Zeros(12);
  const char *name = t.video ? "Video Media Handler" : "Sound Media Handler";
  b.Bytes(name, std::char_traits<char>::length(name) + 1);
  b.End();

  b.Begin("minf");
  if (t.video) {
    b.BeginFull("vmhd", 1);
    b.Zeros(8);
  } else {
    b.BeginFull("smhd", 0);
    b.Zeros(4);
  }
  b.End();
  b.Begin("dinf");
  b.BeginFull("dref", 0);
  b.U32(1);
  b.BeginFull("url ", 1);
  b.End();
  b.End();
  b.End();

  b.Begin("stbl");
  b.BeginFull("stsd", 0);
  b.U32(1);
  if (t.video) {
    b.Begin("avc1");
    b.Zeros(6);
    b.U16(1);
    b.Zeros(16);
    b.U16(v->width);
    b.U16(v->height);
    b.U32(0x480000);
    b.U32(0x480000);
    b.U32(0);
    b.U16(1);
    char compressor[32] = "AVC Coding"; // no length byte, as the recorder stores it
    b.Bytes(compressor, sizeof compressor);
    b.U16(0x18);
    b.U16(0xFFFF);
    b.Begin("avcC");
    b.U8(1);
    b.U8(v->sps.size() > 1 ? v->sps[1] : 0);
    b.U8(v->sps.size() > 2 ? v->sps[2] : 0);
    b.U8(v->sps.size() > 3 ? v->sps[3] : 0);
    b.U8(0xFF);
    b.U8(0xE1);
    b.U16(static_cast<unsigned>(v->sps.size()));
    b.Bytes(v->sps);
    b.U8(1);
    b.U16(static_cast<unsigned>(v->pps.size()));
    b.Bytes(v->pps);
    b.End();
    b.End();
  } else {
    b.Begin("mp4a");
    b.Zeros(6);
    b.U16(1);
    b.Zeros(8);
    b.U16(a->channels);
    b.U16(16);
    b.U32(0);
    b.U32(a->sampleRate << 16);
    // Short-form descriptors: every length is one byte.
    const auto d = static_cast<unsigned>(a->asc.size());
    b.BeginFull("esds", 0);
    b.U8(0x03);
    b.U8(d + 23);
    b.U16(0x0002);
    b.U8(0);
    b.U8(0x04);
    b.U8(d + 15);
    b.U8(0x40);
    b.U8(0x15);
    b.Zeros(3 + 4 + 4);
    b.U8(0x05);
    b.U8(d);
    b.Bytes(a->asc);
    b.U8(0x06);
    b.U8(0x01);
    b.U8(0x02);
    b.End();
    b.End();
  }
  b.End(); // stsd

  b.BeginFull("stts", 0);
  b.U32(1);
  b.U32(static_cast<std::uint32_t>(t.sizes.size()));
  b.U32(t.delta);
  b.End();
  if (t.video) {
    b.BeginFull("stss", 0);
    b.U32(static_cast<std::uint32_t>(t.keys.size()));
    for (auto k : t.keys)
      b.U32(k);
    b.End();
  }
  // One entry per chunk, never run-compressed: the recorder writes them so.
  b.BeginFull("stsc", 0);
  b.U32(static_cast<std::uint32_t>(t.chunkSamples.size()));
  for (std::size_t i = 0; i < t.chunkSamples.size(); ++i) {
    b.U32(static_cast<std::uint32_t>(i + 1));
    b.U32(t.chunkSamples[i]);
    b.U32(1);
  }
  b.End();
  b.BeginFull("stsz", 0);
  b.U32(0);
  b.U32(static_cast<std::uint32_t>(t.sizes.size()));
  for (auto s : t.sizes)
    b.U32(s);
  b.End();
  b.BeginFull("stco", 0);
  b.U32(static_cast<std::uint32_t>(t.chunkOffsets.size()));
  for (auto o : t.chunkOffsets)
    b.U32(o);
  b.End();
  b.End(); // stbl
  b.End(); // minf
  b.End(); // mdia
  b.End(); // trak
}

bool WriteFile(const std::string &path, const std::uint8_t *data, std::size_t size) {
  platform::File file;
  return file.CreateTruncate(path) &&
         file.Write(data, size) == static_cast<std::int64_t>(size) && file.Close();
}

bool WriteFile(const std::string &path, std::string_view text) {
  return WriteFile(path, reinterpret_cast<const std::uint8_t *>(text.data()), text.size());
}

bool EnsureFolder(const std::string &path) {
  return platform::IsEnterableDirectory(path) || platform::CreateDirectory(path);
}

void PutLe(std::uint8_t *p, std::uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i)
    p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

struct DateTime {
  int year, month, day, hour, minute, second; // full year
};

DateTime AddSeconds(int year, int month, int day, int hour, int minute, int second,
                    std::int64_t add) {
  using namespace std::chrono;
  const sys_days date{std::chrono::year{year} / std::chrono::month{unsigned(month)} /
                      std::chrono::day{unsigned(day)}};
  const sys_seconds t = date + hours{hour} + minutes{minute} + seconds{second} + seconds{add};
  const auto dayPart = floor<days>(t);
  const year_month_day ymd{dayPart};
  const hh_mm_ss<seconds> hms{t - dayPart};
  return {int(ymd.year()),          int(unsigned(ymd.month())), int(unsigned(ymd.day())),
          int(hms.hours().count()), int(hms.minutes().count()), int(hms.seconds().count())};
}

// Speed in m/s at second i of a drive of n seconds: standing for 3 s,
// 2 m/s² up to 14 m/s, braking at 2.5 m/s² to a stop two thirds in, 4 s
// standing, then away again.
double DriveSpeed(std::int64_t i, std::int64_t n) {
  const std::int64_t stop = n * 2 / 3;
  if (i >= stop - 6 && i < stop)
    return std::max(0.0, 14.0 - 2.5 * double(i - (stop - 6)));
  if (i >= stop && i < stop + 4)
    return 0;
  const std::int64_t from = i < stop ? 2 : stop + 3;
  return std::clamp(2.0 * double(i - from), 0.0, 14.0);
}

std::string GpxText(const RecordPlan &s, const std::string &name) {
  const bool v10 = s.gpxForm == GpxForm::Gpx10;
  std::string text = std::string("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n") +
                     (v10 ? "<gpx version=\"1.0\" creator=\"orvo-mkcard\" "
                            "xmlns=\"http://www.topografix.com/GPX/1/0\">\n"
                          : "<gpx version=\"1.1\" creator=\"orvo-mkcard\" "
                            "xmlns=\"http://www.topografix.com/GPX/1/1\" "
                            "xmlns:gpxtpx=\"http://www.garmin.com/xmlschemas/"
                            "TrackPointExtension/v2\">\n") +
                     "<trk><name>" + name + "</name><trkseg>\n";
  const std::int64_t count =
      std::int64_t(s.fragmentCount) * s.fragmentSeconds + s.trackLeadSeconds + 1;
  const std::int64_t first = std::int64_t(-s.clockOffsetMinutes) * 60 - s.trackLeadSeconds;
  double lat = 55.75 + 0.0001 * (s.number % 100), lon = 37.61;
  unsigned broken = 0;
  for (std::int64_t i = 0; i < count; ++i) {
    const DateTime t = AddSeconds(2000 + s.year, s.month ? s.month : 1, s.day ? s.day : 1, s.hour,
                                  s.minute, s.second, first + i);
    const double speed = DriveSpeed(i, count), course = std::fmod(30.0 + 0.5 * double(i), 360.0);
    char time[32], line[400];
    std::snprintf(time, sizeof time, "%04d-%02d-%02dT%02d:%02d:%02dZ", t.year, t.month, t.day,
                  t.hour, t.minute, t.second);
    if (v10)
      std::snprintf(line, sizeof line,
                    "<trkpt lat=\"%.7f\" lon=\"%.7f\"><ele>%.1f</ele><time>%s</time>"
                    "<course>%.1f</course><speed>%.2f</speed></trkpt>\n",
                    lat, lon, 140 + 0.1 * double(i % 50), time, course, speed);
    else
      std::snprintf(line, sizeof line,
                    "<trkpt lat=\"%.7f\" lon=\"%.7f\"><ele>%.1f</ele><time>%s</time><extensions>"
                    "<gpxtpx:TrackPointExtension><gpxtpx:speed>%.2f</gpxtpx:speed>"
                    "<gpxtpx:course>%.1f</gpxtpx:course></gpxtpx:TrackPointExtension>"
                    "</extensions></trkpt>\n",
                    lat, lon, 140 + 0.1 * double(i % 50), time, speed, course);
    text += line;
    // Broken points among the good ones, alternately without coordinates
    // that mean anything and without a time.
    if (broken < s.brokenPoints && i + 1 == (broken + 1) * count / (s.brokenPoints + 1)) {
      text += broken % 2 ? "<trkpt lat=\"55.75\" lon=\"37.61\"><ele>0</ele></trkpt>\n"
                         : "<trkpt lat=\"NaN\" lon=\"999\"><time>" + std::string(time) +
                               "</time></trkpt>\n";
      ++broken;
    }
    constexpr double kMetresPerDegree = 111320.0, kRadian = 3.14159265358979323846 / 180;
    lat += speed * std::cos(course * kRadian) / kMetresPerDegree;
    lon += speed * std::sin(course * kRadian) / (kMetresPerDegree * std::cos(lat * kRadian));
  }
  text += "</trkseg></trk>\n</gpx>\n";
  return text;
}

// Deterministic generator for repeated records (splitmix64).
struct Random {
  std::uint64_t state;
  std::uint64_t Next() {
    std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  unsigned Below(unsigned n) { return static_cast<unsigned>(Next() % n); }
};

} // namespace

const char *DamageName(Damage damage) {
  switch (damage) {
  case Damage::None:
    return "none";
  case Damage::MissingFragment:
    return "missing fragment";
  case Damage::TruncatedFragment:
    return "truncated fragment";
  case Damage::ShortRecordFile:
    return "short record file";
  case Damage::LongRecordFile:
    return "long record file";
  case Damage::RenamedFolder:
    return "renamed folder";
  case Damage::ForeignRecordFile:
    return "foreign record file";
  case Damage::NonDigitFolderName:
    return "non-digit folder name";
  case Damage::FileAsRecordFolder:
    return "file as record folder";
  case Damage::FileAsFragmentFolder:
    return "file as fragment folder";
  case Damage::ForeignFileInFragmentFolder:
    return "foreign file in fragment folder";
  }
  return "?";
}

std::array<std::uint8_t, kRecordFileSize> EncodeRecordFile(const RecordFields &f) {
  std::array<std::uint8_t, kRecordFileSize> r{};
  std::uint8_t *p = r.data();
  std::copy_n("H2644TFT", 8, p);
  PutLe(p + 8, f.recordNumber, 4);
  PutLe(p + 12, f.firstFragment, 4);
  PutLe(p + 16, f.lastFragment, 4);
  PutLe(p + 20, static_cast<std::uint32_t>(f.fragmentCount), 4);
  PutLe(p + 24, f.durationMs, 4);
  p[28] = f.day;
  p[29] = f.month;
  p[30] = f.year;
  p[31] = kReserved31;
  p[32] = f.hour;
  p[33] = f.minute;
  p[34] = f.second;
  p[35] = kReserved35;
  PutLe(p + 36, f.width, 2);
  PutLe(p + 38, f.height, 2);
  PutLe(p + 40, f.videoBitrate, 4);
  PutLe(p + 44, f.audioBitrate, 4);
  PutLe(p + 48, f.frameDuration, 4);
  std::copy(kReserved52.begin(), kReserved52.end(), p + 52);
  p[56] = f.attributes;
  p[57] = f.marks;
  std::copy(kReserved58.begin(), kReserved58.end(), p + 58);
  return r;
}

std::string RecordFolderName(std::uint32_t number, std::uint8_t year, std::uint8_t month,
                             std::uint8_t day, std::uint8_t hour, std::uint8_t minute,
                             std::uint8_t second) {
  char name[64];
  std::snprintf(name, sizeof name, "R%08u_D%02u%02u%02u_T%02u%02u%02u", unsigned(number),
                unsigned(year), unsigned(month), unsigned(day), unsigned(hour), unsigned(minute),
                unsigned(second));
  return name;
}

std::string FragmentPath(std::uint32_t number) {
  char path[64];
  std::snprintf(path, sizeof path, "DIR%05u%cF%07u.mp4", unsigned(number / 100),
                platform::kPathSeparator, unsigned(number));
  return path;
}

struct CardWriter::Impl {
  std::map<std::string, media::VideoStream> video;
  std::map<std::string, media::AudioStream> audio;
  struct Built {
    std::vector<std::uint8_t> bytes;
    FragmentInfo info;
  };
  std::map<std::string, Built> fragments;
  std::size_t cachedBytes = 0;
};

CardWriter::CardWriter() : impl_(std::make_unique<Impl>()) {}
CardWriter::~CardWriter() = default;

bool CardWriter::BuildFragment(const RecordPlan &plan, std::uint32_t slot,
                               std::vector<std::uint8_t> &bytes, FragmentInfo &info,
                               std::string *error) {
  const unsigned seconds = plan.fragmentSeconds;
  if (seconds == 0 || plan.fps == 0 || plan.width == 0 || plan.height == 0) {
    SetError(error, "bad record parameters");
    return false;
  }
  // The material is as long as the record, up to materialSeconds; fragments
  // beyond it start again from its beginning.
  const unsigned slotLimit = std::max(1u, std::max(materialSeconds, seconds) / seconds);
  const unsigned slots =
      std::min<unsigned>(slotLimit, std::max<std::uint32_t>(1, plan.fragmentCount));
  slot %= slots;
  const unsigned material = slots * seconds;

  char key[160];
  std::snprintf(key, sizeof key, "%ux%u@%u:%u/%u/%u:%u:%u|%u/%u/%u", plan.width, plan.height,
                plan.fps, plan.videoKbps, plan.audioRate, unsigned(plan.audioChannels),
                plan.audioKbps, material, seconds, plan.chunksPerFragment, slot);
  auto cached = impl_->fragments.find(key);
  if (cached != impl_->fragments.end()) {
    bytes = cached->second.bytes;
    info.video = cached->second.info.video;
    info.audio = cached->second.info.audio;
    return true;
  }

  const std::string vkey =
      std::string(key).substr(0, std::string(key).find('/')) + "/" + std::to_string(material);
  auto vit = impl_->video.find(vkey);
  if (vit == impl_->video.end()) {
    media::VideoStream v;
    if (!media::EncodeVideo(
            {plan.width, plan.height, plan.fps, double(material), 0, "testsrc2", plan.videoKbps}, v,
            error))
      return false;
    vit = impl_->video.emplace(vkey, std::move(v)).first;
  }
  const media::VideoStream &v = vit->second;
  const media::AudioStream *a = nullptr;
  if (plan.audioRate) {
    const std::string akey = std::to_string(plan.audioRate) + "/" +
                             std::to_string(plan.audioChannels) + "/" +
                             std::to_string(plan.audioKbps) + "/" + std::to_string(material);
    auto ait = impl_->audio.find(akey);
    if (ait == impl_->audio.end()) {
      media::AudioStream s;
      if (!media::EncodeAudio(
              {plan.audioRate, plan.audioChannels, double(material), 440, plan.audioKbps}, s,
              error))
        return false;
      ait = impl_->audio.emplace(akey, std::move(s)).first;
    }
    a = &ait->second;
  }

  const std::size_t frames = std::size_t(seconds) * plan.fps;
  const std::size_t v0 = std::size_t(slot) * frames;
  if (v0 + frames > v.samples.size() || !v.samples[v0].key) {
    SetError(error, "encoded video too short or without a key frame where needed");
    return false;
  }
  std::size_t a0 = 0, a1 = 0;
  if (a) {
    const std::uint64_t rate = a->sampleRate;
    a0 = static_cast<std::size_t>((std::uint64_t(slot) * seconds * rate + 1023) / 1024);
    a1 = static_cast<std::size_t>((std::uint64_t(slot + 1) * seconds * rate + 1023) / 1024);
    a1 = std::min(a1, a->samples.size());
    if (a0 >= a1) {
      SetError(error, "encoded audio too short");
      return false;
    }
  }
  const std::size_t chunks =
      std::clamp<std::size_t>(plan.chunksPerFragment ? plan.chunksPerFragment : 1, 1, frames);

  TrackBuild vt, at;
  vt.video = true;
  vt.timescale = 90000;
  vt.delta = 90000 / plan.fps;
  at.timescale = a ? a->sampleRate : 0;
  at.delta = 1024;

  bytes.clear();
  Boxes b(bytes);
  b.Begin("ftyp");
  b.Bytes("isom", 4);
  b.U32(0x200);
  b.Bytes("isomiso2avc1mp41", 16);
  b.End();
  b.Begin("mdat");
  // Interleaved: per period, a chunk of its video frames, then one of its audio frames.
  std::size_t vi = 0, ai = a0;
  for (std::size_t c = 0; c < chunks; ++c) {
    const std::size_t vEnd = (c + 1) * frames / chunks;
    if (vi < vEnd) {
      vt.chunkOffsets.push_back(static_cast<std::uint32_t>(b.Position()));
      vt.chunkSamples.push_back(static_cast<std::uint32_t>(vEnd - vi));
      for (; vi < vEnd; ++vi) {
        const auto &s = v.samples[v0 + vi];
        if (s.key)
          vt.keys.push_back(static_cast<std::uint32_t>(vi + 1));
        vt.sizes.push_back(static_cast<std::uint32_t>(s.data.size()));
        b.Bytes(s.data);
      }
    }
    if (a) {
      // Audio frames starting before the period's end, in the fragment's sample clock.
      const std::uint64_t periodEnd = (c + 1) * std::uint64_t(seconds) * a->sampleRate / chunks;
      std::size_t aEnd = ai;
      while (aEnd < a1 && (aEnd - a0) * 1024 < periodEnd)
        ++aEnd;
      if (c + 1 == chunks)
        aEnd = a1;
      if (ai < aEnd) {
        at.chunkOffsets.push_back(static_cast<std::uint32_t>(b.Position()));
        at.chunkSamples.push_back(static_cast<std::uint32_t>(aEnd - ai));
        for (; ai < aEnd; ++ai) {
          at.sizes.push_back(static_cast<std::uint32_t>(a->samples[ai].data.size()));
          b.Bytes(a->samples[ai].data);
        }
      }
    }
  }
  b.End();
  if (bytes.size() > 0xFFFFFFFFu) {
    SetError(error, "fragment too large for 32-bit chunk offsets");
    return false;
  }

  b.Begin("moov");
  b.BeginFull("mvhd", 0);
  b.U32(0);
  b.U32(0);
  b.U32(1000);
  b.U32(seconds * 1000);
  b.U32(0x10000);
  b.U16(0x0100);
  b.Zeros(10);
  b.Matrix();
  b.Zeros(24);
  b.U32(a ? 3 : 2);
  b.End();
  WriteTrack(b, vt, 1, seconds * 1000, &v, a);
  if (a)
    WriteTrack(b, at, 2,
               static_cast<std::uint32_t>((at.Duration() * 1000 + at.timescale / 2) / at.timescale),
               &v, a);
  b.End();

  auto summary = [](const TrackBuild &t) {
    TrackSummary s;
    s.samples = static_cast<std::uint32_t>(t.sizes.size());
    s.chunks = static_cast<std::uint32_t>(t.chunkOffsets.size());
    s.timescale = t.timescale;
    s.duration = t.Duration();
    s.duration90k = t.timescale ? s.duration * 90000 / t.timescale : 0;
    return s;
  };
  info.video = summary(vt);
  info.audio = a ? summary(at) : TrackSummary{};

  // Fragments are rewritten many times for large cards; keep a bounded cache.
  if (impl_->cachedBytes + bytes.size() > (std::size_t(512) << 20)) {
    impl_->fragments.clear();
    impl_->cachedBytes = 0;
  }
  impl_->cachedBytes += bytes.size();
  impl_->fragments[key] = Impl::Built{bytes, info};
  return true;
}

bool CardWriter::WriteRecord(const std::string &cardFolder, const RecordPlan &plan,
                             RecordInfo &info, bool catalogOnly, std::string *error) {
  info = RecordInfo();
  info.plan = plan;
  const std::string card = platform::WithSeparator(cardFolder);
  const char sep = platform::kPathSeparator;

  RecordFields &f = info.fields;
  f.recordNumber = plan.number;
  f.firstFragment = plan.firstFragment;
  f.lastFragment = plan.firstFragment + (plan.fragmentCount ? plan.fragmentCount - 1 : 0);
  f.fragmentCount = static_cast<std::int32_t>(plan.fragmentCount);
  f.durationMs = plan.fragmentCount * plan.fragmentSeconds * 1000;
  f.day = plan.day;
  f.month = plan.month;
  f.year = plan.year;
  f.hour = plan.hour;
  f.minute = plan.minute;
  f.second = plan.second;
  f.width = plan.width;
  f.height = plan.height;
  f.videoBitrate = plan.videoKbps * 1000;
  f.audioBitrate = plan.audioRate ? plan.audioKbps * 1000 : 0;
  f.frameDuration = plan.fps ? 90000 / plan.fps : 0;
  f.attributes = static_cast<std::uint8_t>((plan.mode & 7) | (plan.gps ? 0x40 : 0) |
                                           (plan.otherAttributeBits & ~0x47));
  f.marks = static_cast<std::uint8_t>((plan.checked ? 1 : 0) | (plan.converted ? 2 : 0) |
                                      (plan.otherMarkBits & ~3));
  const auto entry = EncodeRecordFile(f);
  info.recordFile.assign(entry.begin(), entry.end());

  const std::string trueName = RecordFolderName(plan.number, plan.year, plan.month, plan.day,
                                                plan.hour, plan.minute, plan.second);
  info.folderName = trueName;
  switch (plan.damage) {
  case Damage::ShortRecordFile:
    info.recordFile.resize(kRecordFileSize - 1);
    info.listed = false;
    break;
  case Damage::LongRecordFile:
    info.recordFile.insert(info.recordFile.end(), {0x11, 0x22, 0x33, 0x44});
    break;
  case Damage::RenamedFolder:
    info.folderName = RecordFolderName((plan.number + 50000000) % 100000000, plan.year, plan.month,
                                       plan.day, plan.hour, plan.minute, plan.second);
    info.listed = false;
    break;
  case Damage::ForeignRecordFile:
    std::copy_n("MJPG", 4, info.recordFile.begin());
    info.listed = false;
    break;
  case Damage::NonDigitFolderName:
    info.folderName[8] = 'A';
    info.listed = false;
    break;
  case Damage::FileAsRecordFolder:
    info.listed = false;
    break;
  default:
    break;
  }

  const std::string folder = card + info.folderName;
  if (plan.damage == Damage::FileAsRecordFolder) {
    info.recordFile.clear();
    const std::string text = "not a record, only named like one\n";
    if (!WriteFile(folder, text)) {
      SetError(error, "cannot write " + folder);
      return false;
    }
    return true;
  }
  if (!EnsureFolder(folder)) {
    SetError(error, "cannot create " + folder);
    return false;
  }
  const std::string prefix = folder + sep;
  if (!WriteFile(prefix + "record.dat", info.recordFile.data(), info.recordFile.size())) {
    SetError(error, "cannot write " + prefix + "record.dat");
    return false;
  }
  if (plan.gps) {
    info.gpxName = trueName + ".gpx";
    if (!WriteFile(prefix + info.gpxName, GpxText(plan, trueName))) {
      SetError(error, "cannot write " + prefix + info.gpxName);
      return false;
    }
  }
  if (catalogOnly)
    return true;

  const std::uint32_t firstDir = plan.firstFragment / 100;
  std::vector<std::uint8_t> bytes;
  for (std::uint32_t j = 0; j < plan.fragmentCount; ++j) {
    FragmentInfo frag;
    frag.number = plan.firstFragment + j;
    frag.path = FragmentPath(frag.number);
    if (!BuildFragment(plan, j, bytes, frag, error))
      return false;
    frag.size = bytes.size();
    const std::uint32_t dir = frag.number / 100;
    const std::string dirPath = prefix + frag.path.substr(0, frag.path.find(sep));
    const bool middle = plan.fragmentCount >= 3 && j == plan.fragmentCount / 2;
    if (plan.damage == Damage::FileAsFragmentFolder && dir == firstDir) {
      frag.present = false;
      frag.size = 0;
      if (j == 0 && !WriteFile(dirPath, std::string_view("not a folder\n"))) {
        SetError(error, "cannot write " + dirPath);
        return false;
      }
    } else if (plan.damage == Damage::MissingFragment && middle) {
      frag.present = false;
      frag.size = 0;
    } else {
      if (plan.damage == Damage::TruncatedFragment && middle) {
        frag.truncated = true;
        frag.size = bytes.size() / 2;
      }
      if (!EnsureFolder(dirPath) ||
          !WriteFile(prefix + frag.path, bytes.data(), static_cast<std::size_t>(frag.size))) {
        SetError(error, "cannot write " + prefix + frag.path);
        return false;
      }
    }
    info.fragments.push_back(std::move(frag));
  }
  if (plan.damage == Damage::ForeignFileInFragmentFolder) {
    char dir[16];
    std::snprintf(dir, sizeof dir, "DIR%05u", unsigned(firstDir));
    const std::string path = prefix + dir + sep + "Thumbs.db";
    if (!WriteFile(path, std::string_view("foreign file beside the fragments\n"))) {
      SetError(error, "cannot write " + path);
      return false;
    }
  }
  return true;
}

std::vector<RecordPlan> PresetRecords(const std::string &preset) {
  std::vector<RecordPlan> list;
  auto add = [&](std::uint16_t w, std::uint16_t h, unsigned fps, unsigned vkbps, std::uint32_t rate,
                 std::uint16_t channels, unsigned akbps, unsigned seconds, std::uint32_t count,
                 unsigned chunks) -> RecordPlan & {
    RecordPlan s;
    s.number = list.empty() ? 1 : list.back().number + 1;
    s.width = w;
    s.height = h;
    s.fps = fps;
    s.videoKbps = vkbps;
    s.audioRate = rate;
    s.audioChannels = rate ? channels : 0;
    s.audioKbps = rate ? akbps : 0;
    s.fragmentSeconds = seconds;
    s.fragmentCount = count;
    s.chunksPerFragment = chunks;
    if (!list.empty()) {
      const RecordPlan &p = list.back();
      const DateTime t =
          AddSeconds(2000 + p.year, p.month, p.day, p.hour, p.minute, p.second,
                     std::int64_t(p.fragmentCount) * p.fragmentSeconds + 97 + 600 * list.size());
      s.year = static_cast<std::uint8_t>(t.year - 2000);
      s.month = static_cast<std::uint8_t>(t.month);
      s.day = static_cast<std::uint8_t>(t.day);
      s.hour = static_cast<std::uint8_t>(t.hour);
      s.minute = static_cast<std::uint8_t>(t.minute);
      s.second = static_cast<std::uint8_t>(t.second);
    }
    list.push_back(s);
    return list.back();
  };
  if (preset == "sample") {
    add(320, 240, 25, 600, 16000, 1, 32, 5, 6, 2).gps = true;
    add(352, 288, 30, 800, 48000, 2, 128, 5, 5, 3).mode = 1;
    auto &r3 = add(160, 112, 25, 200, 0, 0, 0, 4, 5, 1);
    r3.mode = 2;
    r3.checked = true;
    auto &r4 = add(640, 480, 25, 1500, 44100, 2, 96, 6, 4, 4);
    r4.mode = 3;
    r4.gps = true;
    r4.converted = true;
    r4.gpxForm = GpxForm::Gpx10;
    r4.clockOffsetMinutes = 180; // the recorder's clock in Moscow time
    r4.brokenPoints = 2;
    auto &r5 = add(720, 576, 25, 2000, 32000, 1, 64, 4, 5, 2);
    r5.mode = 4;
    r5.firstFragment = 98;
  } else if (preset == "varied") {
    add(160, 112, 25, 200, 16000, 1, 32, 1, 3, 1);
    auto &b = add(176, 144, 30, 250, 22050, 1, 32, 1, 2, 2);
    b.mode = 1;
    b.gps = true;
    b.gpxForm = GpxForm::Gpx10;
    b.clockOffsetMinutes = 345; // Nepal, +5:45
    b.trackLeadSeconds = 20;    // the receiver had a fix before the recording began
    add(320, 240, 25, 400, 24000, 2, 48, 2, 2, 3).mode = 2;
    auto &d = add(160, 112, 30, 200, 32000, 2, 64, 1, 3, 5);
    d.mode = 3;
    d.checked = true;
    auto &e = add(352, 288, 25, 500, 44100, 1, 64, 1, 2, 2);
    e.mode = 4;
    e.checked = true;
    e.converted = true;
    e.otherAttributeBits = 0x88;
    e.otherMarkBits = 0x84;
    add(160, 112, 25, 200, 48000, 2, 96, 2, 2, 4).mode = 5;
    auto &g = add(160, 112, 25, 200, 0, 0, 0, 1, 10, 1);
    g.firstFragment = 95;
    g.mode = 7;
    g.gps = true;
    g.clockOffsetMinutes = -210; // Newfoundland, -3:30
    g.brokenPoints = 3;
    add(720, 576, 25, 1500, 48000, 2, 128, 1, 1, 1);
    add(160, 112, 30, 200, 16000, 2, 32, 1, 3, 2).firstFragment = 250;
    add(640, 480, 30, 1000, 0, 0, 0, 1, 2, 3).mode = 6;
  } else if (preset == "damaged") {
    const Damage kinds[] = {Damage::None,
                            Damage::MissingFragment,
                            Damage::TruncatedFragment,
                            Damage::ShortRecordFile,
                            Damage::LongRecordFile,
                            Damage::RenamedFolder,
                            Damage::ForeignRecordFile,
                            Damage::NonDigitFolderName,
                            Damage::FileAsRecordFolder,
                            Damage::FileAsFragmentFolder,
                            Damage::ForeignFileInFragmentFolder};
    for (Damage k : kinds) {
      auto &r = add(160, 112, 25, 200, 16000, 1, 32, 1, 3, 2);
      r.damage = k;
      if (k == Damage::FileAsFragmentFolder)
        r.firstFragment = 99;
    }
  } else if (preset == "bench") {
    auto &r = add(720, 576, 25, 4000, 48000, 2, 128, 20, 30, 20);
    r.mode = 1;
    r.gps = true;
  }
  return list;
}

bool MakeCard(const std::string &folder, const CardOptions &options, CardInfo &info,
              std::string *error) {
  info = CardInfo();
  std::vector<RecordPlan> base = PresetRecords(options.preset);
  if (base.empty()) {
    SetError(error, "unknown preset \"" + options.preset + "\"");
    return false;
  }
  for (auto &s : base) {
    if (options.fragmentSeconds)
      s.fragmentSeconds = options.fragmentSeconds;
    if (options.fragments)
      s.fragmentCount = options.fragments;
  }
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  if (!platform::IsEnterableDirectory(folder)) {
    SetError(error, "cannot create " + folder);
    return false;
  }
  CardWriter writer;
  writer.materialSeconds = options.materialSeconds;
  Random random{options.seed};
  const std::uint64_t sizeLimit = options.sizeMiB << 20;
  const std::size_t wanted = options.records ? options.records : (sizeLimit ? 0 : base.size());
  RecordPlan previous;
  for (std::size_t i = 0; wanted ? i < wanted : info.bytes < sizeLimit; ++i) {
    RecordPlan plan = base[i % base.size()];
    if (i >= base.size()) {
      // Repeats follow the last record in time with fresh numbers.
      plan.number = previous.number + 1;
      const DateTime t = AddSeconds(
          2000 + previous.year, previous.month, previous.day, previous.hour, previous.minute,
          previous.second,
          std::int64_t(previous.fragmentCount) * previous.fragmentSeconds + 5 + random.Below(900));
      plan.year = static_cast<std::uint8_t>(t.year - 2000);
      plan.month = static_cast<std::uint8_t>(t.month);
      plan.day = static_cast<std::uint8_t>(t.day);
      plan.hour = static_cast<std::uint8_t>(t.hour);
      plan.minute = static_cast<std::uint8_t>(t.minute);
      plan.second = static_cast<std::uint8_t>(t.second);
      if (plan.damage == Damage::None) {
        plan.mode = static_cast<std::uint8_t>(random.Below(5));
        plan.checked = random.Below(4) == 0;
        plan.converted = random.Below(3) == 0;
      }
    }
    RecordInfo record;
    if (!writer.WriteRecord(folder, plan, record, options.catalogOnly, error))
      return false;
    info.bytes += record.recordFile.size();
    for (const auto &f : record.fragments) {
      info.bytes += f.size;
      info.fragmentFiles += f.present ? 1 : 0;
    }
    previous = plan;
    info.records.push_back(std::move(record));
    if (plan.number >= 99999999)
      break;
  }
  return true;
}

} // namespace orvo::cardgen
