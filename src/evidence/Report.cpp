#include "evidence/Report.h"

#include <cstdio>

namespace orvo::evidence {

std::string EscapeHtml(const std::string &text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    switch (c) {
    case '&':
      out += "&amp;";
      break;
    case '<':
      out += "&lt;";
      break;
    case '>':
      out += "&gt;";
      break;
    case '"':
      out += "&quot;";
      break;
    case '\'':
      out += "&#39;";
      break;
    default:
      // Control characters from a name on a card show as a visible mark.
      if (static_cast<unsigned char>(c) < 0x20)
        out += "&#xFFFD;";
      else
        out += c;
    }
  }
  return out;
}

std::string Base64(const std::string &bytes) {
  static constexpr char kDigits[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  std::size_t i = 0;
  for (; i + 2 < bytes.size(); i += 3) {
    const unsigned v = static_cast<unsigned char>(bytes[i]) << 16 |
                       static_cast<unsigned char>(bytes[i + 1]) << 8 |
                       static_cast<unsigned char>(bytes[i + 2]);
    for (int s = 18; s >= 0; s -= 6)
      out += kDigits[(v >> s) & 63];
  }
  if (i < bytes.size()) {
    unsigned v = static_cast<unsigned char>(bytes[i]) << 16;
    if (i + 1 < bytes.size())
      v |= static_cast<unsigned char>(bytes[i + 1]) << 8;
    out += kDigits[(v >> 18) & 63];
    out += kDigits[(v >> 12) & 63];
    out += i + 1 < bytes.size() ? kDigits[(v >> 6) & 63] : '=';
    out += '=';
  }
  return out;
}

namespace {

void Row(std::string &h, const char *name, const std::string &value) {
  h.append("<tr><th>").append(name).append("</th><td>").append(EscapeHtml(value)).append(
      "</td></tr>\n");
}

} // namespace

std::string ReportHtml(const ReportModel &m) {
  std::string h;
  h += "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n";
  h.append("<title>Evidence package: ").append(EscapeHtml(m.recordFolder)).append("</title>\n");
  h += "<style>\n"
       "body{font-family:sans-serif;margin:2em;color:#111;background:#fff}\n"
       "h1{font-size:1.4em}h2{font-size:1.1em;margin-top:1.6em;border-bottom:1px solid #999}\n"
       "table{border-collapse:collapse}th,td{text-align:left;padding:2px 8px;"
       "vertical-align:top}\n"
       "td.hash{font-family:monospace;font-size:.85em;word-break:break-all}\n"
       ".thumbs figure{display:inline-block;margin:4px;text-align:center}\n"
       ".thumbs img{width:240px;border:1px solid #999}\n"
       "pre{background:#f4f4f4;padding:6px}\n"
       "@media print{body{margin:0}h2{page-break-after:avoid}}\n"
       "</style>\n</head>\n<body>\n";
  h.append("<h1>Evidence package: ").append(EscapeHtml(m.recordFolder)).append("</h1>\n");

  h += "<h2>Made by</h2>\n<table>\n";
  Row(h, "Program", m.program + " " + m.version + " (" + m.build + ")");
  if (!m.command.empty())
    Row(h, "Asked for by", m.command);
  Row(h, "Exported (UTC)", m.exportUtc);
  Row(h, "Exported (local time)", m.exportLocal);
  Row(h, "Computer", m.computer);
  Row(h, "User", m.user);
  h += "</table>\n";

  h += "<h2>Card</h2>\n<table>\n";
  Row(h, "Folder", m.cardFolder);
  Row(h, "Volume label", m.volumeLabel.empty() ? "(none given by the system)" : m.volumeLabel);
  Row(h, "Volume serial", m.volumeSerial.empty() ? "(none given by the system)" : m.volumeSerial);
  if (!m.volumeDevice.empty())
    Row(h, "Device", m.volumeDevice);
  h += "</table>\n";

  h += "<h2>Recording</h2>\n<table>\n";
  Row(h, "Record folder", m.recordFolder);
  Row(h, "Record number", std::to_string(m.recordNumber));
  Row(h, "Start (recorder's clock)", m.recorderStart);
  Row(h, "End (recorder's clock)", m.recorderEnd);
  Row(h, "Start (UTC)", m.utcStart.empty() ? "not known (no GPS track places it)" : m.utcStart);
  Row(h, "End (UTC)", m.utcEnd.empty() ? "not known" : m.utcEnd);
  Row(h, "Recorder's clock minus UTC", m.clockOffset);
  h += "</table>\n";

  if (m.marked) {
    const ReportMoment &mo = *m.marked;
    h += "<h2>Marked moment</h2>\n<table>\n";
    Row(h, "Recorder's clock", mo.recorderTime);
    if (!mo.utcTime.empty())
      Row(h, "UTC", mo.utcTime);
    if (mo.hasPosition) {
      char text[96];
      std::snprintf(text, sizeof text, "%.6f, %.6f", mo.latitude, mo.longitude);
      Row(h, "Position (WGS 84)", text);
      std::snprintf(text, sizeof text, "%.1f km/h", mo.speedKmh);
      Row(h, "Speed", text);
    } else {
      Row(h, "Position", "not known");
    }
    h += "</table>\n";
  }

  if (!m.routeSvg.empty()) {
    h += "<h2>Route</h2>\n<p>North up; the exported stretch is drawn bold.</p>\n";
    h += m.routeSvg;
    h += "\n";
  }

  h += "<h2>Pictures</h2>\n";
  if (m.thumbnails.empty()) {
    h.append("<p>").append(EscapeHtml(m.thumbnailNote)).append("</p>\n");
  } else {
    h += "<div class=\"thumbs\">\n";
    for (const ReportThumbnail &t : m.thumbnails)
      h.append("<figure><img alt=\"")
          .append(EscapeHtml(t.label))
          .append("\" src=\"data:image/png;base64,")
          .append(t.pngBase64)
          .append("\"><figcaption>")
          .append(EscapeHtml(t.label))
          .append("</figcaption></figure>\n");
    h += "</div>\n";
  }

  h += "<h2>Files</h2>\n<table>\n<tr><th>File</th><th>Bytes</th><th>SHA-256</th></tr>\n";
  for (const ReportFile &f : m.files)
    h.append("<tr><td>")
        .append(EscapeHtml(f.path))
        .append("</td><td>")
        .append(std::to_string(f.size))
        .append("</td><td class=\"hash\">")
        .append(f.sha256)
        .append("</td></tr>\n");
  h += "</table>\n";

  h += "<h2>Steps</h2>\n<ol>\n";
  for (const std::string &s : m.steps)
    h.append("<li>").append(EscapeHtml(s)).append("</li>\n");
  h += "</ol>\n";

  h += "<h2>How to verify</h2>\n<p>In the package's folder:</p>\n<pre>";
  for (const std::string &c : m.verifyCommands)
    h.append(EscapeHtml(c)).append("\n");
  h += "</pre>\n</body>\n</html>\n";
  return h;
}

} // namespace orvo::evidence
