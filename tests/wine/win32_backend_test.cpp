// The win32 backend's services called directly, under Wine with a display:
// the window and its events, the embedded screen, drawing and fonts, sound
// from WAVE images, the modal box, the save dialog and the working
// directory. What User32 shows is read back through User32 itself.
#include <windows.h>
// The headers below need windows.h first.
#include <commdlg.h>
#include <ddraw.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "platform/audio/audio.h"
#include "platform/core/wide_text_win32.h"
#include "platform/dialogs/dialogs.h"
#include "platform/screen/screen.h"
#include "platform/win32/win32_shared.h"
#include "platform/window/window.h"
#include "sound/sound_engine.h"

using tonkelwerk::NoiseSource;
using tonkelwerk::ParamsFromKnobs;
using tonkelwerk::SynthParams;
using tonkelwerk::WaveImageSize;
using tonkelwerk::WaveImageWrite;

namespace {

constexpr std::uint32_t kAppFlags = 0xCA0001;

HWND Native(ObjectId window) {
  return reinterpret_cast<HWND>(WindowNativeHandle(window));
}

// Polls until nothing waits; returns the codes seen.
std::vector<std::int32_t> DrainEvents() {
  std::vector<std::int32_t> codes;
  for (std::int32_t code; (code = EventPoll()) != kEventNone;) codes.push_back(code);
  return codes;
}

int CountOf(const std::vector<std::int32_t>& codes, std::int32_t code) {
  return static_cast<int>(std::count(codes.begin(), codes.end(), code));
}

// Runs `act` on a top-level window titled `title` of this process as soon as
// it shows, from a second thread, while the calling thread sits in a modal
// loop.
class ModalHelper {
 public:
  template <typename Act>
  ModalHelper(const char* title, Act act)
      : thread_([this, title, act] {
          for (int tries = 0; tries < 200 && !done_; ++tries) {
            if (HWND window = FindWindowA(nullptr, title); window && IsWindowVisible(window)) {
              Sleep(100);  // let the box or dialog finish setting itself up
              act(window);
              done_ = true;
              return;
            }
            Sleep(50);
          }
        }) {}
  ~ModalHelper() { thread_.join(); }
  bool Done() const { return done_; }

 private:
  std::atomic<bool> done_{false};
  std::thread thread_;
};

class Win32Window : public ::testing::Test {
 protected:
  void SetUp() override {
    WindowServiceStartup();
    window_ = MainWindowOpen(kNewObject, kWindowNoPosition, kWindowNoPosition, 640, 155,
                             "Backend test", kAppFlags);
    ASSERT_NE(window_, 0);
    ButtonParentSet(WindowNativeHandle(window_));
    for (const char* text : {"Preview", "Save wave", "Reset all", "Informations"})  // in tab order
      buttons_.push_back(
          ButtonAdd(kNewObject, 550, 10 + 30 * static_cast<int>(buttons_.size()), 80, 25, text));
    SetForegroundWindow(Native(window_));
    first_ = DrainEvents();
  }
  void TearDown() override { WindowServiceShutdown(); }

  HWND ButtonHandle(int i) const {
    static const char* const kTexts[] = {"Preview", "Save wave", "Reset all", "Informations"};
    return FindWindowExA(Native(window_), nullptr, "Button", kTexts[i]);
  }

