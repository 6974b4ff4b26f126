// Window, buttons and events on Qt Widgets.
//
// Implements: top-level windows with a fixed client size (or a sizing border),
// centred on the screen or the active window (the outer frame, once the
// window manager has made it), holding the keyboard focus themselves until
// the first Tab; QPushButton children in the platform GUI font (Tab and
// Shift+Tab move the focus, Space clicks); the
// event poll, which lets Qt handle what is pending without waiting and hands
// out the translated events one by one: close requests (16, the window stays
// open), button clicks (13100), mouse moves, presses, double-clicks and
// releases (512..521) of every widget of the program's windows with the
// Windows key-state word, Ctrl+C and Ctrl+V as the copy and paste codes (769,
// 770), the command keys and the entries of a QMenu context menu as commands
// (273), Qt's context menu requests (123) and wheel turns (522); the cursor
// position in client coordinates; the clipboard's text; the backend's system
// requirements and display environment variables.
// Leaves out: the window move, size, paint and activation codes (3, 5, 15,
// 13104) and other keyboard message codes, which the application passes
// over; menu bars and other control kinds.
// Depends on: Qt 6 Widgets through platform/qt/qt_shared.h; the program's
// icon as the Qt resource ":/tonkelwerk/tonkelwerk.xpm" (none without it).
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QCursor>
#include <QDirIterator>
#include <QIcon>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QWheelEvent>
#include <QWidget>
#include <deque>
#include <optional>
#include <vector>

#include "platform/qt/qt_shared.h"
#include "platform/window/window.h"

