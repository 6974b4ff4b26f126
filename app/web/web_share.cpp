// The page's share requests; see web_share.h. The program's loop and the
// command tests' page both answer them here.
#include "app/web/web_share.h"

#include <string>
#include <utility>

#include "app/app_commands.h"
#include "app/share_link.h"
#include "platform/web/web_shared.h"

using tonkelwerk::SoundSettings;

namespace {

constexpr int kShareCopy = 1;
constexpr int kSharePaste = 2;
constexpr int kShareOpen = 3;  // the address's fragment changed

// The address's fragment at start when it is no sound: told once the
// window shows, so that the box stands over it.
std::string badStartFragment;

// The text of the request that tw_share_next handed out.
std::string RequestText() {
  std::string text(static_cast<std::size_t>(tw_share_text_size()), '\0');
  tw_share_text(text.data(), static_cast<int>(text.size()) + 1);
  return text;
}

// An address without a fragment is the empty page; any other fragment that
// is no sound is told as a bad paste is, and changes nothing.
void OpenFragment(const std::string& fragment) {
  if (!fragment.empty()) PasteSettings(fragment);
}

void CopyLink() {
  const SoundSettings settings = SettingsToCopy();
  tw_share_copy(ShareFragment(settings.knobs, settings.seed).c_str());
}

}  // namespace

void WebShareRequestsHandle() {
  if (!badStartFragment.empty()) OpenFragment(std::exchange(badStartFragment, {}));
  for (int kind; (kind = tw_share_next()) != 0;) {
    if (kind == kShareCopy) CopyLink();
    if (kind == kSharePaste) PasteSettings(RequestText());
    if (kind == kShareOpen) OpenFragment(RequestText());
  }
}

void WebShareFragmentOpen() {
  tw_share_fragment();
  const std::string fragment = RequestText();
  if (!fragment.empty() && !OpenSettings(fragment).empty()) badStartFragment = fragment;
}
