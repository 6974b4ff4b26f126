// The embedded screen and its images on Qt: QImage buffers shown by a child
// widget of the window.
//
// Implements: ScreenInit (a usable display, or Qt's reason why none is), the
// embedded screen as a child
// widget with a back buffer that its paint event shows, so the window is
// repainted from the back buffer without redrawing the knobs; images as
// QImages, black when new, copied opaquely with clipping; ScreenFlip paced
// to at most one present per 1/61 second by sleeping until the deadline.
// Buffers hold whole device pixels (device pixel ratio rounded up), so
// drawing stays crisp on a HiDPI screen while every coordinate stays logical.
// With TONKELWERK_FRAME_STATS set, ScreenShutdown prints the number of
// presents and the wall-clock times of the first and the last one (for the
// speed report of scripts/measure-idle.sh).
// Leaves out: full-screen modes, pixel access, transparent copies, the
// keyboard device (nothing reads it) and the desktop lock handling (Qt
// loses no surfaces).
// Depends on: Qt 6 Widgets through platform/qt/qt_shared.h.
#include <QApplication>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QWidget>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <thread>

#include "platform/qt/qt_shared.h"
#include "platform/screen/screen.h"

namespace {

using QtClock = std::chrono::steady_clock;

// The pacing interval: one present per 1/61 second.
constexpr auto kPresentInterval =
    std::chrono::duration_cast<QtClock::duration>(std::chrono::duration<double>(1.0 / 61.0));

struct QtImageRecord {
  std::unique_ptr<QImage> handle;
  bool Live() const { return handle != nullptr; }
};

void QtReleaseImage(QtImageRecord& record) {
  record.handle.reset();
}

// Shows the back buffer; repainting needs nothing else.
class QtScreenWidget : public QWidget {
 public:
  QtScreenWidget(QWidget* parent, const QImage& backBuffer)
      : QWidget(parent), backBuffer_(backBuffer) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    // The window sees the screen's mouse events once, from the screen.
    setAttribute(Qt::WA_NoMousePropagation);
    setMouseTracking(true);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.drawImage(rect(), backBuffer_);
  }

 private:
  const QImage& backBuffer_;
};

struct QtScreen {
  bool ready = false;
  int scale = 1;  // device pixels per logical pixel of every buffer
  ObjectTable<QtImageRecord> images{QtReleaseImage};
  QImage backBuffer;
  QImage presented;  // what the window shows: a flip of the same picture is skipped
  QPointer<QtScreenWidget> widget;
  QtClock::time_point nextPresent;
  std::string failure;  // why the latest ScreenInit or ScreenOpenEmbedded failed
  long flips = 0;
  long presents = 0;
  std::chrono::system_clock::time_point firstFlip;
  std::chrono::system_clock::time_point lastFlip;
};

QtScreen screen;

std::int32_t QtScreenFailed(std::string reason) {
  screen.failure = std::move(reason);
  return 0;
}

QImage QtBlankImage(int width, int height) {
  QImage image(width * screen.scale, height * screen.scale, QImage::Format_RGB32);
  image.setDevicePixelRatio(screen.scale);
  image.fill(Qt::black);
  return image;
}

QRgb QtRgb(std::uint32_t colour) {
  return qRgb(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
              static_cast<int>((colour >> 16) & 0xFF));
}

// Waits out the rest of the pacing interval by sleeping: an idle program
// must not spin.
void QtPace() {
  const QtClock::time_point now = QtClock::now();
  if (now < screen.nextPresent) std::this_thread::sleep_until(screen.nextPresent);
  screen.nextPresent = QtClock::now() + kPresentInterval;
}

void QtCountFlip() {
  screen.lastFlip = std::chrono::system_clock::now();
  if (screen.flips++ == 0) screen.firstFlip = screen.lastFlip;
}

long long QtUnixMs(std::chrono::system_clock::time_point time) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(time.time_since_epoch()).count();
}

void QtPrintFrameStats() {
  if (!std::getenv("TONKELWERK_FRAME_STATS")) return;
  std::fprintf(stderr, "flips=%ld presents=%ld first_flip_unix_ms=%lld last_flip_unix_ms=%lld\n",
               screen.flips, screen.presents, QtUnixMs(screen.firstFlip),
               QtUnixMs(screen.lastFlip));
}

}  // namespace

QImage* QtImageFromHandle(std::intptr_t handle) {
  QtImageRecord* record = handle == 0 ? nullptr : screen.images.Find(handle);
  return record ? record->handle.get() : nullptr;
}

