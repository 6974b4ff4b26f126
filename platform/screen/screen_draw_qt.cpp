// Drawing on images with QPainter, and the fonts it draws text in.
//
// Implements: one open drawing at a time on an image of the screen service;
// the style flags (transparent text, XOR mix, outline only); rectangles with
// the right and bottom edges excluded, ellipses in their box, circles with the
// 2 x 2 square for radius 1; text with its top-left corner at a point, on an
// opaque background unless the style says otherwise; text widths. Shapes are
// not antialiased, like the GDI shapes they stand for; text is. Fonts are a
// family and a pixel size, made into a QFont only while a drawing is open.
// Leaves out: drawing on the back buffer and pixel access (the program draws
// on images only).
// Depends on: Qt 6 Gui through platform/qt/qt_shared.h.
#include <QApplication>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <memory>
#include <optional>

#include "platform/qt/qt_shared.h"
#include "platform/screen/screen.h"

namespace {

// A loaded font: what a QFont is made of when text is drawn.
struct QtFontSpec {
  QString family;
  int pixelSize = 0;
};

struct QtFontRecord {
  std::unique_ptr<QtFontSpec> handle;
  bool Live() const { return handle != nullptr; }
};

void QtReleaseFont(QtFontRecord& record) {
  record.handle.reset();
}

ObjectTable<QtFontRecord> fonts{QtReleaseFont};

// Pixels per inch of the images that fonts are drawn on (HiDPI screens scale
// whole images, not fonts).
constexpr int kLogicalDpi = 96;

// The font behind a native font handle, or nullptr.
const QtFontSpec* QtFontFromHandle(FontHandleValue handle) {
  const QtFontSpec* found = nullptr;
  fonts.ForEachLive([&](const QtFontRecord& record) {
    if (reinterpret_cast<FontHandleValue>(record.handle.get()) == handle)
      found = record.handle.get();
  });
  return found;
}

struct QtDrawing {
  std::optional<QPainter> painter;  // engaged while a drawing is open
  std::uint32_t style = 0;
  std::optional<QFont> font;  // lives only with the drawing: Qt's fonts end with the toolkit
};

QtDrawing drawing;

QColor QtColour(std::uint32_t colour) {
  return QColor(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                static_cast<int>((colour >> 16) & 0xFF));
}

// Pen and mix for one shape in `colour`.
void QtShapePen(std::uint32_t colour) {
  QPen pen(QtColour(colour));
  pen.setWidth(1);
  drawing.painter->setPen(pen);
  drawing.painter->setBrush(Qt::NoBrush);
}

bool QtFilled() {
  return (drawing.style & kStyleOutline) == 0;
}

}  // namespace

std::int32_t DrawingBegin(ImageHandle image) {
  if (drawing.painter) {
    DrawingEnd();
    return 0;
  }
  QImage* target = QtImageFromHandle(image);
  if (!target) return 0;
  drawing.painter.emplace(target);
  drawing.painter->setRenderHint(QPainter::Antialiasing, false);
  drawing.painter->setRenderHint(QPainter::TextAntialiasing, true);
  drawing.style = 0;
  drawing.font = QApplication::font();
  drawing.painter->setFont(*drawing.font);
  return 1;
}

void DrawingEnd() {
  drawing.painter.reset();
  drawing.font.reset();
}

void DrawingSelectFont(FontHandleValue font) {
  if (!drawing.painter) return;
  if (font == kSystemFont) {
    drawing.font = QApplication::font();
  } else if (const QtFontSpec* spec = QtFontFromHandle(font)) {
    drawing.font = QFont(spec->family);
    drawing.font->setPixelSize(spec->pixelSize);
  } else {
    return;
  }
  drawing.painter->setFont(*drawing.font);
}

void DrawingSetStyle(std::uint32_t flags) {
  if (!drawing.painter) return;
  drawing.style = flags;
  drawing.painter->setCompositionMode((flags & kStyleXor) ? QPainter::RasterOp_SourceXorDestination
                                                          : QPainter::CompositionMode_SourceOver);
}

void DrawingRectangle(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                      std::uint32_t colour) {
  if (!drawing.painter || width <= 0 || height <= 0) return;
  if (width == 1 && height == 1) {
    drawing.painter->fillRect(QRect(x, y, 1, 1), QtColour(colour));
    return;
  }
  // Pen and brush share the colour, so a filled rectangle is one fill. The
  // outline is four edge strips that do not overlap (an XOR mix would undo
  // a pixel painted twice); both stay exact at any device pixel ratio.
  const QColor qtColour = QtColour(colour);
  if (QtFilled()) {
    drawing.painter->fillRect(QRect(x, y, width, height), qtColour);
    return;
  }
  drawing.painter->fillRect(QRect(x, y, width, 1), qtColour);
  drawing.painter->fillRect(QRect(x, y + height - 1, width, 1), qtColour);
  if (height > 2) {
    drawing.painter->fillRect(QRect(x, y + 1, 1, height - 2), qtColour);
    drawing.painter->fillRect(QRect(x + width - 1, y + 1, 1, height - 2), qtColour);
  }
}

void DrawingEllipse(std::int32_t cx, std::int32_t cy, std::int32_t rx, std::int32_t ry,
                    std::uint32_t colour) {
  if (!drawing.painter || rx <= 0 || ry <= 0) return;
  QtShapePen(colour);
  if (QtFilled()) drawing.painter->setBrush(QtColour(colour));
  // The box's right and bottom edges are excluded, as for the rectangle.
  drawing.painter->drawEllipse(QRect(cx - rx, cy - ry, 2 * rx - 1, 2 * ry - 1));
}

std::int32_t DrawingText(std::int32_t x, std::int32_t y, std::string_view text,
                         std::uint32_t textColour, std::uint32_t backgroundColour) {
  if (!drawing.painter || text.empty()) return x;
  const QString qtText = QtText(text);
  const QFontMetrics metrics(*drawing.font, drawing.painter->device());
  const int width = metrics.horizontalAdvance(qtText);
  if ((drawing.style & kStyleTransparentText) == 0)
    drawing.painter->fillRect(QRect(x, y, width, metrics.height()), QtColour(backgroundColour));
  drawing.painter->setPen(QtColour(textColour));
  drawing.painter->drawText(QPoint(x, y + metrics.ascent()), qtText);
  return x + width;
}

std::int32_t DrawingTextWidth(std::string_view text) {
  if (!drawing.painter || text.empty()) return 0;
  const QFontMetrics metrics(*drawing.font, drawing.painter->device());
  return metrics.horizontalAdvance(QtText(text));
}

ObjectId FontLoad(ObjectId id, std::string_view face, std::int32_t points) {
  if (points <= 0) return 0;
  QtFontRecord* record = fonts.Create(id);
  if (!record) return 0;
  record->handle =
      std::make_unique<QtFontSpec>(QtFontSpec{QtText(face), (points * kLogicalDpi + 36) / 72});
  if (id == kNewObject) return ObjectTable<QtFontRecord>::ReferenceOf(record);
  return reinterpret_cast<ObjectId>(record->handle.get());
}

FontHandleValue FontHandle(ObjectId font) {
  const QtFontRecord* record = fonts.Find(font);
  return record ? reinterpret_cast<FontHandleValue>(record->handle.get()) : 0;
}

void FontsShutdown() {
  fonts.Clear();
}
