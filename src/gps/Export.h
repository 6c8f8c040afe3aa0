#pragma once

#include "gps/Alignment.h"
#include "gps/GpsTrack.h"

#include <optional>
#include <string>
#include <string_view>

// A record's aligned track for scripts: every fix with its UTC time, its
// time on the recorder's clock, its offset from the record's start,
// position, speed, course and elevation.
namespace orvo::gps {

enum class ExportFormat { Gpx, GeoJson, Csv };

// "gpx", "geojson" or "csv".
std::optional<ExportFormat> ParseExportFormat(std::string_view name);

// GPX 1.1 with speed and course in Garmin's TrackPointExtension (v2);
// GeoJSON, a FeatureCollection of one Point per fix ([lon, lat, ele]);
// CSV with a header line:
// utc,recorder_time,record_offset_s,latitude,longitude,speed_kmh,course_deg,elevation_m
// (empty where unknown).
std::string ExportTrack(const GpsTrack &track, const TrackAlignment &alignment,
                        ExportFormat format);

} // namespace orvo::gps
