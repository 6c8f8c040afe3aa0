#include "player/ui/TrackColours.h"

#include <QPalette>

namespace orvo {

namespace {

QColor mixed(const QColor &a, const QColor &b, double towardsB) {
  const auto mix = [towardsB](double x, double y) { return x + (y - x) * towardsB; };
  return QColor::fromRgbF(static_cast<float>(mix(a.redF(), b.redF())),
                          static_cast<float>(mix(a.greenF(), b.greenF())),
                          static_cast<float>(mix(a.blueF(), b.blueF())));
}

QColor withAlpha(QColor c, int alpha) {
  c.setAlpha(alpha);
  return c;
}

} // namespace

TrackColours trackColours(const QPalette &palette) {
  const QColor base = palette.color(QPalette::Base);
  const QColor text = palette.color(QPalette::Text);
  const QColor highlight = palette.color(QPalette::Highlight);
  TrackColours c;
  c.background = base;
  c.frame = palette.color(QPalette::Mid);
  c.text = text;
  c.grid = mixed(base, text, 0.15);
  c.route = mixed(base, text, 0.55);
  c.routeFill = withAlpha(text, 28);
  c.current = highlight;
  c.clip = withAlpha(highlight, 80);
  return c;
}

} // namespace orvo