namespace {

struct QtWindowRecord {
  QWidget* handle = nullptr;
  // The area the window is centred on, kept until the window manager has
  // put its frame around the window (an empty rectangle: nothing to do).
  QRect centringArea;
  bool Live() const { return handle != nullptr; }
};

struct QtButtonRecord {
  QPushButton* handle = nullptr;
  bool Live() const { return handle != nullptr; }
};

void QtReleaseWindow(QtWindowRecord& record) {
  delete record.handle;  // its buttons go with it
  record.handle = nullptr;
}

void QtReleaseButton(QtButtonRecord& record) {
  delete record.handle;
  record.handle = nullptr;
}

struct QtQueuedEvent {
  std::int32_t code = kEventNone;
  ObjectId window = -1;
  ObjectId button = 0;  // the clicked button, or the button a mouse event hit
  std::uint32_t wordParam = 0;
  std::uint32_t longParam = 0;
  std::int32_t command = 0;  // of a command event
};

class QtEventTranslator;

struct QtWindowService {
  ObjectTable<QtWindowRecord> windows{QtReleaseWindow};
  ObjectTable<QtButtonRecord> buttons{QtReleaseButton};
  WindowHandle buttonParent = 0;
  ObjectId keysWindow = 0;  // the window whose command keys `keys` are
  std::vector<CommandKey> keys;
  std::deque<QtQueuedEvent> queue;
  QtQueuedEvent latest;
  // The cursor's global position, read once per poll: each reading is a
  // round trip to the display server, and MousePosX and MousePosY follow
  // every poll.
  std::optional<QPoint> cursor;
  QtEventTranslator* translator = nullptr;
};

QtWindowService service;

// The identifier of the program window that `widget` lies in, or -1.
ObjectId QtWindowOf(const QWidget* widget) {
  const QWidget* top = widget->window();
  ObjectId found = -1;
  service.windows.ForEachLive([&](const QtWindowRecord& record) {
    if (record.handle == top) found = ObjectTable<QtWindowRecord>::ReferenceOf(&record);
  });
  return found;
}

ObjectId QtButtonOf(const QObject* object) {
  ObjectId found = 0;
  service.buttons.ForEachLive([&](const QtButtonRecord& record) {
    if (record.handle == object) found = ObjectTable<QtButtonRecord>::ReferenceOf(&record);
  });
  return found;
}

std::uint32_t QtModifierState(Qt::KeyboardModifiers modifiers) {
  std::uint32_t state = 0;
  if (modifiers & Qt::ShiftModifier) state |= kKeyShift;
  if (modifiers & Qt::ControlModifier) state |= kKeyControl;
  return state;
}

std::uint32_t QtKeyState(const QSinglePointEvent& event) {
  std::uint32_t state = QtModifierState(event.modifiers());
  if (event.buttons() & Qt::LeftButton) state |= kKeyLeftButton;
  if (event.buttons() & Qt::RightButton) state |= kKeyRightButton;
  if (event.buttons() & Qt::MiddleButton) state |= kKeyMiddleButton;
  return state;
}

// The Windows message number of a mouse event, 0 for buttons it has none for.
std::int32_t QtMouseCode(const QMouseEvent& event) {
  // Down, up and double-click codes follow each other per button.
  std::int32_t offset = 0;
  switch (event.type()) {
    case QEvent::MouseMove:
      return kEventMouseMove;
    case QEvent::MouseButtonPress:
      offset = 0;
      break;
    case QEvent::MouseButtonRelease:
      offset = 1;
      break;
    case QEvent::MouseButtonDblClick:
      offset = 2;
      break;
    default:
      return 0;
  }
  switch (event.button()) {
    case Qt::LeftButton:
      return kEventLeftDown + offset;
    case Qt::RightButton:
      return kEventRightDown + offset;
    case Qt::MiddleButton:
      return kEventMiddleDown + offset;
    default:
      return 0;
  }
}

void QtQueueMouse(const QMouseEvent& event, QWidget* widget, ObjectId window) {
  const std::int32_t code = QtMouseCode(event);
  if (code == 0) return;
  const QPoint at = event.position().toPoint();
  QtQueuedEvent queued{code, window, QtButtonOf(widget), QtKeyState(event), 0};
  queued.longParam = (static_cast<std::uint32_t>(at.y() & 0xFFFF) << 16) |
                     static_cast<std::uint32_t>(at.x() & 0xFFFF);
  service.queue.push_back(queued);
}

void QtQueueClose(ObjectId window) {
  // A run of close requests that nothing interrupts reaches the caller once.
  if (!service.queue.empty() && service.queue.back().code == kEventClose &&
      service.queue.back().window == window)
    return;
  service.queue.push_back({kEventClose, window, 0, 0, 0});
}

// A click arrives while the button handles its release (mouse) or the Space
// key: like the Windows button it stands in for that release.
void QtQueueClick(ObjectId button, ObjectId window) {
  if (!service.queue.empty()) {
    QtQueuedEvent& last = service.queue.back();
    if (last.code == kEventLeftUp && last.button == button) {
      last = {kEventButtonClicked, window, button, 0, 0};
      return;
    }
  }
  service.queue.push_back({kEventButtonClicked, window, button, 0, 0});
}

// The copy or paste code of a key press, 0 for any other key.
std::int32_t QtShortcutCode(const QKeyEvent& key) {
  if (key.modifiers() != Qt::ControlModifier) return 0;
  if (key.key() == Qt::Key_C) return kEventCopy;
  if (key.key() == Qt::Key_V) return kEventPaste;
  return 0;
}

// The command of a key press in `window`, 0 for none. Qt's codes of capital
// letters and digits are their ASCII codes; the keypad's digits count as the
// digits, and Alt or Meta held makes the press no command key.
std::int32_t QtCommandOfKey(const QKeyEvent& key, ObjectId window) {
  if (window != service.keysWindow) return 0;
  const Qt::KeyboardModifiers modifiers = key.modifiers() & ~Qt::KeypadModifier;
  if (modifiers & (Qt::AltModifier | Qt::MetaModifier)) return 0;
  for (const CommandKey& command : service.keys)
    if (key.key() == command.key && QtModifierState(modifiers) == command.modifiers)
      return command.command;
  return 0;
}

// The wheel's turn as the Windows word: key state low, the turn high. A
// horizontal wheel (and Shift with the wheel, where the platform makes that
// horizontal) turns as the vertical one does.
std::uint32_t QtWheelWord(const QWheelEvent& wheel) {
  const QPoint delta = wheel.angleDelta();
  const int turn = delta.y() != 0 ? delta.y() : delta.x();
  return (static_cast<std::uint32_t>(turn & 0xFFFF) << 16) | QtKeyState(wheel);
}

// Queues the key's copy, paste or command code; false for any other key.
bool QtQueueKey(const QKeyEvent& key, ObjectId window) {
  if (const std::int32_t code = QtShortcutCode(key)) {
    service.queue.push_back({code, window, 0, 0, 0});
    return true;
  }
  if (const std::int32_t command = QtCommandOfKey(key, window)) {
    service.queue.push_back({kEventCommand, window, 0, 0, 0, command});
    return true;
  }
  return false;
}

// Places the window's outer frame (as far as the platform knows it yet) in
// the middle of `area`, never above or left of it. The client area is placed,
// not the frame: window managers keep a client where it was asked for, while
// they differ in where they put a frame asked for by its corner.
void QtCentre(QWidget* window, const QRect& area) {
  const QRect outer = window->frameGeometry();
  const QRect client = window->geometry();
  const QPoint corner(area.left() + std::max(0, (area.width() - outer.width()) / 2),
                      area.top() + std::max(0, (area.height() - outer.height()) / 2));
  window->setGeometry(QRect(corner + (client.topLeft() - outer.topLeft()), client.size()));
}

// A window manager frames a window only after it is shown, and no event
// tells when Qt has learnt the frame's size: each event of the window looks
// (Qt keeps the size once known), and the window is centred again, once.
void QtCentreOnceFramed(ObjectId window) {
  QtWindowRecord* record = service.windows.Find(window);
  if (!record || record->centringArea.isEmpty()) return;
  QWidget* widget = record->handle;
  if (widget->frameGeometry().size() == widget->size()) return;  // no frame yet
  const QRect area = record->centringArea;
  record->centringArea = QRect();
  QtCentre(widget, area);
}

// Watches every widget of the program's windows (message boxes and dialogs
// are not program windows) and queues what the application polls for.
class QtEventTranslator : public QObject {
 public:
  bool eventFilter(QObject* receiver, QEvent* event) override {
    if (!receiver->isWidgetType()) return false;
    auto* widget = static_cast<QWidget*>(receiver);
    const ObjectId window = QtWindowOf(widget);
    if (window == -1) return false;
    if (widget->isWindow()) QtCentreOnceFramed(window);
    if (event->type() == QEvent::Close && widget->isWindow()) {
      QtQueueClose(window);
      event->ignore();
      return true;  // the window stays open: the program decides
    }
    // Each of these is taken here, so that a parent does not see it again.
    switch (event->type()) {
      case QEvent::KeyPress:
        return QtQueueKey(*static_cast<QKeyEvent*>(event), window);
      case QEvent::ContextMenu:
        service.queue.push_back({kEventContextMenu, window, 0, 0, 0});
        return true;
      case QEvent::Wheel:
        service.queue.push_back(
            {kEventWheel, window, 0, QtWheelWord(*static_cast<QWheelEvent*>(event)), 0});
        return true;
      default:
        break;
    }
    if (auto* mouse = dynamic_cast<QMouseEvent*>(event)) QtQueueMouse(*mouse, widget, window);
    return false;
  }
};

Qt::WindowFlags QtWindowFlags(std::uint32_t flags) {
  Qt::WindowFlags qtFlags = Qt::Window | Qt::CustomizeWindowHint;
  if ((flags & kWindowCaption) == kWindowCaption) qtFlags |= Qt::WindowTitleHint;
  if (flags & kWindowSystemMenu) qtFlags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
  if (flags & kWindowMinimiseBox) qtFlags |= Qt::WindowMinimizeButtonHint;
  if (flags & kWindowMaximiseBox) qtFlags |= Qt::WindowMaximizeButtonHint;
  return qtFlags;
}

// The area a window is centred on by its flags, or none.
QRect QtCentringArea(std::uint32_t flags) {
  if (flags & kWindowCentreScreen) {
    if (QScreen* screen = QGuiApplication::primaryScreen()) return screen->geometry();
  } else if (flags & kWindowCentreActive) {
    if (QWidget* active = QApplication::activeWindow()) return active->frameGeometry();
  }
  return {};
}

}  // namespace

