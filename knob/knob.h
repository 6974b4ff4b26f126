// KnobControl: a rotary dial on the embedded screen. Its whole state is one
// angle in whole degrees, 0..360; its image shows a ring, a marker at the
// angle and under the dial a caption "label:number", where the number is the
// angle times the knob's scale. While the left button holds it, the knob
// turns by its step once per frame: down on the dial's left half, up on its
// right half.
//
// Every operation is reached through the knob's own method table.
#pragma once

#include <cstdint>
#include <string>

#include "platform/screen/screen.h"
#include "sound/sound_engine.h"

// The mouse as the event loop keeps it: position in the window's client
// area (-1 outside it) and whether a left-button drag is under way.
struct MouseState {
  std::int32_t x = -1;
  std::int32_t y = -1;
  std::int32_t pressed = 0;
};

struct KnobControl;

// The five operations of a knob, in slot order.
struct KnobMethods {
  // Turns the knob if the mouse holds it, then shows its image. Returns 0.
  std::int32_t (*Update)(KnobControl* knob);
  // Releases the image, the table and the knob. Returns 0.
  std::int32_t (*Destroy)(KnobControl* knob);
  // Places and labels the knob, makes its image and draws it. Returns 1.
  std::int32_t (*Setup)(KnobControl* knob, const char* label, std::int32_t x, std::int32_t y,
                        std::int32_t size, std::int32_t angle, MouseState* mouse,
                        FontHandleValue font, float scale, std::int32_t step);
  // The angle.
  std::int32_t (*GetValue)(KnobControl* knob);
  // Sets the angle and redraws the image: 1; an angle outside 0..360 is
  // refused with 0 and changes nothing.
  std::int32_t (*SetValue)(KnobControl* knob, std::int32_t angle);
};

inline constexpr std::int32_t kKnobLabelSize = 32;
inline constexpr std::int32_t kKnobCaptionHeight = 20;  // strip under the dial

struct KnobControl {
  KnobMethods* methods;
  std::int32_t value;  // the angle
  std::int32_t x;      // image's top-left corner on the screen
  std::int32_t y;
  std::int32_t size;  // dial diameter; the image is size x (size + 20)
  ImageHandle image;
  std::uint32_t background;    // button face, 0x00BBGGRR
  MouseState* mouse;           // shared, not owned
  char label[kKnobLabelSize];  // zero-padded; 32 characters fill it unterminated
  float scale;                 // caption number = angle * scale, rounded
  std::int32_t step;           // degrees per frame while held
  FontHandleValue font;        // caption font, not owned
};

// A new knob with its method table and every other field zero, or nullptr
// when memory runs out.
KnobControl* CreateKnob();

// The caption of a knob at `angle`: label, ':', angle * scale rounded to the
// nearest integer (halves to even).
std::string KnobCaption(const KnobControl& knob, std::int32_t angle);

// Draws the knob's image for `angle` (the knob's SetValue does this).
void KnobRender(const KnobControl& knob, std::int32_t angle);
