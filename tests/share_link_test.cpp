// Share links: what links, fragments and pasted lines mean, and that a copied
// fragment opens as the same sound.
#include "app/share_link.h"

#include <gtest/gtest.h>

#include <array>

using tonkelwerk::KnobAngles;
using tonkelwerk::SettingsLineResult;

namespace {

TEST(ShareLink, LinkFragmentAndSettingsLineGiveTheSameSound) {
  const char* texts[] = {
      "http://localhost:8000/#start=10&end=90&freq=120&rustle=20&cutter=30&len=40&seed=7",
      "#start=10&end=90&freq=120&rustle=20&cutter=30&len=40&seed=7",
      "laser: start=10 end=90 freq=120 rustle=20 cutter=30 len=40 seed=7 # bright",
      "start=10 end=90 freq=120 rustle=20 cutter=30 len=40 seed=7\r\n",  // copied from a terminal
  };
  for (const char* text : texts) {
    const SettingsLineResult read = ShareTextRead(text);
    ASSERT_EQ(read.error, "") << text;
    const KnobAngles& k = read.settings.knobs;
    EXPECT_EQ((std::array{k.start, k.end, k.freq, k.rustle, k.cutter, k.len}),
              (std::array{10, 90, 120, 20, 30, 40}))
        << text;
    EXPECT_EQ(read.settings.seed, 7u) << text;
  }
}

TEST(ShareLink, FragmentReadsBackToTheSameKnobsAndSeed) {
  const KnobAngles knobs{.start = 5, .end = 0, .freq = 360, .rustle = 1, .cutter = 0, .len = 2};
  const std::string fragment = ShareFragment(knobs, 4294967295u);
  EXPECT_EQ(fragment, "start=5&end=0&freq=360&rustle=1&cutter=0&len=2&seed=4294967295");
  const SettingsLineResult read = ShareTextRead("https://example.org/tw/index.html#" + fragment);
  ASSERT_EQ(read.error, "");
  EXPECT_EQ(read.settings.knobs.freq, 360);
  EXPECT_EQ(read.settings.knobs.len, 2);
  EXPECT_EQ(read.settings.seed, 4294967295u);
  EXPECT_EQ(ShareFragment(knobs, std::nullopt), "start=5&end=0&freq=360&rustle=1&cutter=0&len=2");
}

TEST(ShareLink, MalformedOrEmptyTextIsNoSound) {
  for (const char* text :
       {"", "#", "http://localhost:8000/", "#freq=400&len=1", "#freq=10&freq=20", "#start=1;end=2",
        "hello", "freq=9 len=9\nfreq=8 len=8", "# seed=1", "#seed=1", "zap:"})
    EXPECT_NE(ShareTextRead(text).error, "") << text;
  EXPECT_NE(ShareTextRead("#freq=400").error.find("freq"), std::string::npos);
}

TEST(ShareLink, ANulIsRefusedNotReadAsTheEndOfTheText) {
  using namespace std::string_view_literals;
  const SettingsLineResult read = ShareTextRead("freq=55\0garbage len=360"sv);
  EXPECT_NE(read.error.find("control character \\x00"), std::string::npos) << read.error;
}

}  // namespace
