// Tonkelwerk in a web page: the program of app/ on the web backend, plus
// share links. The address's fragment sets the knobs and the noise seed at
// start; Ctrl+C copies a link to the sound, Ctrl+V (or a new fragment)
// accepts a link or a settings line.
// Depends on: the app library, the web backend's share requests
// (platform/web/web_shared.h) and the render layer's shared generator.
#include <string>

#include "app/app.h"
#include "app/app_state.h"
#include "platform/dialogs/dialogs.h"
#include "platform/web/web_shared.h"
#include "sound/render_wave.h"
#include "app/share_link.h"

namespace {

constexpr int kShareCopy = 1;
constexpr int kSharePaste = 2;
constexpr int kShareOpen = 3;  // the address's fragment changed
constexpr int kShareTextSize = 4096;

KnobAngles KnobsNow() {
  const auto knobs = AppKnobs();
  const auto value = [](KnobControl* knob) { return knob->methods->GetValue(knob); };
  return {value(knobs[0]), value(knobs[1]), value(knobs[2]),
          value(knobs[3]), value(knobs[4]), value(knobs[5])};
}

void ApplySettings(const SoundSettings& settings) {
  const KnobAngles& k = settings.knobs;
  const std::int32_t angles[] = {k.start, k.end, k.freq, k.rustle, k.cutter, k.len};
  const auto knobs = AppKnobs();
  for (std::size_t i = 0; i < knobs.size(); ++i) knobs[i]->methods->SetValue(knobs[i], angles[i]);
  if (settings.seed) NoiseSeed(*settings.seed);
}

// A link must sound the same wherever it is opened: the copy starts the
// generator here on a fresh seed too, so the next sound made on this page
// and the first one made from the link are the same.
void CopyLink() {
  const auto seed = static_cast<std::uint32_t>(RandomUpTo(0xFFFF)) << 16 |
                    static_cast<std::uint32_t>(RandomUpTo(0xFFFF));
  NoiseSeed(seed);
  tw_share_copy(ShareFragment(KnobsNow(), seed).c_str());
}

void Paste(const std::string& text) {
  const SettingsLineResult read = ShareTextRead(text);
  if (read.error.empty()) {
    ApplySettings(read.settings);
    return;
  }
  MessageBoxShow("Attention", "This is no Tonkelwerk link or settings line: " + read.error,
                 kBoxWarning);
}

// A malformed fragment is passed over: the knobs stay as they are.
void Open(const std::string& fragment) {
  const SettingsLineResult read = ShareTextRead(fragment);
  if (read.error.empty()) ApplySettings(read.settings);
}

void HandleShareRequests() {
  std::string text(kShareTextSize, '\0');
  for (int kind; (kind = tw_share_next(text.data(), kShareTextSize)) != 0;) {
    if (kind == kShareCopy) CopyLink();
    if (kind == kSharePaste) Paste(text.c_str());
    if (kind == kShareOpen) Open(text.c_str());
  }
}

// The page opens with every knob at 0 unless its address holds a sound.
void OpenFragment() {
  std::string fragment(kShareTextSize, '\0');
  tw_share_fragment(fragment.data(), kShareTextSize);
  Open(fragment.c_str());
}

}  // namespace

int main() {
  if (AppStart()) {
    OpenFragment();
    while (AppLoopPass()) HandleShareRequests();
  }
  return AppEnd();
}