void WindowServiceStartup() {
  if (!QtAppStart() || service.translator) return;
  service.translator = new QtEventTranslator;
  qApp->installEventFilter(service.translator);
  // The program's icon in every size it carries, so that the window manager
  // and the task switchers pick theirs rather than scale one.
  QIcon icon;
  for (QDirIterator pictures(QStringLiteral(":/tonkelwerk/icons"), {QStringLiteral("*.png")},
                             QDir::Files, QDirIterator::Subdirectories);
       pictures.hasNext();)
    icon.addFile(pictures.next());
  QApplication::setWindowIcon(icon);
}

void WindowServiceShutdown() {
  service.windows.Clear();
  service.buttons.Clear();
  service.queue.clear();
  service.latest = {};
  service.buttonParent = 0;
  service.keysWindow = 0;
  service.keys.clear();
  delete service.translator;
  service.translator = nullptr;
  QtAppStop();
}

std::array<std::string_view, 3> SystemRequirements() {
  return {"Linux desktop (X11 or Wayland)", "Sound device", "Qt 6 and SDL 2"};
}

std::array<std::string_view, 2> ClipboardShortcutsHelp() {
  return kSettingsLineShortcutsHelp;
}

std::string_view WindowEnvironmentHelp() {
  return "  QT_QPA_PLATFORM  Qt's display platform: xcb (X11) or wayland; offscreen\n"
         "                   runs without showing anything\n"
         "  DISPLAY          the X11 display to open (xcb)\n"
         "  WAYLAND_DISPLAY  the Wayland display to open (wayland)\n";
}

