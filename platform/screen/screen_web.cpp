// The embedded screen and its images in a web page: Canvas 2D.
//
// Implements: ScreenInit (the browser can draw on a canvas) with the reason
// of its failure; the embedded
// screen as a rectangle of the window's canvas; images as off-screen
// canvases, black when new, copied opaquely and clipped to the screen; every
// canvas in whole device pixels (the page's program draws its images again
// when the ratio changes); the
// back buffer as the list of what the next present paints (the clear colour,
// then each image with its position and drawing count); ScreenFlip presents
// a frame only when it differs from the one on show (the same frame again
// would change no pixel), paced to at most one present per 1/61 second by
// sleeping, which hands the page back to the browser. An idle page thus
// wakes once per pass of the event loop, not twice.
// Leaves out: full-screen modes, pixel access, transparent copies, the
// keyboard device and lost surfaces (a canvas keeps its pixels).
// Depends on: tonkelwerk_web.js through platform/web/web_shared.h.
#include <chrono>
#include <string>
#include <thread>

#include "platform/screen/screen.h"
#include "platform/web/web_shared.h"

namespace {

using WebClock = std::chrono::steady_clock;

constexpr auto kPresentInterval =
    std::chrono::duration_cast<WebClock::duration>(std::chrono::duration<double>(1.0 / 61.0));

struct WebImageRecord {
  int handle = 0;  // the page's off-screen canvas
  bool Live() const { return handle != 0; }
};

void WebReleaseImage(WebImageRecord& record) {
  tw_object_free(record.handle);
  record.handle = 0;
}

struct WebScreen {
  bool ready = false;
  bool open = false;
  ObjectTable<WebImageRecord> images{WebReleaseImage};
  WebClock::time_point nextPresent;
};

WebScreen screen;

}  // namespace

int WebImageFromHandle(ObjectId handle) {
  const WebImageRecord* record = handle == 0 ? nullptr : screen.images.Find(handle);
  return record ? record->handle : 0;
}

std::int32_t ScreenInit() {
  screen.ready = tw_screen_init() != 0;
  return screen.ready ? 1 : 0;
}

std::string ScreenFailureReason() {
  return screen.ready ? "" : "This browser cannot draw on a canvas.";
}

std::int32_t ScreenOpenEmbedded(WindowHandle window, std::int32_t x, std::int32_t y,
                                std::int32_t width, std::int32_t height, std::int32_t stretch,
                                std::int32_t rightMargin, std::int32_t bottomMargin) {
  if (screen.open) ScreenClose();
  if (!screen.ready || width <= 0 || height <= 0) return 0;
  if (!tw_screen_open(static_cast<int>(window), x, y, width, height, stretch, rightMargin,
                      bottomMargin))
    return 0;
  screen.open = true;
  screen.nextPresent = WebClock::now() + kPresentInterval;
  return 1;
}

void ScreenClear(std::uint32_t colour) {
  if (screen.open) tw_frame_clear(colour);
}

void ScreenFlip() {
  if (!screen.open || !tw_frame_changed()) return;
  const WebClock::time_point now = WebClock::now();
  if (now < screen.nextPresent) std::this_thread::sleep_until(screen.nextPresent);
  screen.nextPresent = WebClock::now() + kPresentInterval;
  tw_frame_present();
}

void ScreenClose() {
  screen.images.Clear();
  tw_screen_close();
  screen.open = false;
}

void ScreenShutdown() {
  ScreenClose();
  screen.ready = false;
}

ImageHandle SpriteNew(ObjectId handle, std::int32_t width, std::int32_t height) {
  if (!screen.ready || width <= 0 || height <= 0) return 0;
  WebImageRecord* record = screen.images.Create(handle);
  if (!record) return 0;
  const ImageHandle result =
      handle == kNewObject ? ObjectTable<WebImageRecord>::ReferenceOf(record) : handle;
  record->handle = tw_image_new(width, height);
  if (!record->handle) {
    screen.images.Remove(result);
    return 0;
  }
  return result;
}

void SpriteShow(ImageHandle image, std::int32_t x, std::int32_t y) {
  const int handle = WebImageFromHandle(image);
  if (handle && screen.open) tw_frame_show(handle, x, y);
}

void SpriteRelease(ImageHandle image) {
  if (image != 0) screen.images.Remove(image);
}
