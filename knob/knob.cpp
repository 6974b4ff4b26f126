// Creating a knob, its method table, and the operations that set it up, read
// and set its angle and destroy it. Update is in knob_update.cpp and drawing
// in knob_render.cpp.
#include "knob/knob.h"

#include <new>

#include "platform/core/memory.h"
#include "platform/core/text.h"
#include "platform/window/window.h"

using tonkelwerk::kMaxAngle;

// Update lives in knob_update.cpp; only the method table names it.
std::int32_t KnobUpdate(KnobControl* knob);

namespace {

std::int32_t KnobDestroy(KnobControl* knob) {
  SpriteRelease(knob->image);
  MemRelease(knob->methods);
  MemRelease(knob);
  return 0;
}

std::int32_t KnobGetValue(KnobControl* knob) {
  return knob->value;
}

std::int32_t KnobSetValue(KnobControl* knob, std::int32_t angle) {
  if (angle < 0 || angle > kMaxAngle) return 0;
  knob->value = angle;
  KnobRender(*knob, angle);
  return 1;
}

std::int32_t KnobSetup(KnobControl* knob, const char* label, std::int32_t x, std::int32_t y,
                       std::int32_t size, std::int32_t angle, MouseState* mouse,
                       FontHandleValue font, float scale, std::int32_t step) {
  knob->x = x;
  knob->y = y;
  knob->size = size;
  // Stored without a range test: a refused angle leaves the image black.
  knob->value = angle;
  knob->image = SpriteNew(kNewObject, size, size + kKnobCaptionHeight);
  knob->background = ButtonFaceColour();
  knob->mouse = mouse;
  FixedTextStore(knob->label, kKnobLabelSize, label ? label : "");
  knob->font = font;
  knob->scale = scale;
  knob->step = step;
  knob->methods->SetValue(knob, knob->value);
  return 1;
}

}  // namespace

KnobControl* CreateKnob() {
  void* block = MemAlloc(sizeof(KnobControl));
  if (!block) return nullptr;
  void* table = MemAlloc(sizeof(KnobMethods));
  if (!table) {
    MemRelease(block);
    return nullptr;
  }
  // Both blocks arrive zero-filled; the objects begin their lives in them.
  auto* knob = new (block) KnobControl{};
  knob->methods =
      new (table) KnobMethods{KnobUpdate, KnobDestroy, KnobSetup, KnobGetValue, KnobSetValue};
  return knob;
}
