// What every backend's drawing shares: the circle, an ellipse in a square box
// except for radius 1, which is the 2 x 2 square (an ellipse that small would
// be one pixel or none).
#include "platform/screen/screen.h"

void DrawingCircle(std::int32_t cx, std::int32_t cy, std::int32_t r, std::uint32_t colour) {
  if (r == 1) {
    DrawingRectangle(cx, cy, 2, 2, colour);
  } else {
    DrawingEllipse(cx, cy, r, r, colour);
  }
}
