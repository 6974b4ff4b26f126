// Drawing on images with GDI, through the device context of the image's
// DirectDraw surface, and the fonts it draws text in.
//
// Implements: one open drawing at a time on an image of the screen service;
// the style flags (transparent text, XOR pen mix, outline only); rectangles
// with the right and bottom edges excluded (1 x 1: one pixel), ellipses in
// their box, circles with the 2 x 2 square for radius 1, each with a pen and
// brush of its colour made for the call (the black ones selected at the start
// of the drawing serve the front colour); text whose top-left corner is at
// the current position, which then advances; text widths; plain fonts made
// with CreateFontA at 96 DPI. On images of a larger scale (Win32ImageScale)
// the drawing keeps the program's coordinates and GDI's mapping mode
// enlarges every shape, pen and font, so they are drawn at the monitor's
// resolution rather than blown up; pens then stay inside the figures' boxes
// as a 1-pixel pen does.
// Leaves out: drawing on the back buffer, pixel access, other shapes, font
// styles.
// Depends on: GDI32, DirectDraw surfaces' GetDC and ReleaseDC, the screen
// service's images (Win32ImageSurface, Win32ImageScale).
#include <windows.h>
// The headers below need windows.h first.
#include <ddraw.h>

#include <string>

#include "platform/screen/screen.h"
#include "platform/win32/win32_dpi.h"
#include "platform/win32/win32_shared.h"

namespace {

constexpr COLORREF kBlack = 0x000000;

struct Win32FontRecord {
  HFONT handle;
  bool Live() const { return handle != nullptr; }
};

void Win32ReleaseFont(Win32FontRecord& font) {
  if (font.handle) DeleteObject(font.handle);
  font.handle = nullptr;
}

ObjectTable<Win32FontRecord> fonts{Win32ReleaseFont};

struct Win32Drawing {
  IDirectDrawSurface7* surface = nullptr;
  HDC context = nullptr;  // nullptr: no drawing open
  std::uint32_t style = 0;
  COLORREF frontColour = kBlack;
  HBRUSH fillBrush = nullptr;
  HGDIOBJ ownBrush = nullptr;  // the context's own objects, put back at the end
  HGDIOBJ ownPen = nullptr;
  HGDIOBJ ownFont = nullptr;
};

Win32Drawing drawing;

// The black brush and pen selected at the start of every drawing; made once,
// they last as long as the program.
HBRUSH Win32BlackBrush() {
  static const HBRUSH brush = CreateSolidBrush(kBlack);
  return brush;
}

HPEN Win32Pen(COLORREF colour) {
  return CreatePen(PS_INSIDEFRAME, 1, colour);
}

HPEN Win32BlackPen() {
  static const HPEN pen = Win32Pen(kBlack);
  return pen;
}

bool Win32Outline() {
  return (drawing.style & kStyleOutline) != 0;
}

// Draws one shape with a pen and brush of `colour`: the selected ones for the
// front colour, else ones made for this call.
template <typename Shape>
void Win32DrawShape(std::uint32_t colour, Shape shape) {
  if (colour == drawing.frontColour) {
    shape(drawing.context);
    return;
  }
  HPEN pen = Win32Pen(colour);
  HBRUSH brush = Win32Outline() ? nullptr : CreateSolidBrush(colour);
  HGDIOBJ previousPen = SelectObject(drawing.context, pen);
  HGDIOBJ previousBrush = brush ? SelectObject(drawing.context, brush) : nullptr;
  shape(drawing.context);
  SelectObject(drawing.context, previousPen);
  if (brush) SelectObject(drawing.context, previousBrush);
  DeleteObject(pen);
  if (brush) DeleteObject(brush);
}

// SetPixelV sets one monitor pixel; a program pixel may be a square of them.
void Win32SetPixel(std::int32_t x, std::int32_t y, std::uint32_t colour) {
  if (Win32ImageScale() == 1) {
    SetPixelV(drawing.context, x, y, colour);
    return;
  }
  HBRUSH brush = CreateSolidBrush(colour);
  const RECT pixel{x, y, x + 1, y + 1};
  FillRect(drawing.context, &pixel, brush);
  DeleteObject(brush);
}

// Program pixels to the image's monitor pixels.
void Win32SetScale(HDC context, int scale) {
  if (scale == 1) return;
  SetMapMode(context, MM_ANISOTROPIC);
  SetWindowExtEx(context, 1, 1, nullptr);
  SetViewportExtEx(context, scale, scale, nullptr);
}

}  // namespace