  ObjectId window_ = 0;
  std::vector<ObjectId> buttons_;
  std::vector<std::int32_t> first_;
};

TEST_F(Win32Window, OpensCentredWithTheClientSizeAndStyleAsked) {
  HWND handle = Native(window_);
  RECT client;
  GetClientRect(handle, &client);
  EXPECT_EQ(client.right, 640);
  EXPECT_EQ(client.bottom, 155);
  const LONG style = GetWindowLongA(handle, GWL_STYLE);
  EXPECT_EQ(style & 0x00CF0000, 0x00CA0000) << "caption, system menu, minimise box only";
  EXPECT_TRUE(IsWindowVisible(handle));
  RECT outer;
  GetWindowRect(handle, &outer);
  EXPECT_EQ(outer.left, (GetSystemMetrics(SM_CXSCREEN) - (outer.right - outer.left)) / 2);
  EXPECT_EQ(outer.top, (GetSystemMetrics(SM_CYSCREEN) - (outer.bottom - outer.top)) / 2);
  char className[64] = "";
  GetClassNameA(handle, className, sizeof className);
  EXPECT_EQ(std::string(className), "WindowClass_" + std::to_string(window_));
}

// The width of `icon`'s picture, 0 without an icon.
LONG IconWidth(HICON icon) {
  ICONINFO info{};
  if (!icon || !GetIconInfo(icon, &info)) return 0;
  BITMAP picture{};
  GetObjectA(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof picture, &picture);
  if (info.hbmColor) DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  return picture.bmWidth;
}

// Caption and taskbar show the small picture at the system's size, not the
// large one shrunk; Alt+Tab the large one.
TEST_F(Win32Window, CarriesTheProgramIconAtTheSmallAndLargeSizes) {
  HWND handle = Native(window_);
  const auto icon = [handle](WPARAM kind) {
    return IconWidth(reinterpret_cast<HICON>(SendMessageA(handle, WM_GETICON, kind, 0)));
  };
  EXPECT_EQ(icon(ICON_SMALL), GetSystemMetrics(SM_CXSMICON));
  EXPECT_EQ(icon(ICON_BIG), GetSystemMetrics(SM_CXICON));
}

TEST_F(Win32Window, ShowingQueuesItsActivationBeforeTheFirstEmptyPoll) {
  EXPECT_EQ(CountOf(first_, 13104), 1);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(EventPoll(), kEventNone);
}

TEST_F(Win32Window, HiddenFlagOpensAnInvisibleWindowWithACaption) {
  const ObjectId hidden = MainWindowOpen(kNewObject, 10, 10, 100, 50, "", 0x10000000);
  ASSERT_NE(hidden, 0);
  EXPECT_FALSE(IsWindowVisible(Native(hidden)));
  EXPECT_EQ(GetWindowLongA(Native(hidden), GWL_STYLE) & WS_CAPTION, WS_CAPTION);
}

TEST_F(Win32Window, ClickedButtonArrivesAs13100NamingItsButton) {
  PostMessageA(ButtonHandle(1), BM_CLICK, 0, 0);
  const std::vector<std::int32_t> codes = DrainEvents();
  EXPECT_EQ(CountOf(codes, kEventButtonClicked), 1);
  EXPECT_EQ(CountOf(codes, kEventLeftUp), 0);
  EXPECT_EQ(EventButtonHandle(), buttons_[1]);
}

TEST_F(Win32Window, CloseRequestIsReportedAndTheWindowStaysOpen) {
  PostMessageA(Native(window_), WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_GE(CountOf(DrainEvents(), kEventClose), 1);
  EXPECT_TRUE(IsWindow(Native(window_)));
  EXPECT_TRUE(IsWindowVisible(Native(window_)));
}

TEST_F(Win32Window, LikeEventsInARowAreMergedAndMinimisingQueuesNoSize) {
  HWND handle = Native(window_);
  for (int x : {10, 20, 30})
    SetWindowPos(handle, nullptr, x, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_EQ(CountOf(DrainEvents(), 3), 1);
  ShowWindow(handle, SW_MINIMIZE);
  EXPECT_EQ(CountOf(DrainEvents(), 5), 0);
  ShowWindow(handle, SW_RESTORE);
  EXPECT_EQ(CountOf(DrainEvents(), 5), 1);
}

TEST_F(Win32Window, MousePositionCountsTheRightAndBottomEdgesAsInside) {
  HWND handle = Native(window_);
  const auto moveTo = [&](LONG x, LONG y) {
    POINT point{x, y};
    ClientToScreen(handle, &point);
    SetCursorPos(point.x, point.y);
  };
  moveTo(640, 155);
  EXPECT_EQ(MousePosX(window_), 640);
  EXPECT_EQ(MousePosY(window_), 155);
  moveTo(641, 20);
  EXPECT_EQ(MousePosX(window_), -1);
  EXPECT_EQ(MousePosY(window_), -1);
  moveTo(100, -1);
  EXPECT_EQ(MousePosX(window_), -1);
  moveTo(0, 0);
  EXPECT_EQ(MousePosX(window_), 0);
  EXPECT_EQ(MousePosY(window_), 0);
  EXPECT_EQ(MousePosX(0), -1);
}

// The font a control draws its text in, as its description.
LOGFONTA ControlFont(HWND control) {
  LOGFONTA description{};
  GetObjectA(reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)), sizeof description,
             &description);
  return description;
}

// On a monitor of 200 % and back: the buttons take their doubled places and
// a font twice as tall, the cursor is still told in the program's pixels.
TEST_F(Win32Window, RescalesWhenMovedToAMonitorOfAnotherScale) {
  HWND handle = Native(window_);
  HWND preview = ButtonHandle(0);
  const auto placeOf = [&] {
    RECT place;
    GetWindowRect(preview, &place);
    MapWindowPoints(nullptr, handle, reinterpret_cast<POINT*>(&place), 2);
    return std::vector<LONG>{place.left, place.top, place.right, place.bottom};
  };
  const LONG fontHeight = ControlFont(preview).lfHeight;
  RECT outer;
  GetWindowRect(handle, &outer);
  RECT doubled{outer.left, outer.top, outer.left + 2 * (outer.right - outer.left),
               outer.top + 2 * (outer.bottom - outer.top)};
  SendMessageA(handle, WM_DPICHANGED, MAKEWPARAM(192, 192), reinterpret_cast<LPARAM>(&doubled));
  EXPECT_EQ(placeOf(), (std::vector<LONG>{1100, 20, 1260, 70}));
  EXPECT_EQ(ControlFont(preview).lfHeight, 2 * fontHeight);
  POINT cursor{201, 101};
  ClientToScreen(handle, &cursor);
  SetCursorPos(cursor.x, cursor.y);
  EXPECT_EQ(MousePosX(window_), 100);
  EXPECT_EQ(MousePosY(window_), 50);
  SendMessageA(handle, WM_DPICHANGED, MAKEWPARAM(96, 96), reinterpret_cast<LPARAM>(&outer));
  EXPECT_EQ(placeOf(), (std::vector<LONG>{550, 10, 630, 35}));
  EXPECT_EQ(ControlFont(preview).lfHeight, fontHeight);
}

// Presses `vk` with `modifier` held (0: none), as the keyboard would, and
// returns the events that this made.
std::vector<std::int32_t> PressKey(WORD modifier, WORD vk) {
  std::vector<INPUT> keys;
  const auto key = [&](WORD code, DWORD flags) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = code;
    input.ki.dwFlags = flags;
    keys.push_back(input);
  };
  if (modifier) key(modifier, 0);
  key(vk, 0);
  key(vk, KEYEVENTF_KEYUP);
  if (modifier) key(modifier, KEYEVENTF_KEYUP);
  SendInput(static_cast<UINT>(keys.size()), keys.data(), sizeof(INPUT));
  Sleep(100);
  return DrainEvents();
}

