// A knob's per-frame Update: turning under the held mouse, then showing.
#include "knob/knob.h"

namespace {

bool KnobInRange(std::int32_t v, std::int32_t low, std::int32_t high) {
  return v >= low && v <= high;
}

}  // namespace

std::int32_t KnobUpdate(KnobControl* knob) {
  const MouseState& mouse = *knob->mouse;
  const std::int32_t half = knob->size / 2;
  if (mouse.pressed != 0) {
    // The hit box is the dial's square, both corners included; the middle
    // column lies in both halves, so there both steps run, down then up.
    const bool onDial = KnobInRange(mouse.y, knob->y, knob->y + knob->size);
    if (onDial && KnobInRange(mouse.x, knob->x, knob->x + half))
      knob->methods->SetValue(knob, knob->value - knob->step);
    if (onDial && KnobInRange(mouse.x, knob->x + half, knob->x + knob->size))
      knob->methods->SetValue(knob, knob->value + knob->step);
  }
  SpriteShow(knob->image, knob->x, knob->y);
  return 0;
}
