// Tonkelwerk in a web page: the program of app/ on the web backend, plus
// share links. The address's fragment sets the knobs and the noise seed at
// start; Ctrl+C copies a link to the sound, Ctrl+V (or a new fragment)
// accepts a link or a settings line, through the app's own settings text
// functions, so the page keeps the desktop's seed rule; a fragment that is
// no sound is told as a bad paste is.
// Depends on: the app library and the page's share requests
// (app/web/web_share.h).
#include "app/app.h"
#include "app/web/web_share.h"

int main() {
  // The page opens with every knob at 0 unless its address holds a sound.
  if (AppStart()) {
    WebShareFragmentOpen();
    while (AppLoopPass()) WebShareRequestsHandle();
  }
  return AppEnd();
}
