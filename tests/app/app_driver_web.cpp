// The test hook of the web backend; see app_driver.h. Runs in a page of
// headless Chromium (tests/web/app_tests.py), the program's waits handed to
// the browser through ASYNCIFY as in the page itself.
//
// Implements: clicks through the page's HTML button's click(), which runs
// the listener a mouse click runs; command keys as the keydown event the
// browser fires at the focused element, and the wheel as a wheel event at the
// element under the cursor's place; Ctrl+C and Ctrl+V as the copy and paste
// ClipboardEvents the browser fires for them, answered by the page's share
// requests (app/web/web_share.h) as the page's loop answers them: a copy
// puts a link on the clipboard, a paste carries the clipboard's text, which
// is empty here since a page cannot write the clipboard outside a copy
// event; the dialog answers through a page timer, which runs while the
// program waits in an open <dialog>: it reads a box's title, text, icon
// class and buttons and presses OK, or reads the save dialog's title and
// type, types the name and presses Save (or Cancel); knob pictures from the
// canvas behind the image handle. A box's lines come back joined with CR LF,
// the program's own line break, which the page shows as a line break.
// Leaves out: a folder for the save dialog (it shows none: files go to the
// page's downloads folder and on to the browser).
// Depends on: Emscripten (EM_JS), tonkelwerk_web.js (TW), the
// page's share requests.
#include <emscripten.h>

#include <optional>

#include "app/app_state.h"
#include "app/web/web_share.h"
#include "platform/web/web_shared.h"
#include "platform/window/window.h"
#include "tests/app/app_driver.h"

namespace tonkelwerk_test {

const std::array<const char*, 3> kRequirementsShown = {"Web browser", "WebAssembly", "Web Audio"};

namespace {

// EM_JS rather than EM_ASM: its body may hold commas. Not formatted as
// C++: the formatter would split JavaScript operators.
// clang-format off

// Field `field` of record `index` of the answers' boxes (list 0) or save
// dialogs (list 1), written to `out` when it is not null; returns its length
// in bytes. Index -1 asks for the number of records.
EM_JS(int, tw_test_answer, (int list, int index, int field, char* out, int size), {
  var records = Module.twAnswers[list ? 'dialogs' : 'boxes'];
  var value = index < 0 ? String(records.length) : String(records[index][field]);
  if (out) stringToUTF8(value, out, size);
  return lengthBytesUTF8(value);
});

std::string AnswerField(int list, int index, int field) {
  std::string text(static_cast<std::size_t>(tw_test_answer(list, index, field, nullptr, 0)), '\0');
  tw_test_answer(list, index, field, text.data(), static_cast<int>(text.size()) + 1);
  return text;
}

int AnswerCount(int list) {
  return std::stoi(AnswerField(list, -1, 0));
}

EM_JS(int, tw_test_click, (const char* label), {
  var text = UTF8ToString(label);
  var buttons = Array.prototype.slice.call(document.querySelectorAll('.tw-window button'));
  var button = buttons.find(function(b) { return b.textContent === text; });
  if (!button) return 0;
  button.click();
  return 1;
});

EM_JS(void, tw_test_key, (int key, int control, int shift), {
  var target = document.activeElement || document.body;
  target.dispatchEvent(new KeyboardEvent('keydown', {key : String.fromCharCode(key), ctrlKey : !!control,
                                                     shiftKey : !!shift, bubbles : true, cancelable : true}));
});

// A wheel turn at (x, y) of the window's client area, in the pixels a
// Chromium notch scrolls.
EM_JS(int, tw_test_wheel, (int x, int y, int notches, int shift), {
  var canvas = document.querySelector('.tw-window canvas');
  var box = canvas.getBoundingClientRect();
  var clientX = box.left + (x + 0.5) * box.width * TW.ratio / canvas.width;
  var clientY = box.top + (y + 0.5) * box.height * TW.ratio / canvas.height;
  var target = document.elementFromPoint(clientX, clientY);
  if (!target) return 0;
  target.dispatchEvent(new WheelEvent('wheel', {clientX : clientX, clientY : clientY, deltaY : -100 * notches,
                                               shiftKey : !!shift, bubbles : true, cancelable : true}));
  return 1;
});

EM_JS(void, tw_test_clipboard_event, (int copy), {
  document.dispatchEvent(copy ? new ClipboardEvent('copy')
                              : new ClipboardEvent('paste', {clipboardData : new DataTransfer()}));
});

// The size in bytes of the pixels of image `image`, copied to `out` when it
// is not null; 0 for no image.
EM_JS(int, tw_test_pixels, (int image, std::uint8_t* out), {
  var object = TW.objects[image];
  if (!object) return 0;
  var canvas = object.canvas;
  var pixels = canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height).data;
  if (out) HEAPU8.set(pixels, out);
  return pixels.length;
});

// Boxes are [title, text, style, buttons]; save dialogs [title, type].
// `answer` is undefined until the test chose one, null for Cancel.
EM_JS(void, tw_test_answers_start, (), {
  var answers = {boxes : [], dialogs : [], unexpected : 0};
  answers.timer = setInterval(
      function() {
        var box = document.querySelector('dialog[open]');
        if (!box || box.twAnswered) return;
        box.twAnswered = true;
        var title = box.querySelector('.tw-box-title').textContent;
        var input = box.querySelector('.tw-save input');
        if (!input) {
          var text = box.querySelector('.tw-box-text');
          var style = text.className.split('tw-icon-')[1] || "";
          var buttons = box.querySelectorAll('.tw-box-buttons button').length;
          // No escapes: the text of an EM_JS body loses them.
          var lines = text.textContent.split(String.fromCharCode(10));
          answers.boxes.push([ title, lines.join(String.fromCharCode(13, 10)), style, buttons ]);
          box.querySelector('button[value=OK]').click();
          return;
        }
        var type = box.querySelector('.tw-save > div').textContent.replace('Save as type: ', "");
        answers.dialogs.push([ title, type ]);
        if (answers.answer === undefined) answers.unexpected++;
        if (typeof answers.answer === 'string') {
          // As a user types the name into the field and presses Save.
          input.value = answers.answer;
          box.querySelector('button[value=Save]').click();
        } else {
          box.querySelector('button[value=Cancel]').click();
        }
      },
      20);
  Module.twAnswers = answers;
});

// Stops answering; returns the number of save dialogs that came unasked.
EM_JS(int, tw_test_answers_stop, (), {
  clearInterval(Module.twAnswers.timer);
  return Module.twAnswers.unexpected;
});

// The save dialog's answer: `typed`, or Cancel for null.
EM_JS(void, tw_test_answer_set, (const char* typed),
      { Module.twAnswers.answer = typed ? UTF8ToString(typed) : null; });
// clang-format on

}  // namespace

