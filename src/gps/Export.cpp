#include "gps/Export.h"

#include "gps/GpsTime.h"
#include "gps/Number.h"

namespace orvo::gps {

namespace {

struct Row {
  std::string utc, clock, offset, lat, lon, speedKmh, speed, course, elevation;
};

Row MakeRow(const GpsFix &f, const TrackAlignment &a) {
  return {FormatIsoTime(f.utcMs),
          FormatClock(f.utcMs + a.clockOffsetSeconds * 1000),
          Fixed(static_cast<double>(f.utcMs - a.utcStartMs) / 1000.0, 3),
          Fixed(f.latitude, 7),
          Fixed(f.longitude, 7),
          Fixed(f.speed * 3.6, 1),
          Fixed(f.speed, 2),
          f.course ? Fixed(*f.course, 1) : std::string(),
          f.elevation ? Fixed(*f.elevation, 1) : std::string()};
}

std::string Gpx(const GpsTrack &track, const TrackAlignment &a) {
  std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                    "<gpx version=\"1.1\" creator=\"orvo\" "
                    "xmlns=\"http://www.topografix.com/GPX/1/1\" "
                    "xmlns:gpxtpx=\"http://www.garmin.com/xmlschemas/TrackPointExtension/v2\">\n"
                    "<trk><trkseg>\n";
  for (const GpsFix &f : track.fixes) {
    const Row r = MakeRow(f, a);
    out += "<trkpt lat=\"" + r.lat + "\" lon=\"" + r.lon + "\">";
    if (f.elevation)
      out += "<ele>" + r.elevation + "</ele>";
    out += "<time>" + r.utc + "</time><extensions><gpxtpx:TrackPointExtension><gpxtpx:speed>" +
           r.speed + "</gpxtpx:speed>";
    if (f.course)
      out += "<gpxtpx:course>" + r.course + "</gpxtpx:course>";
    out += "</gpxtpx:TrackPointExtension></extensions></trkpt>\n";
  }
  return out + "</trkseg></trk>\n</gpx>\n";
}

std::string GeoJson(const GpsTrack &track, const TrackAlignment &a) {
  std::string out = "{\"type\":\"FeatureCollection\",\"features\":[";
  const char *separator = "\n";
  for (const GpsFix &f : track.fixes) {
    const Row r = MakeRow(f, a);
    out += separator;
    separator = ",\n";
    out += "{\"type\":\"Feature\",\"geometry\":{\"type\":\"Point\",\"coordinates\":[" + r.lon +
           "," + r.lat + (f.elevation ? "," + r.elevation : std::string()) +
           "]},\"properties\":{\"utc\":\"" + r.utc + "\",\"recorder_time\":\"" + r.clock +
           "\",\"record_offset_s\":" + r.offset + ",\"speed_kmh\":" + r.speedKmh +
           ",\"course_deg\":" + (f.course ? r.course : "null") +
           ",\"elevation_m\":" + (f.elevation ? r.elevation : "null") + "}}";
  }
  return out + "\n]}\n";
}

std::string Csv(const GpsTrack &track, const TrackAlignment &a) {
  std::string out = "utc,recorder_time,record_offset_s,latitude,longitude,speed_kmh,course_deg,"
                    "elevation_m\n";
  for (const GpsFix &f : track.fixes) {
    const Row r = MakeRow(f, a);
    out += r.utc + "," + r.clock + "," + r.offset + "," + r.lat + "," + r.lon + "," + r.speedKmh +
           "," + r.course + "," + r.elevation + "\n";
  }
  return out;
}

} // namespace

std::optional<ExportFormat> ParseExportFormat(std::string_view name) {
  if (name == "gpx")
    return ExportFormat::Gpx;
  if (name == "geojson")
    return ExportFormat::GeoJson;
  if (name == "csv")
    return ExportFormat::Csv;
  return std::nullopt;
}

std::string ExportTrack(const GpsTrack &track, const TrackAlignment &alignment,
                        ExportFormat format) {
  switch (format) {
  case ExportFormat::Gpx:
    return Gpx(track, alignment);
  case ExportFormat::GeoJson:
    return GeoJson(track, alignment);
  case ExportFormat::Csv:
    break;
  }
  return Csv(track, alignment);
}

} // namespace orvo::gps
