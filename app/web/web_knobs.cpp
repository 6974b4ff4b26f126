// The knobs on the page: their sliders and their pictures at the screen's
// pixel ratio; see web_knobs.h. The sliders' keys are the browser's; the
// knobs' rules (steps, range, captions) are the program's, from kKnobs and
// the knob itself.
// Leaves out: turning by the mouse, which the knobs do themselves.
#include "app/web/web_knobs.h"

#include <array>
#include <string>

#include "app/app_state.h"
#include "platform/web/web_shared.h"
#include "platform/window/window.h"

using tonkelwerk::kKnobs;
using tonkelwerk::kMaxAngle;
using tonkelwerk::KnobIndex;
using tonkelwerk::KnobSpec;

namespace {

struct WebKnobSlider {
  int handle = 0;
  std::int32_t shown = -1;  // the angle on show, -1 before the first
};

std::array<WebKnobSlider, kKnobs.size()> sliders;

void SliderShow(WebKnobSlider& slider, KnobControl* knob) {
  const std::int32_t angle = knob->methods->GetValue(knob);
  if (angle == slider.shown) return;
  slider.shown = angle;
  tw_knob_slider_set(slider.handle, angle, KnobCaption(*knob, angle).c_str());
}

// A new image holds black until the knob draws itself again at its angle.
void KnobsRedraw() {
  for (KnobControl* knob : appState.knobs)
    knob->methods->SetValue(knob, knob->methods->GetValue(knob));
}

void KnobTurn(int handle, std::int32_t angle) {
  for (std::size_t i = 0; i < sliders.size(); ++i) {
    KnobControl* knob = appState.knobs[i];
    if (sliders[i].handle == handle) knob->methods->SetValue(knob, angle);
  }
}

}  // namespace

void WebKnobSlidersOpen() {
  const auto window = static_cast<int>(WindowNativeHandle(appState.window));
  for (const KnobSpec& spec : kKnobs) {
    KnobControl* knob = AppKnob(spec.knob);
    WebKnobSlider& slider = sliders[KnobIndex(spec.knob)];
    // The screen lies at the client area's top-left corner: knob positions
    // are window positions.
    slider.handle =
        tw_knob_slider_add(window, knob->x, knob->y, knob->size, knob->size + kKnobCaptionHeight,
                           std::string(spec.caption).c_str(), kMaxAngle, spec.step);
    slider.shown = -1;
    SliderShow(slider, knob);
  }
}

void WebKnobsHandle() {
  if (tw_screen_ratio_follow()) KnobsRedraw();
  int angle = 0;
  for (int handle; (handle = tw_knob_turn_next(&angle)) != 0;) KnobTurn(handle, angle);
  for (std::size_t i = 0; i < sliders.size(); ++i) SliderShow(sliders[i], appState.knobs[i]);
}
