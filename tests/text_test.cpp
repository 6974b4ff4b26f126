// Text operations: trimming, the extension rule of Save wave, prefixes,
// decimal numbers and fixed-size text fields.
#include "platform/core/text.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>

namespace {

TEST(TrimSpaces, RemovesLeadingAndTrailingSpacesOnly) {
  EXPECT_EQ(TrimSpaces("  a b  "), "a b");
  EXPECT_EQ(TrimSpaces("a b"), "a b");
  EXPECT_EQ(TrimSpaces(" x"), "x");
  EXPECT_EQ(TrimSpaces("x "), "x");
}

TEST(TrimSpaces, KeepsTabsAndOtherBlanks) {
  EXPECT_EQ(TrimSpaces("\ta b\t"), "\ta b\t");
  EXPECT_EQ(TrimSpaces(" \tx\t "), "\tx\t");
  EXPECT_EQ(TrimSpaces(" \nx\r "), "\nx\r");
}

TEST(TrimSpaces, SpacesOnlyGiveTheEmptyText) {
  EXPECT_EQ(TrimSpaces("    "), "");
  EXPECT_EQ(TrimSpaces(" "), "");
  EXPECT_EQ(TrimSpaces(""), "");
}

TEST(ExtensionPart, TextAfterTheLastFullStop) {
  EXPECT_EQ(ExtensionPart("a.b.wav"), "wav");
  EXPECT_EQ(ExtensionPart("sound.WAV"), "WAV");
  EXPECT_EQ(ExtensionPart("C:\\sounds\\boom.wav"), "wav");
  EXPECT_EQ(ExtensionPart("/home/me/boom.wav"), "wav");
}

TEST(ExtensionPart, FullStopInTheFirstPositionCounts) {
  EXPECT_EQ(ExtensionPart(".wav"), "wav");
}

TEST(ExtensionPart, StopsAtADoubleQuote) {
  EXPECT_EQ(ExtensionPart("x.wav\"more"), "wav");
  EXPECT_EQ(ExtensionPart("x.wav\"more.txt\""), "txt");  // the last full stop decides
  EXPECT_EQ(ExtensionPart("x.\"wav"), "");
}

TEST(ExtensionPart, EmptyWhenTheNameHasNoExtension) {
  EXPECT_EQ(ExtensionPart("name."), "");
  EXPECT_EQ(ExtensionPart("name"), "");
  EXPECT_EQ(ExtensionPart(""), "");
  EXPECT_EQ(ExtensionPart("."), "");
}

TEST(ExtensionPart, FullStopInAFolderNameDoesNotCount) {
  EXPECT_EQ(ExtensionPart("C:\\dir.x\\file"), "");
  EXPECT_EQ(ExtensionPart("/home/dir.x/file"), "");
  EXPECT_EQ(ExtensionPart("dir.x/"), "");
  EXPECT_EQ(ExtensionPart("dir.x\\"), "");
  EXPECT_EQ(ExtensionPart("dir.x\\file.wav"), "wav");
}

TEST(TextLeft, TakesTheFirstCharacters) {
  EXPECT_EQ(TextLeft("Tonkelwerk", 5), "Tonke");
  EXPECT_EQ(TextLeft("Tonkelwerk", 10), "Tonkelwerk");
  EXPECT_EQ(TextLeft("Tonkelwerk", 0), "");
}

TEST(TextLeft, ShortTextIsReturnedWhole) {
  EXPECT_EQ(TextLeft("abc", 100), "abc");
  EXPECT_EQ(TextLeft("", 3), "");
}

TEST(TextLeft, NegativeCountGivesTheEmptyText) {
  EXPECT_EQ(TextLeft("abc", -5), "");
  EXPECT_EQ(TextLeft("abc", INT32_MIN), "");
}

TEST(DecimalText, WritesPlainDecimal) {
  EXPECT_EQ(DecimalText(0), "0");
  EXPECT_EQ(DecimalText(7), "7");
  EXPECT_EQ(DecimalText(360), "360");
  EXPECT_EQ(DecimalText(1000), "1000");
  EXPECT_EQ(DecimalText(-1), "-1");
  EXPECT_EQ(DecimalText(-40), "-40");
  EXPECT_EQ(DecimalText(INT32_MAX), "2147483647");
}

TEST(DecimalText, MostNegativeValue) {
  EXPECT_EQ(DecimalText(INT32_MIN), "-2147483648");
}

TEST(FixedText, ShortTextIsStoredWithZeroFill) {
  std::array<char, 8> field;
  field.fill('#');
  FixedTextStore(field.data(), 8, "abc");
  EXPECT_EQ(std::string(field.data(), 8), std::string("abc\0\0\0\0\0", 8));
  EXPECT_EQ(FixedTextRead(field.data(), 8), "abc");
}

TEST(FixedText, TextOfTheFieldLengthFillsItWithoutTerminator) {
  std::array<char, 33> field;
  field.fill('#');
  const std::string text(32, 'k');
  FixedTextStore(field.data(), 32, text);
  EXPECT_EQ(std::string(field.data(), 32), text);
  EXPECT_EQ(field[32], '#');  // nothing written past the field
  EXPECT_EQ(FixedTextRead(field.data(), 32), text);
}

TEST(FixedText, LongerTextIsCutAtTheFieldLength) {
  std::array<char, 6> field;
  field.fill('#');
  FixedTextStore(field.data(), 4, "Tonkelwerk");
  EXPECT_EQ(std::string(field.data(), 6), "Tonk##");
  EXPECT_EQ(FixedTextRead(field.data(), 4), "Tonk");
}

TEST(FixedText, ReadStopsAtTheFirstZeroByte) {
  const char field[8] = {'a', 'b', '\0', 'c', 'd', 'e', 'f', 'g'};
  EXPECT_EQ(FixedTextRead(field, 8), "ab");
  EXPECT_EQ(FixedTextRead(field, 1), "a");
  EXPECT_EQ(FixedTextRead(field, 0), "");
}

TEST(FixedText, EmptyTextClearsTheField) {
  std::array<char, 4> field = {'w', 'x', 'y', 'z'};
  FixedTextStore(field.data(), 4, "");
  EXPECT_EQ(std::string(field.data(), 4), std::string(4, '\0'));
  EXPECT_EQ(FixedTextRead(field.data(), 4), "");
}

}  // namespace