std::int32_t DrawingBegin(ImageHandle image) {
  if (drawing.context) {
    DrawingEnd();
    return 0;
  }
  IDirectDrawSurface7* surface = Win32ImageSurface(image);
  HDC context = nullptr;
  if (!surface || surface->GetDC(&context) != DD_OK) return 0;
  drawing = Win32Drawing{};
  drawing.surface = surface;
  drawing.context = context;
  drawing.fillBrush = CreateSolidBrush(kBlack);
  Win32SetScale(context, Win32ImageScale());
  SetTextAlign(context, TA_UPDATECP);
  drawing.ownBrush = SelectObject(context, Win32BlackBrush());
  drawing.ownPen = SelectObject(context, Win32BlackPen());
  drawing.ownFont = GetCurrentObject(context, OBJ_FONT);
  SetTextColor(context, kBlack);
  return 1;
}

void DrawingEnd() {
  if (!drawing.context) return;
  SelectObject(drawing.context, drawing.ownBrush);
  SelectObject(drawing.context, drawing.ownPen);
  SelectObject(drawing.context, drawing.ownFont);
  DeleteObject(drawing.fillBrush);
  SetMapMode(drawing.context, MM_TEXT);
  drawing.surface->ReleaseDC(drawing.context);
  drawing = Win32Drawing{};
}

void DrawingSelectFont(FontHandleValue font) {
  if (!drawing.context) return;
  HGDIOBJ selected =
      font == kSystemFont ? GetStockObject(SYSTEM_FONT) : reinterpret_cast<HGDIOBJ>(font);
  SelectObject(drawing.context, selected);
}

void DrawingSetStyle(std::uint32_t flags) {
  if (!drawing.context) return;
  drawing.style = flags;
  SetROP2(drawing.context, (flags & kStyleXor) ? R2_XORPEN : R2_COPYPEN);
  SelectObject(drawing.context,
               (flags & kStyleOutline) ? GetStockObject(NULL_BRUSH) : drawing.fillBrush);
  SetBkMode(drawing.context, (flags & kStyleTransparentText) ? TRANSPARENT : OPAQUE);
}

void DrawingRectangle(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                      std::uint32_t colour) {
  if (!drawing.context) return;
  if (width == 1 && height == 1) {
    Win32SetPixel(x, y, colour);
    return;
  }
  Win32DrawShape(colour, [&](HDC context) { Rectangle(context, x, y, x + width, y + height); });
}

void DrawingEllipse(std::int32_t cx, std::int32_t cy, std::int32_t rx, std::int32_t ry,
                    std::uint32_t colour) {
  if (!drawing.context) return;
  Win32DrawShape(colour,
                 [&](HDC context) { Ellipse(context, cx - rx, cy - ry, cx + rx, cy + ry); });
}

std::int32_t DrawingText(std::int32_t x, std::int32_t y, std::string_view text,
                         std::uint32_t textColour, std::uint32_t backgroundColour) {
  if (!drawing.context) return x;
  const bool ownColour = textColour != drawing.frontColour;
  const COLORREF previousText = ownColour ? SetTextColor(drawing.context, textColour) : 0;
  const COLORREF previousBack = SetBkColor(drawing.context, backgroundColour);
  MoveToEx(drawing.context, x, y, nullptr);
  // With TA_UPDATECP the text starts at the current position, not at (0, 0).
  if (!text.empty()) TextOutA(drawing.context, 0, 0, text.data(), static_cast<int>(text.size()));
  SetBkColor(drawing.context, previousBack);
  if (ownColour) SetTextColor(drawing.context, previousText);
  POINT position;
  GetCurrentPositionEx(drawing.context, &position);
  return position.x;
}

std::int32_t DrawingTextWidth(std::string_view text) {
  if (!drawing.context || text.empty()) return 0;
  SIZE extent;
  if (!GetTextExtentPoint32A(drawing.context, text.data(), static_cast<int>(text.size()), &extent))
    return 0;
  return extent.cx;
}

ObjectId FontLoad(ObjectId id, std::string_view face, std::int32_t points) {
  Win32FontRecord* font = fonts.Create(id);
  if (!font) return 0;
  const ObjectId identifier =
      id == kNewObject ? ObjectTable<Win32FontRecord>::ReferenceOf(font) : id;
  // A negative height asks for the character height without internal
  // leading; images of a larger scale enlarge the font with the drawing.
  const int height = -MulDiv(points, kWin32LogicalDpi, 72);
  font->handle = CreateFontA(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0,
                             0, 0, std::string(face).c_str());
  if (!font->handle) {
    fonts.Remove(identifier);
    return 0;
  }
  return id == kNewObject ? identifier : reinterpret_cast<ObjectId>(font->handle);
}

FontHandleValue FontHandle(ObjectId font) {
  const Win32FontRecord* record = fonts.Find(font);
  return record ? reinterpret_cast<FontHandleValue>(record->handle) : 0;
}

void FontsShutdown() {
  fonts.Clear();
}
