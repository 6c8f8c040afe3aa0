#include "evidence/RouteSvg.h"

#include "player/MapFit.h"
#include "player/RouteGeometry.h"
#include "player/ScaleBar.h"
#include "player/TrackTimeline.h"

#include <cstdio>

namespace orvo::evidence {

namespace {

constexpr double kWidth = 640, kHeight = 400, kMargin = 24;

std::string Point(const player::PixelPoint &p) {
  char text[48];
  std::snprintf(text, sizeof text, "%.1f,%.1f ", p.x, p.y);
  return text;
}

} // namespace

std::string RouteSvg(const gps::GpsTrack &track, std::int64_t utcStartMs, std::int64_t fromMs,
                     std::int64_t toMs, std::int64_t markMs) {
  const player::TrackTimeline timeline(track, utcStartMs);
  if (timeline.isEmpty())
    return {};
  const player::RouteGeometry route(timeline);
  const player::MapFit fit = player::fitBounds(
      route.bounds(), {kMargin, kMargin, kWidth - 2 * kMargin, kHeight - 2 * kMargin - 20});
  std::string all, stretch;
  const auto &fixes = timeline.fixes();
  for (std::size_t i = 0; i < fixes.size(); ++i) {
    const std::string p = Point(fit.toPixel(route.points()[i]));
    all += p;
    if (fixes[i].timeMs >= fromMs && fixes[i].timeMs <= toMs)
      stretch += p;
  }
  std::string svg;
  char head[256];
  std::snprintf(head, sizeof head,
                "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%.0f\" height=\"%.0f\" "
                "viewBox=\"0 0 %.0f %.0f\" role=\"img\">\n",
                kWidth, kHeight, kWidth, kHeight);
  svg += head;
  svg += "<rect width=\"100%\" height=\"100%\" fill=\"#fff\" stroke=\"#999\"/>\n";
  svg.append("<polyline fill=\"none\" stroke=\"#999\" stroke-width=\"2\" points=\"")
      .append(all)
      .append("\"/>\n");
  if (!stretch.empty())
    svg.append("<polyline fill=\"none\" stroke=\"#c00\" stroke-width=\"5\" points=\"")
        .append(stretch)
        .append("\"/>\n");
  if (markMs >= 0) {
    const player::PixelPoint p = fit.toPixel(route.pointAt(timeline.placeAt(markMs)));
    char dot[128];
    std::snprintf(dot, sizeof dot,
                  "<circle cx=\"%.1f\" cy=\"%.1f\" r=\"6\" fill=\"#06c\" stroke=\"#fff\"/>\n", p.x,
                  p.y);
    svg += dot;
  }
  // A scale bar of a round length, and north.
  const double metres = player::niceScaleLength(fit.metresPerPixel(), kWidth / 4);
  const double pixels = metres * fit.pixelsPerMetre;
  char bar[400];
  std::snprintf(bar, sizeof bar,
                "<line x1=\"%.0f\" y1=\"%.0f\" x2=\"%.1f\" y2=\"%.0f\" stroke=\"#111\" "
                "stroke-width=\"2\"/>\n<text x=\"%.1f\" y=\"%.0f\" font-size=\"12\" "
                "font-family=\"sans-serif\">%s</text>\n<text x=\"%.0f\" y=\"%.0f\" "
                "font-size=\"14\" font-family=\"sans-serif\">N &#8593;</text>\n",
                kMargin, kHeight - 12, kMargin + pixels, kHeight - 12, kMargin + pixels + 6,
                kHeight - 8, player::scaleLengthText(metres).c_str(), kWidth - 40, 20.0);
  svg += bar;
  svg += "</svg>";
  return svg;
}

} // namespace orvo::evidence
