// Drawing on images in a web page: Canvas 2D.
//
// Implements: one open drawing at a time on an image of the screen service;
// the style flags (transparent text, XOR mix, outline only); rectangles with
// the right and bottom edges excluded, ellipses in their box, circles with the
// 2 x 2 square for radius 1; text with its top-left corner at a point, on an
// opaque background unless the style says otherwise; text widths; fonts as
// CSS font lists (the face, then Liberation Sans, then any sans serif) at
// the point size in whole pixels at 96 dots per inch; everything drawn at
// the screen's device pixel ratio, so crisp on any screen. Canvas
// paths are always antialiased, so shapes are laid down here as rows of whole
// pixels, as crisp as the GDI shapes they stand for; text is antialiased.
// Leaves out: drawing on the back buffer and pixel access (the program draws
// on images only).
// Depends on: tonkelwerk_web.js through platform/web/web_shared.h.
#include <cmath>
#include <string>

#include "platform/screen/screen.h"
#include "platform/web/web_shared.h"

namespace {

struct WebFontRecord {
  int handle = 0;  // the page's font list, also the native font handle
  bool Live() const { return handle != 0; }
};

void WebReleaseFont(WebFontRecord& record) {
  tw_object_free(record.handle);
  record.handle = 0;
}

ObjectTable<WebFontRecord> fonts{WebReleaseFont};

struct WebDrawing {
  bool open = false;
  std::uint32_t style = 0;
};

WebDrawing drawing;

void WebSpan(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
             std::uint32_t colour) {
  if (width > 0 && height > 0)
    tw_draw_span(x, y, width, height, colour, (drawing.style & kStyleXor) ? 1 : 0);
}

// The pixels of row `row` whose centres lie inside the ellipse centred on
// the pixel corner (cx, cy) with semi-axes rx, ry: [left, right], or
// left > right when none.
struct WebRowSpan {
  std::int32_t left;
  std::int32_t right;
};

WebRowSpan WebEllipseRow(std::int32_t cx, std::int32_t cy, double rx, double ry, std::int32_t row) {
  const double dy = row + 0.5 - cy;
  if (rx <= 0 || ry <= 0 || std::fabs(dy) >= ry) return {1, 0};
  const double half = rx * std::sqrt(1.0 - (dy / ry) * (dy / ry));
  return {static_cast<std::int32_t>(std::ceil(cx - 0.5 - half)),
          static_cast<std::int32_t>(std::floor(cx - 0.5 + half))};
}

}  // namespace

std::int32_t DrawingBegin(ImageHandle image) {
  if (drawing.open) {
    DrawingEnd();
    return 0;
  }
  if (!tw_draw_begin(WebImageFromHandle(image))) return 0;
  drawing.open = true;
  drawing.style = 0;
  return 1;
}

void DrawingEnd() {
  if (drawing.open) tw_draw_end();
  drawing.open = false;
}

void DrawingSelectFont(FontHandleValue font) {
  if (drawing.open) tw_draw_font(static_cast<int>(font));
}

void DrawingSetStyle(std::uint32_t flags) {
  if (drawing.open) drawing.style = flags;
}

void DrawingRectangle(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                      std::uint32_t colour) {
  if (!drawing.open || width <= 0 || height <= 0) return;
  if ((drawing.style & kStyleOutline) == 0 || width <= 2 || height <= 2) {
    WebSpan(x, y, width, height, colour);
    return;
  }
  // Four strips that do not overlap: an XOR mix would undo a pixel painted
  // twice.
  WebSpan(x, y, width, 1, colour);
  WebSpan(x, y + height - 1, width, 1, colour);
  WebSpan(x, y + 1, 1, height - 2, colour);
  WebSpan(x + width - 1, y + 1, 1, height - 2, colour);
}

// The box's right and bottom edges are excluded, as for the rectangle: the
// ellipse covers 2 rx x 2 ry pixels. Its outline is what the ellipse covers
// and the one a pixel smaller all round does not.
void DrawingEllipse(std::int32_t cx, std::int32_t cy, std::int32_t rx, std::int32_t ry,
                    std::uint32_t colour) {
  if (!drawing.open || rx <= 0 || ry <= 0) return;
  const bool filled = (drawing.style & kStyleOutline) == 0;
  for (std::int32_t row = cy - ry; row < cy + ry; ++row) {
    const WebRowSpan outer = WebEllipseRow(cx, cy, rx, ry, row);
    if (outer.left > outer.right) continue;
    const WebRowSpan inner = WebEllipseRow(cx, cy, rx - 1, ry - 1, row);
    if (filled || inner.left > inner.right) {
      WebSpan(outer.left, row, outer.right - outer.left + 1, 1, colour);
      continue;
    }
    WebSpan(outer.left, row, inner.left - outer.left, 1, colour);
    WebSpan(inner.right + 1, row, outer.right - inner.right, 1, colour);
  }
}

std::int32_t DrawingText(std::int32_t x, std::int32_t y, std::string_view text,
                         std::uint32_t textColour, std::uint32_t backgroundColour) {
  if (!drawing.open || text.empty()) return x;
  const int opaque = (drawing.style & kStyleTransparentText) ? 0 : 1;
  return x + tw_draw_text(x, y, text.data(), static_cast<int>(text.size()), textColour,
                          backgroundColour, opaque, 1);
}

std::int32_t DrawingTextWidth(std::string_view text) {
  if (!drawing.open || text.empty()) return 0;
  return tw_draw_text(0, 0, text.data(), static_cast<int>(text.size()), 0, 0, 0, 0);
}

ObjectId FontLoad(ObjectId id, std::string_view face, std::int32_t points) {
  if (face.empty() || points <= 0) return 0;
  WebFontRecord* record = fonts.Create(id);
  if (!record) return 0;
  const auto pixels = static_cast<int>(std::lround(points * 4.0 / 3.0));
  record->handle = tw_font_new(std::string(face).c_str(), pixels);
  return id == kNewObject ? ObjectTable<WebFontRecord>::ReferenceOf(record) : record->handle;
}

FontHandleValue FontHandle(ObjectId font) {
  const WebFontRecord* record = fonts.Find(font);
  return record ? record->handle : 0;
}

void FontsShutdown() {
  fonts.Clear();
}