std::string ScreenFailureReason() {
  return screen.failure;
}

std::int32_t ScreenInit() {
  if (!QtAppRunning()) {
    const std::string qtSays = QtAppStartError();
    return QtScreenFailed("no display could be opened" + (qtSays.empty() ? "" : ": " + qtSays));
  }
  const QScreen* primary = QGuiApplication::primaryScreen();
  if (!primary) return QtScreenFailed("the display has no screen");
  screen.scale = std::max(1, static_cast<int>(std::ceil(primary->devicePixelRatio())));
  screen.ready = true;
  screen.failure.clear();
  return 1;
}

std::int32_t ScreenOpenEmbedded(WindowHandle window, std::int32_t x, std::int32_t y,
                                std::int32_t width, std::int32_t height, std::int32_t stretch,
                                std::int32_t rightMargin, std::int32_t bottomMargin) {
  if (screen.widget) ScreenClose();
  QWidget* owner = QtWidgetFromHandle(window);
  if (!screen.ready || !owner || width <= 0 || height <= 0)
    return QtScreenFailed("no drawing surface could be made in the window");
  screen.backBuffer = QtBlankImage(width, height);
  screen.presented = QImage();
  screen.widget = new QtScreenWidget(owner, screen.backBuffer);
  if (stretch) {
    screen.widget->setGeometry(x, y, owner->width() - x - rightMargin,
                               owner->height() - y - bottomMargin);
  } else {
    screen.widget->setGeometry(x, y, width, height);
  }
  screen.widget->show();
  // The first present waits a whole interval, as every later one does.
  screen.nextPresent = QtClock::now() + kPresentInterval;
  screen.failure.clear();
  return 1;
}

void ScreenClear(std::uint32_t colour) {
  if (screen.widget) screen.backBuffer.fill(QtRgb(colour));
}

void ScreenFlip() {
  if (!screen.widget) return;
  QtPace();
  QtCountFlip();
  // An idle program redraws the same frame 61 times a second; sending it to
  // the display server again would change no pixel and cost most of the
  // program's idle processor time. A window uncovered meanwhile repaints
  // from the back buffer by itself.
  if (screen.backBuffer == screen.presented) return;
  screen.widget->repaint();
  screen.presented = screen.backBuffer;
  ++screen.presents;
}

void ScreenClose() {
  screen.images.Clear();
  delete screen.widget.data();
  screen.backBuffer = QImage();
}

void ScreenShutdown() {
  ScreenClose();
  if (screen.ready) QtPrintFrameStats();
  screen.ready = false;
  screen.presents = 0;
}

ImageHandle SpriteNew(ObjectId handle, std::int32_t width, std::int32_t height) {
  if (!screen.ready || width <= 0 || height <= 0) return 0;
  QtImageRecord* record = screen.images.Create(handle);
  if (!record) return 0;
  record->handle = std::make_unique<QImage>(QtBlankImage(width, height));
  return handle == kNewObject ? ObjectTable<QtImageRecord>::ReferenceOf(record) : handle;
}

void SpriteShow(ImageHandle image, std::int32_t x, std::int32_t y) {
  const QImage* source = QtImageFromHandle(image);
  if (!source || !screen.widget) return;
  const int targetWidth = screen.backBuffer.width() / screen.scale;
  const int targetHeight = screen.backBuffer.height() / screen.scale;
  int w = source->width() / screen.scale;
  int h = source->height() / screen.scale;
  if (x >= targetWidth || y >= targetHeight || x <= -w || y <= -h) return;
  if (x + w > targetWidth) w = targetWidth - x;
  if (y + h > targetHeight) h = targetHeight - y;
  int sourceX = 0;
  int sourceY = 0;
  if (x < 0) {
    sourceX = -x;
    x = 0;
  }
  if (y < 0) {
    sourceY = -y;
    y = 0;
  }
  // Both buffers are RGB32 at the same scale: copy the rows as they are.
  const int s = screen.scale;
  const auto rowBytes = static_cast<std::size_t>((w - sourceX) * s) * sizeof(QRgb);
  for (int row = (sourceY * s); row < h * s; ++row) {
    const auto* from = reinterpret_cast<const QRgb*>(source->constScanLine(row)) + sourceX * s;
    auto* to =
        reinterpret_cast<QRgb*>(screen.backBuffer.scanLine(y * s + row - sourceY * s)) + x * s;
    std::memcpy(to, from, rowBytes);
  }
}

void SpriteRelease(ImageHandle image) {
  if (image != 0) screen.images.Remove(image);
}
