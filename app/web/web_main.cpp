// Tonkelwerk in a web page: the program of app/ on the web backend, plus
// share links. The address's fragment sets the knobs and the noise seed at
// start; Ctrl+C copies a link to the sound, Ctrl+V (or a new fragment)
// accepts a link or a settings line, through the app's own settings text
// functions, so the page keeps the desktop's seed rule; a fragment that is
// no sound is told as a bad paste is.
// The knobs have sliders for the keyboard and screen readers, and follow
// the screen's pixel ratio. While nothing moves, the loop waits for input
// instead of drawing the same frame again.
// Depends on: the app library, the page's share requests
// (app/web/web_share.h), its knobs (app/web/web_knobs.h) and the web
// backend's wait for input.
#include "app/app.h"
#include "app/web/web_knobs.h"
#include "app/web/web_share.h"
#include "platform/web/web_shared.h"

int main() {
  // The page opens with every knob at 0 unless its address holds a sound.
  if (AppStart()) {
    WebKnobSlidersOpen();
    WebShareFragmentOpen();
    while (AppLoopPass()) {
      WebShareRequestsHandle();
      WebKnobsHandle();
      WebInputWait();
    }
  }
  return AppEnd();
}
