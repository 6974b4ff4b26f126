// A knob's image: the cleared background, the dial's three rings, the marker
// at the angle and the caption centred under the dial.
#include <cmath>
#include <string>

#include "knob/knob.h"
#include "platform/core/text.h"

namespace {

constexpr std::uint32_t kBlack = 0x000000;
constexpr std::uint32_t kWhite = 0xFFFFFF;

// Degrees to radians with pi / 180 rounded to single precision.
constexpr float kDegree = 0.0174532924f;

// Rounds to the nearest integer, halves to even (the default rounding mode).
std::int32_t KnobRound(double v) {
  return static_cast<std::int32_t>(std::nearbyint(v));
}

}  // namespace

std::string KnobCaption(const KnobControl& knob, std::int32_t angle) {
  // The single-precision scale is widened; the product stays double.
  const double number = angle * static_cast<double>(knob.scale);
  return FixedTextRead(knob.label, kKnobLabelSize) + ":" + DecimalText(KnobRound(number));
}

void KnobRender(const KnobControl& knob, std::int32_t angle) {
  if (!DrawingBegin(knob.image)) return;
  const std::int32_t size = knob.size;
  const std::int32_t c = size / 2;
  const std::int32_t d = size / 10;
  DrawingSelectFont(knob.font);
  DrawingSetStyle(0);
  DrawingRectangle(0, 0, size, size + kKnobCaptionHeight, knob.background);
  DrawingSetStyle(kStyleOutline);
  DrawingCircle(c, c, c, kBlack);
  DrawingCircle(c, c, c - 1, kWhite);
  DrawingCircle(c, c, c - 2, kWhite);
  // The marker starts below the centre and turns clockwise as the angle grows.
  const double theta = (angle + 90.0) * static_cast<double>(kDegree);
  const double arm = c - d;
  const std::int32_t px = KnobRound(std::cos(theta) * arm + size / 2.0);
  const std::int32_t py = KnobRound(std::sin(theta) * arm + size / 2.0);
  DrawingCircle(px, py, d, kBlack);
  DrawingCircle(px, py, d + 1, kWhite);
  const std::string caption = KnobCaption(knob, angle);
  const std::int32_t width = DrawingTextWidth(caption);
  DrawingText(c - width / 2, size, caption, kBlack, knob.background);
  DrawingEnd();
}