void PressTab(bool shift) {
  PressKey(shift ? VK_SHIFT : 0, VK_TAB);
}

TEST_F(Win32Window, TabAndShiftTabCycleTheFocusThroughTheButtons) {
  SetFocus(ButtonHandle(0));
  for (int expected : {1, 2, 3, 0}) {
    PressTab(false);
    EXPECT_EQ(GetFocus(), ButtonHandle(expected)) << "Tab to button " << expected;
  }
  for (int expected : {3, 2}) {
    PressTab(true);
    EXPECT_EQ(GetFocus(), ButtonHandle(expected)) << "Shift+Tab to button " << expected;
  }
}

TEST_F(Win32Window, CtrlCAndCtrlVArriveAsCopyAndPaste) {
  SetFocus(ButtonHandle(0));
  EXPECT_EQ(CountOf(PressKey(VK_CONTROL, 'C'), kEventCopy), 1);
  EXPECT_EQ(CountOf(PressKey(VK_CONTROL, 'V'), kEventPaste), 1);
  EXPECT_EQ(CountOf(PressKey(0, 'C'), kEventCopy), 0) << "C alone copies nothing";
}

TEST_F(Win32Window, ClipboardTextIsUnicodeOutsideAndUtf8Inside) {
  const std::string text = "t\xC3\xB6n: freq=1 len=1 \xE2\x80\x93 seed=7";
  ASSERT_TRUE(ClipboardSetText(text));
  EXPECT_EQ(ClipboardText(), text);
  // What other programs read: the same text as UTF-16.
  ASSERT_TRUE(OpenClipboard(nullptr));
  HANDLE data = GetClipboardData(CF_UNICODETEXT);
  const auto* wide = data ? static_cast<const wchar_t*>(GlobalLock(data)) : nullptr;
  const std::wstring seen = wide ? wide : L"(none)";
  if (wide) GlobalUnlock(data);
  CloseClipboard();
  EXPECT_TRUE(seen == L"t\u00F6n: freq=1 len=1 \u2013 seed=7");
}

