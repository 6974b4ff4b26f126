// Fuzz target: pasted or opened text (a link, a fragment or a settings line).
// Any bytes must be read without a fault; a text that is a sound gives a
// fragment that reads back to the same knobs and seed, alone, after '#' and
// in a whole link, and its settings line reads back with the name too.
// Leaves out: what the page does with the sound.
// Depends on: the share links and the engine's settings lines.
#include "app/share_link.h"
#include "fuzz/fuzz_check.h"

using tonkelwerk::SettingsLineResult;
using tonkelwerk::SettingsLineText;
using tonkelwerk::SoundSettings;

namespace {

void CheckSameSound(const SettingsLineResult& read, const SoundSettings& sound) {
  FuzzCheck(read.error.empty(), "a share fragment or line of a sound is refused");
  FuzzCheck(read.settings.knobs == sound.knobs && read.settings.seed == sound.seed,
            "a share fragment or line reads back to another sound");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const SettingsLineResult read = ShareTextRead(FuzzText(data, size));
  if (!read.error.empty()) return 0;
  const SoundSettings& sound = read.settings;
  CheckKnobsInRange(sound.knobs);
  // A fragment carries no name.
  const std::string fragment = ShareFragment(sound.knobs, sound.seed);
  CheckSameSound(ShareTextRead(fragment), sound);
  CheckSameSound(ShareTextRead("#" + fragment), sound);
  CheckSameSound(ShareTextRead("https://example.org/tonkelwerk/#" + fragment + "\r\n"), sound);
  const SettingsLineResult line = ShareTextRead(SettingsLineText(sound));
  CheckSameSound(line, sound);
  FuzzCheck(line.settings.name == sound.name, "a pasted settings line loses its name");
  return 0;
}
