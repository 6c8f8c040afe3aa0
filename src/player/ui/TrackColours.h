#pragma once

// The colours of the route map and the speed chart, all taken from the
// palette so that dark themes and high contrast work: the driven part, the
// position and the cursor in the highlight colour, the rest in shades of
// the text colour over the base.

#include <QColor>

class QPalette;

namespace orvo {

struct TrackColours {
  QColor background;
  QColor frame;
  QColor text;
  QColor grid;
  QColor route;     // the route ahead, the speed curve
  QColor routeFill; // under the speed curve
  QColor current;   // the driven part, the position, the cursor
  QColor clip;      // the stretch to be exported
};

TrackColours trackColours(const QPalette &palette);

} // namespace orvo