// --- the embedded screen and drawing ---------------------------------------

class Win32Screen : public Win32Window {
 protected:
  void SetUp() override {
    Win32Window::SetUp();
    ASSERT_NE(ScreenInit(), 0);
    ASSERT_NE(ScreenOpenEmbedded(WindowNativeHandle(window_), 0, 0, 540, 145, 0, 0, 0), 0);
  }
  void TearDown() override {
    ScreenShutdown();
    Win32Window::TearDown();
  }

  // The colour of one pixel of an image, 0x00BBGGRR.
  static COLORREF PixelOf(ImageHandle image, int x, int y) {
    IDirectDrawSurface7* surface = Win32ImageSurface(image);
    HDC context = nullptr;
    if (!surface || surface->GetDC(&context) != DD_OK) return CLR_INVALID;
    const COLORREF colour = GetPixel(context, x, y);
    surface->ReleaseDC(context);
    return colour;
  }
};

TEST_F(Win32Screen, NewImageIsBlackAndReleasedImagesAreGone) {
  const ImageHandle image = SpriteNew(kNewObject, 70, 90);
  ASSERT_NE(image, 0);
  EXPECT_EQ(PixelOf(image, 0, 0), 0u);
  EXPECT_EQ(PixelOf(image, 69, 89), 0u);
  SpriteRelease(image);
  EXPECT_EQ(Win32ImageSurface(image), nullptr);
  EXPECT_EQ(DrawingBegin(image), 0);
}

TEST_F(Win32Screen, ShapesAndTextLandWhereAsked) {
  const ImageHandle image = SpriteNew(kNewObject, 70, 90);
  ASSERT_NE(DrawingBegin(image), 0);
  DrawingRectangle(0, 0, 70, 90, 0xFFFFFF);
  DrawingCircle(20, 30, 1, 0x0000FF);          // radius 1: the 2 x 2 square from the centre
  DrawingRectangle(5, 5, 1, 1, 0x00FF00);      // 1 x 1: one pixel
  DrawingRectangle(40, 40, 10, 10, 0xFF0000);  // right and bottom edges excluded
  EXPECT_EQ(DrawingTextWidth(""), 0);
  EXPECT_EQ(DrawingText(7, 60, "", 0, 0xFFFFFF), 7);
  DrawingSelectFont(kSystemFont);
  const std::int32_t width = DrawingTextWidth("Freq:0");
  EXPECT_GT(width, 0);
  EXPECT_EQ(DrawingText(3, 70, "Freq:0", 0, 0xFFFFFF), 3 + width);
  DrawingEnd();
  for (auto [x, y] : {std::pair{20, 30}, {21, 30}, {20, 31}, {21, 31}})
    EXPECT_EQ(PixelOf(image, x, y), 0x0000FFu) << x << "," << y;
  EXPECT_EQ(PixelOf(image, 19, 30), 0xFFFFFFu);
  EXPECT_EQ(PixelOf(image, 22, 32), 0xFFFFFFu);
  EXPECT_EQ(PixelOf(image, 5, 5), 0x00FF00u);
  EXPECT_EQ(PixelOf(image, 49, 49), 0xFF0000u);
  EXPECT_EQ(PixelOf(image, 50, 49), 0xFFFFFFu);
  EXPECT_EQ(PixelOf(image, 49, 50), 0xFFFFFFu);
}

TEST_F(Win32Screen, BeginningASecondDrawingFailsAndEndsTheFirst) {
  const ImageHandle first = SpriteNew(kNewObject, 10, 10);
  const ImageHandle second = SpriteNew(kNewObject, 10, 10);
  ASSERT_NE(DrawingBegin(first), 0);
  EXPECT_EQ(DrawingBegin(second), 0);
  EXPECT_EQ(DrawingTextWidth("no drawing is open"), 0);
  EXPECT_NE(DrawingBegin(second), 0);
  DrawingEnd();
}