std::uint32_t ButtonFaceColour() {
  // The classic face colour stands in where no toolkit could start.
  if (!QtAppRunning()) return 0xF0F0F0;
  const QColor face = QApplication::palette().color(QPalette::Button);
  return static_cast<std::uint32_t>(face.red()) | (static_cast<std::uint32_t>(face.green()) << 8) |
         (static_cast<std::uint32_t>(face.blue()) << 16);
}

ObjectId MainWindowOpen(ObjectId id, std::int32_t x, std::int32_t y, std::int32_t width,
                        std::int32_t height, std::string_view title, std::uint32_t flags) {
  if (!QtAppRunning() || width <= 0 || height <= 0) return 0;
  QtWindowRecord* record = service.windows.Create(id);
  if (!record) return 0;
  if ((flags & ~(kWindowCentreScreen | kWindowCentreActive | kWindowHidden)) == 0)
    flags |= kWindowCaption;
  auto* window = new QWidget(nullptr, QtWindowFlags(flags));
  window->setWindowTitle(QtText(title));
  // The button face fills the background, the same colour as the screen's.
  window->setBackgroundRole(QPalette::Button);
  window->setAutoFillBackground(true);
  window->setMouseTracking(true);
  const QSize client(width, height);
  if (flags & kWindowSizingBorder) {
    window->resize(client);
  } else {
    window->setFixedSize(client);
  }
  const QRect area = QtCentringArea(flags);
  if (area.isValid()) {
    QtCentre(window, area);
    record->centringArea = area;
  } else if (x != kWindowNoPosition && y != kWindowNoPosition) {
    window->move(x, y);
  }
  record->handle = window;
  // No button has the keyboard focus until the first Tab, as with Windows'
  // buttons: the window itself takes it, so Space right after start clicks
  // nothing and Tab moves on to the first button.
  window->setFocus(Qt::OtherFocusReason);
  if (!(flags & kWindowHidden)) {
    if (flags & kWindowMaximised) {
      window->showMaximized();
    } else {
      window->show();
    }
  }
  if (id == kNewObject) return ObjectTable<QtWindowRecord>::ReferenceOf(record);
  return reinterpret_cast<ObjectId>(window);
}

WindowHandle WindowNativeHandle(ObjectId window) {
  const QtWindowRecord* record = service.windows.Find(window);
  return record ? reinterpret_cast<WindowHandle>(record->handle) : 0;
}

WindowHandle ButtonParentSet(WindowHandle parent) {
  service.buttonParent = parent;
  return parent;
}

