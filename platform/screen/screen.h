// The embedded screen, its images, drawing on images and the fonts it draws
// text in.
//
// One double-buffered drawing surface sits in a window's client area: every
// frame is cleared, images are copied onto its back buffer and ScreenFlip
// presents the back buffer, at most once per 1/61 second. Images are
// off-screen pictures in an ObjectTable (made under -1, their references are
// their handles; 0 is no image). Drawing opens on one image at a time and
// draws rectangles, circles, ellipses and text on it. Fonts live in an
// ObjectTable of their own until FontsShutdown, which the program calls after
// the windows are gone.
//
// Colours are 0x00BBGGRR: red in the lowest byte.
//
// Backends: screen_qt.cpp and screen_draw_qt.cpp (QImage and QPainter),
// screen_win32.cpp and screen_draw_win32.cpp (DirectDraw and GDI),
// screen_web.cpp and screen_draw_web.cpp (Canvas 2D).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/core/object_table.h"
#include "platform/window/window.h"

// An image's handle: the reference of its record, 0 for none.
using ImageHandle = ObjectId;

// A native font handle as FontHandle gives it; kSystemFont selects the
// platform's system font.
using FontHandleValue = std::intptr_t;
inline constexpr FontHandleValue kSystemFont = -1;

// Drawing style flags of DrawingSetStyle.
inline constexpr std::uint32_t kStyleTransparentText = 1;  // else text on its background colour
inline constexpr std::uint32_t kStyleXor = 2;              // else shapes are copied
inline constexpr std::uint32_t kStyleOutline = 4;          // else shapes are filled

// Readies the display. Nonzero on success, 0 when there is no usable display.
std::int32_t ScreenInit();

// Opens the screen in `window`'s client area at (x, y), width x height
// (stretched to the client area less the margins when `stretch` is set). A
// screen already open is closed first. Nonzero when open, 0 on failure.
std::int32_t ScreenOpenEmbedded(WindowHandle window, std::int32_t x, std::int32_t y,
                                std::int32_t width, std::int32_t height, std::int32_t stretch,
                                std::int32_t rightMargin, std::int32_t bottomMargin);

// Why the latest ScreenInit or ScreenOpenEmbedded failed, in words for the
// user ("no display could be opened: ..."); "" after a success, and where the
// platform tells no more than the failure itself.
std::string ScreenFailureReason();

// Fills the whole back buffer with `colour`.
void ScreenClear(std::uint32_t colour);

// Presents the back buffer in the window, first waiting until 1/61 second
// has passed since the previous present.
void ScreenFlip();

// Releases every image and closes the screen.
void ScreenClose();

// Closes the screen and gives the display up: the service's end.
void ScreenShutdown();

// A black image of width x height under `handle` (-1: a new one). Returns its
// handle, 0 on failure (also while the display is not ready).
ImageHandle SpriteNew(ObjectId handle, std::int32_t width, std::int32_t height);

// Copies the image opaquely onto the back buffer with its top-left corner at
// (x, y), clipped to the back buffer. Absent images show nothing.
void SpriteShow(ImageHandle image, std::int32_t x, std::int32_t y);

// Releases the image; 0 and absent handles are ignored.
void SpriteRelease(ImageHandle image);

// Opens drawing on `image`. Nonzero on success; 0 for an absent image or
// while another drawing is open, which is then ended too.
std::int32_t DrawingBegin(ImageHandle image);

// Ends the open drawing.
void DrawingEnd();

// Selects the font of DrawingText and DrawingTextWidth.
void DrawingSelectFont(FontHandleValue font);

// Sets the style flags above (0 when a drawing begins).
void DrawingSetStyle(std::uint32_t flags);

// The rectangle from (x, y), width x height (right and bottom edges excluded),
// outlined and, unless outline style, filled in `colour`. 1 x 1 sets a pixel.
void DrawingRectangle(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                      std::uint32_t colour);

// The ellipse in the box from (cx - rx, cy - ry) to (cx + rx, cy + ry).
void DrawingEllipse(std::int32_t cx, std::int32_t cy, std::int32_t rx, std::int32_t ry,
                    std::uint32_t colour);

// A circle of radius r; radius 1 is the 2 x 2 square whose top-left pixel is
// the centre.
void DrawingCircle(std::int32_t cx, std::int32_t cy, std::int32_t r, std::uint32_t colour);

// Draws the text with its top-left corner at (x, y) and returns the x after
// it. Behind the characters the background colour is painted unless the
// style says transparent text.
std::int32_t DrawingText(std::int32_t x, std::int32_t y, std::string_view text,
                         std::uint32_t textColour, std::uint32_t backgroundColour);

// The text's width in pixels in the selected font; 0 for an empty text or
// while no drawing is open.
std::int32_t DrawingTextWidth(std::string_view text);

// Loads the plain font `face` at `points` points (at 96 dots per inch: a
// point is 4/3 pixel). Returns the record's reference for id -1, else the
// native handle; 0 on failure.
ObjectId FontLoad(ObjectId id, std::string_view face, std::int32_t points);

// The native handle of a loaded font for DrawingSelectFont, 0 when none.
FontHandleValue FontHandle(ObjectId font);

// Releases every loaded font.
void FontsShutdown();
