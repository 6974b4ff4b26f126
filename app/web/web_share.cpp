// The page's share requests; see web_share.h. The program's loop and the
// command tests' page both answer them here.
#include "app/web/web_share.h"

#include <string>

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

}  // namespace

void WebShareRequestsHandle() {
  std::string text(kShareTextSize, '\0');
  for (int kind; (kind = tw_share_next(text.data(), kShareTextSize)) != 0;) {
    if (kind == kShareCopy) CopyLink();
    if (kind == kSharePaste) PasteSettings(text.c_str());
    // A malformed address is passed over: the knobs stay as they are.
    if (kind == kShareOpen) OpenSettings(text.c_str());
  }
}

void WebShareFragmentOpen() {
  std::string fragment(kShareTextSize, '\0');
  tw_share_fragment(fragment.data(), kShareTextSize);
  OpenSettings(fragment.c_str());
}
