// The test hook of the win32 backend; see app_driver.h. Runs under Wine as
// well as on Windows.
//
// Implements: clicks as a posted BM_CLICK, which the button turns into the
// BN_CLICKED that a mouse click gives; Ctrl+C, Ctrl+V and the command keys
// through SendInput into the foreground main window, so that the window's
// accelerator table makes the copy, paste and other commands; wheel turns
// through SendInput with the cursor put on the window; the dialog answers through a thread
// timer whose procedure the modal loop of MessageBoxW and GetSaveFileNameW
// dispatches like any message: it looks for the thread's enabled, visible
// dialog (#32770), reads a box's title, text, icon and buttons and presses
// OK, or reads the save dialog's title, file types and folder, types the
// name and presses Save (or Cancel); knob pictures from the image's
// DirectDraw surface.
// Leaves out: windows of other threads and processes.
// Depends on: User32, the common dialogs' control numbers and messages,
// DirectDraw (surface locking), the win32 backend's shared part.
#include <windows.h>
// The headers below need windows.h first.
#include <commdlg.h>
#include <ddraw.h>
#include <dlgs.h>

#include <optional>
#include <vector>

#include "app/app_state.h"
#include "platform/core/wide_text_win32.h"
#include "platform/win32/win32_shared.h"
#include "platform/window/window.h"
#include "tests/app/app_driver.h"

namespace tonkelwerk_test {

const std::array<const char*, 3> kRequirementsShown = {"DirectX 7+", "Soundcard", "WindowsXP SP1+"};

namespace {

HWND MainWindow() {
  return reinterpret_cast<HWND>(WindowNativeHandle(appState.window));
}

std::string TextOf(HWND window) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  const int length = GetWindowTextW(window, text.data(), static_cast<int>(text.size()));
  return Utf8FromWide(std::wstring_view(text.data(), length > 0 ? length : 0));
}

std::string ClassOf(HWND window) {
  char name[64] = "";
  GetClassNameA(window, name, sizeof name);
  return name;
}

}  // namespace

void PressButton(std::string_view label) {
  HWND button = FindWindowExA(MainWindow(), nullptr, "Button", std::string(label).c_str());
  ASSERT_NE(button, nullptr) << "no button " << label;
  PostMessageA(button, BM_CLICK, 0, 0);
  RunUntilEvent(kEventButtonClicked);
}

namespace {

INPUT KeyInput(WORD code, bool up) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = code;
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  return input;
}

// Sends `inside` with the `modifiers` held around it into the foreground
// main window: keys go there, as they go to the window a user has clicked
// into.
void SendHolding(std::uint32_t modifiers, std::vector<INPUT> inside) {
  SetForegroundWindow(MainWindow());
  std::vector<WORD> held;
  if (modifiers & kKeyControl) held.push_back(VK_CONTROL);
  if (modifiers & kKeyShift) held.push_back(VK_SHIFT);
  std::vector<INPUT> inputs;
  for (WORD code : held) inputs.push_back(KeyInput(code, false));
  inputs.insert(inputs.end(), inside.begin(), inside.end());
  for (WORD code : held) inputs.push_back(KeyInput(code, true));
  ASSERT_EQ(SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)),
            inputs.size());
}

void SendKey(char key, std::uint32_t modifiers) {
  const auto code = static_cast<WORD>(key);
  SendHolding(modifiers, {KeyInput(code, false), KeyInput(code, true)});
}

}  // namespace

void PressCtrl(char key) {
  SendKey(key, kKeyControl);
  RunUntilEvent(key == 'C' ? kEventCopy : kEventPaste);
}

void PressKey(char key, std::uint32_t modifiers) {
  SendKey(key, modifiers);
  RunUntilEvent(kEventCommand);
}

void TurnWheel(int x, int y, int notches, bool shift) {
  POINT at{x, y};
  ClientToScreen(MainWindow(), &at);
  SetCursorPos(at.x, at.y);
  INPUT wheel{};
  wheel.type = INPUT_MOUSE;
  wheel.mi.dwFlags = MOUSEEVENTF_WHEEL;
  wheel.mi.mouseData = static_cast<DWORD>(notches * WHEEL_DELTA);
  SendHolding(shift ? kKeyShift : 0, {wheel});
  RunUntilEvent(kEventWheel);
}

std::vector<std::uint8_t> KnobPicture(const KnobControl* knob) {
  IDirectDrawSurface7* surface = Win32ImageSurface(knob->image);
  DDSURFACEDESC2 locked{};
  locked.dwSize = sizeof locked;
  if (!surface ||
      surface->Lock(nullptr, &locked, DDLOCK_WAIT | DDLOCK_READONLY, nullptr) != DD_OK) {
    ADD_FAILURE() << "the image of the knob at " << knob->x << " cannot be read";
    return {};
  }
  const std::size_t rowBytes = locked.dwWidth * (locked.ddpfPixelFormat.dwRGBBitCount / 8);
  std::vector<std::uint8_t> pixels;
  const auto* rows = static_cast<const std::uint8_t*>(locked.lpSurface);
  for (DWORD row = 0; row < locked.dwHeight; ++row)
    pixels.insert(pixels.end(), rows + row * locked.lPitch, rows + row * locked.lPitch + rowBytes);
  surface->Unlock(nullptr);
  return pixels;
}

