// Tonkelwerk in a web page: the program of app/ on the web backend, plus
// share links. The address's fragment sets the knobs and the noise seed at
// start; Ctrl+C copies a link to the sound, Ctrl+V (or a new fragment)
// accepts a link or a settings line, through the app's own settings text
// functions, so the page keeps the desktop's seed rule.
// Depends on: the app library and the web backend's share requests
// (platform/web/web_shared.h).
#include <string>

#include "app/app.h"
#include "app/app_commands.h"
#include "app/share_link.h"
#include "platform/web/web_shared.h"

namespace {

constexpr int kShareCopy = 1;
constexpr int kSharePaste = 2;
constexpr int kShareOpen = 3;  // the address's fragment changed
constexpr int kShareTextSize = 4096;

void CopyLink() {
  const SoundSettings settings = SettingsToCopy();
  tw_share_copy(ShareFragment(settings.knobs, settings.seed).c_str());
}

void HandleShareRequests() {
  std::string text(kShareTextSize, '\0');
  for (int kind; (kind = tw_share_next(text.data(), kShareTextSize)) != 0;) {
    if (kind == kShareCopy) CopyLink();
    if (kind == kSharePaste) PasteSettings(text.c_str());
    // A malformed address is passed over: the knobs stay as they are.
    if (kind == kShareOpen) OpenSettings(text.c_str());
  }
}

// The page opens with every knob at 0 unless its address holds a sound.
void OpenFragment() {
  std::string fragment(kShareTextSize, '\0');
  tw_share_fragment(fragment.data(), kShareTextSize);
  OpenSettings(fragment.c_str());
}

}  // namespace

int main() {
  if (AppStart()) {
    OpenFragment();
    while (AppLoopPass()) HandleShareRequests();
  }
  return AppEnd();
}