void PressButton(std::string_view label) {
  ASSERT_TRUE(tw_test_click(std::string(label).c_str())) << "no button " << label;
  RunUntilEvent(kEventButtonClicked);
}

void PressCtrl(char key) {
  tw_test_clipboard_event(key == 'C');
  WebShareRequestsHandle();
  RunFrames(1);
}

void PressKey(char key, std::uint32_t modifiers) {
  tw_test_key(key, (modifiers & kKeyControl) != 0, (modifiers & kKeyShift) != 0);
  RunUntilEvent(kEventCommand);
}

void TurnWheel(int x, int y, int notches, bool shift) {
  ASSERT_TRUE(tw_test_wheel(x, y, notches, shift)) << "no element at " << x << ", " << y;
  RunUntilEvent(kEventWheel);
}

std::vector<std::uint8_t> KnobPicture(const KnobControl* knob) {
  const int image = WebImageFromHandle(knob->image);
  std::vector<std::uint8_t> pixels(static_cast<std::size_t>(tw_test_pixels(image, nullptr)));
  if (pixels.empty())
    ADD_FAILURE() << "the image of the knob at " << knob->x << " cannot be read";
  else
    tw_test_pixels(image, pixels.data());
  return pixels;
}

struct DialogAnswers::Backend {};

DialogAnswers::DialogAnswers() : backend_(std::make_unique<Backend>()) {
  tw_test_answers_start();
}

DialogAnswers::~DialogAnswers() {
  EXPECT_EQ(tw_test_answers_stop(), 0) << "unexpected save dialogs";
}

void DialogAnswers::TypeInSaveDialog(const std::string& typed) {
  tw_test_answer_set(typed.c_str());
}

void DialogAnswers::CancelSaveDialog() {
  tw_test_answer_set(nullptr);
}

std::vector<ShownBox> DialogAnswers::Boxes() const {
  std::vector<ShownBox> boxes;
  for (int i = 0, count = AnswerCount(0); i < count; ++i) {
    const std::string style = AnswerField(0, i, 2);
    const BoxIcon icon = style == "0"    ? BoxIcon::kNone
                         : style == "48" ? BoxIcon::kWarning
                         : style == "16" ? BoxIcon::kError
                                         : BoxIcon::kOther;
    boxes.push_back(
        {AnswerField(0, i, 0), AnswerField(0, i, 1), icon, std::stoi(AnswerField(0, i, 3))});
  }
  return boxes;
}

std::vector<ShownSaveDialog> DialogAnswers::SaveDialogs() const {
  std::vector<ShownSaveDialog> dialogs;
  for (int i = 0, count = AnswerCount(1); i < count; ++i)
    dialogs.push_back({AnswerField(1, i, 0), {AnswerField(1, i, 1)}, {}});
  return dialogs;
}

}  // namespace tonkelwerk_test