ObjectId ButtonAdd(ObjectId id, std::int32_t x, std::int32_t y, std::int32_t width,
                   std::int32_t height, std::string_view text) {
  QWidget* parent = QtWidgetFromHandle(service.buttonParent);
  if (!parent) return 0;
  QtButtonRecord* record = service.buttons.Create(id);
  if (!record) return 0;
  auto* button = new QPushButton(QtText(text), parent);
  button->setGeometry(x, y, width, height);
  button->setMouseTracking(true);
  // The window sees the button's mouse events once, from the button.
  button->setAttribute(Qt::WA_NoMousePropagation);
  button->show();
  record->handle = button;
  const ObjectId reference = ObjectTable<QtButtonRecord>::ReferenceOf(record);
  const ObjectId identifier = id == kNewObject ? reference : id;
  QObject::connect(button, &QPushButton::clicked, button,
                   [identifier, button] { QtQueueClick(identifier, QtWindowOf(button)); });
  // A button destroyed with its window gives its record back.
  QObject::connect(button, &QObject::destroyed, [identifier] {
    if (QtButtonRecord* gone = service.buttons.Find(identifier)) {
      gone->handle = nullptr;
      service.buttons.Remove(identifier);
    }
  });
  return id == kNewObject ? reference : reinterpret_cast<ObjectId>(button);
}

std::int32_t EventPoll() {
  service.cursor.reset();
  if (service.queue.empty() && QtAppRunning()) {
    // Lets Qt translate whatever the platform has delivered; never blocks.
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
  }
  if (service.queue.empty()) return kEventNone;
  const QtQueuedEvent event = service.queue.front();
  service.queue.pop_front();
  if (event.code == kEventButtonClicked) {
    service.latest.button = event.button;
  } else if (event.code == kEventCommand) {
    service.latest.command = event.command;
  } else if (event.code != kEventClose) {
    service.latest.wordParam = event.wordParam;
    service.latest.longParam = event.longParam;
  }
  service.latest.window = event.window;
  return event.code;
}

std::uint32_t EventWordParam() {
  return service.latest.wordParam;
}

ObjectId EventButtonHandle() {
  return service.latest.button;
}

std::int32_t EventCommandId() {
  return service.latest.command;
}

bool WindowCommandKeysSet(ObjectId window, std::span<const CommandKey> keys) {
  if (!service.windows.Find(window)) return false;
  service.keysWindow = window;
  service.keys.assign(keys.begin(), keys.end());
  return true;
}

void ContextMenuOpen(ObjectId window, std::int32_t x, std::int32_t y,
                     std::span<const MenuEntry> entries) {
  const QtWindowRecord* record = service.windows.Find(window);
  if (!record) return;
  // A pop-up window of its own: the event translator leaves its keys and
  // clicks to it.
  auto* menu = new QMenu(record->handle);
  menu->setAttribute(Qt::WA_DeleteOnClose);
  for (const MenuEntry& entry : entries) {
    if (entry.command == 0) {
      menu->addSeparator();
      continue;
    }
    QAction* action = menu->addAction(QtText(entry.text));
    action->setEnabled(entry.enabled);
    const std::int32_t command = entry.command;
    QObject::connect(action, &QAction::triggered, [window, command] {
      service.queue.push_back({kEventCommand, window, 0, 0, 0, command});
    });
  }
  menu->popup(record->handle->mapToGlobal(QPoint(x, y)));
}

namespace {

// The cursor in the client coordinates of `window`, or nothing outside it.
std::optional<QPoint> QtCursorIn(ObjectId window) {
  const QtWindowRecord* record = service.windows.Find(window);
  if (!record) return std::nullopt;
  if (!service.cursor) service.cursor = QCursor::pos();
  const QPoint at = record->handle->mapFromGlobal(*service.cursor);
  if (at.x() < 0 || at.y() < 0) return std::nullopt;
  if (at.x() > record->handle->width() || at.y() > record->handle->height()) return std::nullopt;
  return at;
}

}  // namespace

std::int32_t MousePosX(ObjectId window) {
  const std::optional<QPoint> at = QtCursorIn(window);
  return at ? at->x() : -1;
}

std::int32_t MousePosY(ObjectId window) {
  const std::optional<QPoint> at = QtCursorIn(window);
  return at ? at->y() : -1;
}

bool ClipboardSetText(std::string_view text) {
  if (!QtAppRunning()) return false;
  QGuiApplication::clipboard()->setText(
      QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
  return true;
}

std::optional<std::string> ClipboardText() {
  if (!QtAppRunning()) return std::nullopt;
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  if (!data || !data->hasText()) return std::nullopt;
  return data->text().toStdString();
}
