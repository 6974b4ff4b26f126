// Settings lines: what a line means, that printing and reading agree, and that
// a bad line says which word is wrong.
#include <gtest/gtest.h>

#include "sound/settings_line.h"

using tonkelwerk::IsSettingsLineName;
using tonkelwerk::ParseSettingsLine;
using tonkelwerk::PrintableText;
using tonkelwerk::QuotedWord;
using tonkelwerk::SettingsLineResult;
using tonkelwerk::SettingsLineText;
using tonkelwerk::SoundSettings;

namespace {

using namespace std::string_literals;

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

// Names are file names on every system: blanks inside and UTF-8 letters
// stay, and a printed line reads back to the same name.
TEST(SettingsLine, NamesHoldBlanksAndLettersButNothingAmbiguous) {
  for (const std::string name : {"my zap", "\xC3\xB6l \xC3\x9F", "a.b-c_d (2)", "zap."}) {
    SoundSettings s;
    s.name = name;
    EXPECT_TRUE(IsSettingsLineName(name)) << name;
    EXPECT_EQ(Parsed(SettingsLineText(s)).name, name);
  }
  EXPECT_EQ(Parsed("  my zap :\tfreq=1").name, "my zap");
  for (const std::string name : {"a/b", "a\\b", "a<b", "a>b", "a|b", "a?b", "a*b", "a\"b",
                                 "a#b", "a\x1b", "a\tb", "a\x7f", "a\xC2\x9B", "a\xFF", "a\xC0\xAF",
                                 ".a", " a", "a "}) {
    EXPECT_FALSE(IsSettingsLineName(name)) << name;
  }
  EXPECT_NE(ErrorOf("a\xC2\x9B: freq=1").find("'a\\xc2\\x9b:' is not a usable name"),
            std::string::npos);
  // A '#' starts a comment only at the start or after a blank.
  EXPECT_EQ(Parsed("freq=1 len=2 #c").knobs.len, 2);
  EXPECT_EQ(Parsed("freq=1 len=2\t#c").knobs.len, 2);
  EXPECT_EQ(ErrorOf("freq=10#0 len=1"), "'freq=10#0': freq wants a whole number of degrees 0..360");
}

TEST(SettingsLine, MessagesQuoteWordsPrintablyAndShort) {
  EXPECT_EQ(ErrorOf("freq=1 \x1b[2J"), "unknown word '\\x1b[2J' (want key=value)");
  EXPECT_EQ(PrintableText("ok \xC3\xA9\x7f\x00\xC2\x9B\xFF"s),
            "ok \xC3\xA9\\x7f\\x00\\xc2\\x9b\\xff");
  EXPECT_EQ(QuotedWord(std::string(100, 'a')), "'"s.append(60, 'a') + "...'");
  std::string letters;
  for (int i = 0; i < 70; ++i) letters += "\xC3\xA9";
  EXPECT_EQ(QuotedWord(letters), "'"s.append(letters, 0, 120) + "...'");
  EXPECT_EQ(QuotedWord(std::string(60, 'a')), "'"s.append(60, 'a') + "'");
}

}  // namespace
