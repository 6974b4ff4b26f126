// Settings lines: what a line means, that printing and reading agree, and that
// a bad line says which word is wrong.
#include <gtest/gtest.h>

#include "sound/settings_line.h"

namespace {

SoundSettings Parsed(std::string_view line) {
  const SettingsLineResult result = ParseSettingsLine(line);
  EXPECT_EQ(result.error, "") << line;
  return result.settings;
}

std::string ErrorOf(std::string_view line) {
  return ParseSettingsLine(line).error;
}

TEST(SettingsLine, ReadsEveryWordInAnyOrderWithMissingKnobsAtZero) {
  const SoundSettings s = Parsed("  coin:\tlen=40 freq=120  rustle=360 seed=4294967295 # bright\r\n");
  EXPECT_EQ(s.name, "coin");
  EXPECT_EQ(s.knobs.freq, 120);
  EXPECT_EQ(s.knobs.len, 40);
  EXPECT_EQ(s.knobs.rustle, 360);
  EXPECT_EQ(s.knobs.start + s.knobs.end + s.knobs.cutter, 0);
  EXPECT_EQ(s.seed, 4294967295u);

  const SoundSettings bare = Parsed("freq=1 len=1");
  EXPECT_EQ(bare.name, "");
  EXPECT_FALSE(bare.seed.has_value());
}

TEST(SettingsLine, PrintedLineReadsBackToTheSameSettings) {
  SoundSettings s;
  s.name = "laser-2_b.v1";
  s.knobs = {.start = 10, .end = 90, .freq = 120, .rustle = 20, .cutter = 30, .len = 40};
  s.seed = 7;
  const std::string line = SettingsLineText(s);
  EXPECT_EQ(line, "laser-2_b.v1: start=10 end=90 freq=120 rustle=20 cutter=30 len=40 seed=7");
  const SoundSettings back = Parsed(line);
  EXPECT_EQ(back.name, s.name);
  EXPECT_EQ(SettingsLineText(back), line);

  s.name.clear();
  s.seed.reset();
  EXPECT_EQ(SettingsLineText(s), "start=10 end=90 freq=120 rustle=20 cutter=30 len=40");
}

TEST(SettingsLine, BadWordsAreNamedInTheError) {
  EXPECT_EQ(ErrorOf("freq=120 frq=10"), "unknown word 'frq=10'");
  EXPECT_EQ(ErrorOf("freq=361"), "'freq=361': freq wants a whole number of degrees 0..360");
  EXPECT_EQ(ErrorOf("len=-1"), "'len=-1': len wants a whole number of degrees 0..360");
  EXPECT_EQ(ErrorOf("len= freq=3"), "'len=': len wants a whole number of degrees 0..360");
  EXPECT_EQ(ErrorOf("seed=4294967296"), "'seed=4294967296': seed wants a whole number 0..4294967295");
  EXPECT_EQ(ErrorOf("freq=1 freq=2"), "'freq=2': freq is given twice");
  EXPECT_EQ(ErrorOf("freq 120"), "unknown word 'freq' (want key=value)");
  // A name must not reach outside the output folder or hide the file.
  EXPECT_NE(ErrorOf("../up: freq=1").find("'../up:' is not a usable name"), std::string::npos);
  EXPECT_NE(ErrorOf(".hidden: freq=1").find("not a usable name"), std::string::npos);
  EXPECT_NE(ErrorOf(": freq=1").find("not a usable name"), std::string::npos);
}

}  // namespace
