// The one knob table: every reader of knob words, options and the sounding
// rule agrees with it, knob by knob.
#include <gtest/gtest.h>

#include <string>

#include "app/share_link.h"
#include "sound/settings_line.h"
#include "sound/sound_engine.h"

using tonkelwerk::kKnobs;
using tonkelwerk::kMaxAngle;
using tonkelwerk::Knob;
using tonkelwerk::KnobAngles;
using tonkelwerk::KnobsMakeASound;
using tonkelwerk::KnobSpec;
using tonkelwerk::ParseSettingsLine;
using tonkelwerk::SettingsLineResult;
using tonkelwerk::SettingsLineText;

namespace {

TEST(KnobTable, EveryKnobWordSetsItsOwnAngleInLinesAndLinks) {
  for (const KnobSpec& spec : kKnobs) {
    const std::string word = std::string(spec.word) + "=7";
    KnobAngles expected;
    expected.*spec.angle = 7;
    const SettingsLineResult line = ParseSettingsLine(word);
    ASSERT_EQ(line.error, "") << word;
    EXPECT_EQ(line.settings.knobs, expected) << word;
    EXPECT_EQ(ShareTextRead("#" + word).settings.knobs, expected) << word;
  }
  // Lines list the knobs in the table's order, which is the window's.
  KnobAngles knobs;
  knobs.start = 1;
  knobs.len = 6;
  EXPECT_EQ(SettingsLineText({"", knobs, std::nullopt}),
            "start=1 end=0 freq=0 rustle=0 cutter=0 len=6");
}

TEST(KnobTable, OnlyFreqAndLenMustBeAboveZeroToSound) {
  const KnobAngles sounding{.freq = 1, .len = 1};
  EXPECT_TRUE(KnobsMakeASound(sounding));
  EXPECT_FALSE(KnobsMakeASound(KnobAngles{}));
  for (const KnobSpec& spec : kKnobs) {
    KnobAngles lowest = sounding;
    lowest.*spec.angle = 0;
    EXPECT_EQ(KnobsMakeASound(lowest), spec.knob != Knob::kFreq && spec.knob != Knob::kLen)
        << spec.caption;
    KnobAngles highest = sounding;
    highest.*spec.angle = kMaxAngle;
    EXPECT_TRUE(KnobsMakeASound(highest)) << spec.caption;
    EXPECT_NE(highest, sounding) << "== compares " << spec.caption;
  }
}

}  // namespace
