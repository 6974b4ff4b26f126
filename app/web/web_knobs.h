// The page's knobs beyond the picture: a slider per knob for the keyboard
// and assistive technology, and a sharp picture on every screen.
// Depends on: the app library, the web backend's sliders and pixel ratio
// (platform/web/web_shared.h).
#pragma once

// Gives every knob of the started program its slider, which shows its angle
// and caption.
void WebKnobSlidersOpen();

// Between passes of the event loop: redraws the knobs when the screen's
// pixel ratio changed, turns the knobs as their sliders asked, and shows
// each knob's angle on its slider.
void WebKnobsHandle();