TEST_F(Win32Screen, PresentsArePacedToOnePer61stOfASecond) {
  LARGE_INTEGER frequency;
  LARGE_INTEGER before;
  LARGE_INTEGER after;
  QueryPerformanceFrequency(&frequency);
  ScreenFlip();
  QueryPerformanceCounter(&before);
  // Each present comes a whole interval after the previous one; the time
  // measured here starts a little after the first present, so three more
  // take more than two intervals.
  for (int i = 0; i < 3; ++i) ScreenFlip();
  QueryPerformanceCounter(&after);
  EXPECT_GT(after.QuadPart - before.QuadPart, 2 * frequency.QuadPart / 61);
}

TEST_F(Win32Screen, OpeningAgainClosesTheFirstScreenWithItsImages) {
  const ImageHandle image = SpriteNew(kNewObject, 10, 10);
  ASSERT_NE(ScreenOpenEmbedded(WindowNativeHandle(window_), 0, 0, 540, 145, 0, 0, 0), 0);
  EXPECT_EQ(Win32ImageSurface(image), nullptr);
  EXPECT_EQ(ScreenOpenEmbedded(0, 0, 0, 540, 145, 0, 0, 0), 0);
}

// --- sound --------------------------------------------------------------------

class Win32Sound : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(SoundInit(), 0) << "no sound device: the test's asoundrc names one";
    const SynthParams params = ParamsFromKnobs({.freq = 120, .len = 10});
    size_ = WaveImageSize(params.lengthMs);
    image_.assign(static_cast<std::size_t>(size_), 0);
    NoiseSource noise(1);
    WaveImageWrite(image_.data(), params, noise);
  }
  void TearDown() override { SoundShutdown(); }

  std::vector<std::uint8_t> image_;
  std::int32_t size_ = 0;
};

TEST_F(Win32Sound, WaveImageBecomesASoundThatStarts) {
  const ObjectId sound = SoundFromImage(image_.data(), size_);
  ASSERT_NE(sound, 0);
  EXPECT_EQ(SoundStart(sound), 1);
  SoundSetVolume(sound, 150);
  EXPECT_EQ(SoundStart(sound), 1) << "a playing sound restarts";
  SoundRelease(sound);
  EXPECT_EQ(SoundStart(sound), 0) << "a released handle names nothing";
}

TEST_F(Win32Sound, MalformedImagesAndHandleZeroMakeNothing) {
  EXPECT_EQ(SoundStart(0), 0);
  SoundSetVolume(0, 100);
  SoundRelease(0);
  EXPECT_EQ(SoundFromImage(nullptr, size_), 0);
  std::vector<std::uint8_t> broken = image_;
  std::memcpy(broken.data(), "RIFX", 4);
  EXPECT_EQ(SoundFromImage(broken.data(), size_), 0);
  broken = image_;
  std::memcpy(broken.data() + 12, "fmt_", 4);
  EXPECT_EQ(SoundFromImage(broken.data(), size_), 0);
  broken = image_;
  std::memcpy(broken.data() + 36, "date", 4);  // no "data" chunk within the image
  EXPECT_EQ(SoundFromImage(broken.data(), size_), 0);
}

// --- dialogs, working directory, fonts ------------------------------------------

TEST_F(Win32Window, MessageBoxBlocksTheProgramsWindowsUntilOk) {
  const ObjectId other = MainWindowOpen(kNewObject, 0, 0, 100, 50, "Second", 0);
  SetForegroundWindow(Native(window_));
  std::atomic<bool> mainEnabled{true};
  std::atomic<bool> otherEnabled{true};
  std::int32_t answer = 0;
  {
    ModalHelper helper("Box", [&](HWND box) {
      mainEnabled = IsWindowEnabled(Native(window_));
      otherEnabled = IsWindowEnabled(Native(other));
      PostMessageA(box, WM_COMMAND, IDOK, 0);
    });
    answer = MessageBoxShow("Box", "Text", kBoxWarning);
  }
  EXPECT_EQ(answer, IDOK);
  EXPECT_FALSE(mainEnabled);
  EXPECT_FALSE(otherEnabled);
  EXPECT_TRUE(IsWindowEnabled(Native(window_)));
  EXPECT_TRUE(IsWindowEnabled(Native(other)));
}

// What the save dialog showed when it opened, and its answer.
struct DialogSeen {
  std::string folder;
  std::string name;
  std::string result;
};