struct DialogAnswers::Backend {
  UINT_PTR timer = 0;
  std::vector<ShownBox> boxes;
  std::vector<ShownSaveDialog> dialogs;
  bool answerSet = false;
  std::optional<std::string> typed;  // none: cancel
  // A dialog is answered on the second tick that finds it, when it has
  // finished setting itself up; and only once, since its answer is posted.
  HWND seen = nullptr;
  HWND answered = nullptr;
};

namespace {

DialogAnswers::Backend* answering = nullptr;

BOOL CALLBACK FindModal(HWND window, LPARAM found) {
  if (window == MainWindow() || !IsWindowVisible(window) || !IsWindowEnabled(window) ||
      ClassOf(window) != "#32770")
    return TRUE;
  *reinterpret_cast<HWND*>(found) = window;
  return FALSE;
}

BoxIcon IconOf(HICON icon) {
  if (!icon) return BoxIcon::kNone;
  if (icon == LoadIconA(nullptr, IDI_EXCLAMATION)) return BoxIcon::kWarning;
  if (icon == LoadIconA(nullptr, IDI_HAND)) return BoxIcon::kError;
  return BoxIcon::kOther;
}

struct BoxParts {
  std::string text;
  HICON icon = nullptr;
  int buttons = 0;
};

BOOL CALLBACK ReadBoxPart(HWND child, LPARAM parts) {
  auto& box = *reinterpret_cast<BoxParts*>(parts);
  const std::string kind = ClassOf(child);
  if (_stricmp(kind.c_str(), "Button") == 0 && IsWindowVisible(child)) ++box.buttons;
  if (_stricmp(kind.c_str(), "Static") != 0) return TRUE;
  if ((GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
    box.icon = reinterpret_cast<HICON>(SendMessageW(child, STM_GETICON, 0, 0));
  } else if (box.text.empty()) {
    box.text = TextOf(child);
  }
  return TRUE;
}

void Press(HWND dialog, int button) {
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, button)));
}

void AnswerSaveDialog(DialogAnswers::Backend& backend, HWND dialog) {
  ShownSaveDialog shown;
  shown.title = TextOf(dialog);
  HWND types = GetDlgItem(dialog, cmb1);
  const LRESULT count = SendMessageW(types, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    std::wstring entry(static_cast<std::size_t>(SendMessageW(types, CB_GETLBTEXTLEN, i, 0)) + 1,
                       L'\0');
    SendMessageW(types, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(entry.data()));
    shown.fileTypes.push_back(Utf8FromWide(entry.c_str()));
  }
  wchar_t folder[MAX_PATH] = L"";
  if (SendMessageW(dialog, CDM_GETFOLDERPATH, MAX_PATH, reinterpret_cast<LPARAM>(folder)) > 0)
    shown.folder = std::filesystem::path(folder);
  backend.dialogs.push_back(shown);
  if (!backend.answerSet) {
    ADD_FAILURE() << "unexpected save dialog";
    Press(dialog, IDCANCEL);
  } else if (!backend.typed) {
    Press(dialog, IDCANCEL);
  } else {
    // As a user types the whole path into the name field and presses Save.
    HWND name = GetDlgItem(dialog, edt1);
    if (!name) name = GetDlgItem(dialog, cmb13);
    if (!name) {
      ADD_FAILURE() << "the save dialog has no name field";
      Press(dialog, IDCANCEL);
      return;
    }
    SetWindowTextW(name, WideFromUtf8(*backend.typed).c_str());
    Press(dialog, IDOK);
  }
}

void Answer(DialogAnswers::Backend& backend) {
  HWND dialog = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindModal, reinterpret_cast<LPARAM>(&dialog));
  if (!dialog || dialog == backend.answered) return;
  if (dialog != backend.seen) {
    backend.seen = dialog;
    return;
  }
  backend.answered = dialog;
  if (GetDlgItem(dialog, cmb1)) {  // the list of file types
    AnswerSaveDialog(backend, dialog);
    return;
  }
  BoxParts parts;
  EnumChildWindows(dialog, ReadBoxPart, reinterpret_cast<LPARAM>(&parts));
  backend.boxes.push_back({TextOf(dialog), parts.text, IconOf(parts.icon), parts.buttons});
  Press(dialog, IDOK);
}

void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
  if (answering) Answer(*answering);
}

}  // namespace

DialogAnswers::DialogAnswers() : backend_(std::make_unique<Backend>()) {
  answering = backend_.get();
  backend_->timer = SetTimer(nullptr, 0, 20, Tick);
}

DialogAnswers::~DialogAnswers() {
  KillTimer(nullptr, backend_->timer);
  answering = nullptr;
}

void DialogAnswers::TypeInSaveDialog(const std::string& typed) {
  backend_->answerSet = true;
  backend_->typed = typed;
}

void DialogAnswers::CancelSaveDialog() {
  backend_->answerSet = true;
  backend_->typed.reset();
}

std::vector<ShownBox> DialogAnswers::Boxes() const {
  return backend_->boxes;
}

std::vector<ShownSaveDialog> DialogAnswers::SaveDialogs() const {
  return backend_->dialogs;
}

}  // namespace tonkelwerk_test