// Runs the save dialog and answers it with `typed` (UTF-8; empty: Cancel).
// The dialog is a wide-character one: its messages carry UTF-16.
DialogSeen RunSaveDialog(const char* initialPath, const std::string& typed) {
  DialogSeen seen;
  ModalHelper helper("Saving wave...", [&](HWND dialog) {
    wchar_t text[MAX_PATH] = L"";
    SendMessageW(dialog, CDM_GETFOLDERPATH, MAX_PATH, reinterpret_cast<LPARAM>(text));
    seen.folder = Utf8FromWide(text);
    text[0] = L'\0';
    SendMessageW(dialog, CDM_GETSPEC, MAX_PATH, reinterpret_cast<LPARAM>(text));
    seen.name = Utf8FromWide(text);
    if (typed.empty()) {
      PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    } else {
      const std::wstring wide = WideFromUtf8(typed);
      SendMessageW(dialog, CDM_SETCONTROLTEXT, cmb13, reinterpret_cast<LPARAM>(wide.c_str()));
      SendMessageW(dialog, CDM_SETCONTROLTEXT, edt1, reinterpret_cast<LPARAM>(wide.c_str()));
      PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    }
  });
  seen.result = SaveDialogRun("Saving wave...", initialPath, "WAVE (*.wav)|*.wav", 0);
  return seen;
}

TEST(Win32Dialogs, SaveDialogSplitsTheInitialPathAndReturnsTheChoice) {
  SetCurrentDirectoryA("C:\\windows");
  const DialogSeen folder = RunSaveDialog("C:\\windows\\system32\\", "C:\\windows\\boom");
  EXPECT_EQ(folder.folder, "C:\\windows\\system32");
  EXPECT_EQ(folder.name, "");
  EXPECT_EQ(folder.result, "C:\\windows\\boom") << "no extension is added";
  char current[MAX_PATH];
  GetCurrentDirectoryA(MAX_PATH, current);
  EXPECT_STREQ(current, "C:\\windows") << "the current directory stays";

  EXPECT_EQ(RunSaveDialog("boom.wav", "").name, "boom.wav");
  EXPECT_EQ(RunSaveDialog("\\boom.wav", "").name, "") << "a backslash in the name drops it";
  EXPECT_EQ(RunSaveDialog("C:\\windows\\a|b", "").name, "");
  EXPECT_EQ(RunSaveDialog("C:\\windows\\x.wav", "").result, "") << "cancelled";
}

TEST(Win32Dialogs, WorkingDirectoryEndsInOneBackslash) {
  ASSERT_TRUE(SetCurrentDirectoryA("C:\\windows"));
  EXPECT_EQ(WorkingDirectory(), "C:\\windows\\");
  ASSERT_TRUE(SetCurrentDirectoryA("C:\\"));
  EXPECT_EQ(WorkingDirectory(), "C:\\");
}

// Names outside the ANSI code page come through the dialog and the current
// directory as UTF-8.
TEST(Win32Dialogs, GreekAndEmojiNamesComeThroughWhole) {
  const std::string folder = "C:\\windows\\temp\\ήχος";
  CreateDirectoryW(WideFromUtf8(folder).c_str(), nullptr);
  ASSERT_TRUE(SetCurrentDirectoryW(WideFromUtf8(folder).c_str()));
  EXPECT_EQ(WorkingDirectory(), folder + "\\");
  const DialogSeen seen = RunSaveDialog((folder + "\\").c_str(), folder + "\\boom🔊.wav");
  EXPECT_EQ(seen.folder, folder);
  EXPECT_EQ(seen.result, folder + "\\boom🔊.wav");
  SetCurrentDirectoryA("C:\\");
  RemoveDirectoryW(WideFromUtf8(folder).c_str());
}

// In the program's pixels at 96 DPI at any display scale: images of a larger
// scale enlarge the font with the drawing.
TEST(Win32ScreenFonts, FontHeightIsMinusThePointSizeAt96Dpi) {
  const ObjectId font = FontLoad(kNewObject, "Arial", 8);
  ASSERT_NE(font, 0);
  LOGFONTA description{};
  ASSERT_NE(GetObjectA(reinterpret_cast<HFONT>(FontHandle(font)), sizeof description, &description),
            0);
  EXPECT_EQ(description.lfHeight, -11);
  EXPECT_STREQ(description.lfFaceName, "Arial");
  FontsShutdown();
  EXPECT_EQ(FontHandle(font), 0);
}

}  // namespace
