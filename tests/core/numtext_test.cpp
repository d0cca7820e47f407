#include "core/numtext.h"

#include <gtest/gtest.h>

namespace sky {
namespace {

TEST(NumberText, DefaultTextHasFifteenSignificantDigits) {
  struct Case {
    double value;
    const char *separator, *text;
  } cases[] = {
      {2.5, ".", "2.5"},
      {2.5, ",", "2,5"},
      {-0.5, ".", "-0.5"},
      {0, ".", "0"},
      {-0.0, ".", "0"},
      {123.0, ".", "123"},
      {1.0 / 3, ".", "0.333333333333333"},
      {52.123456789012345, ".", "52.1234567890123"},
      {123456789012345.0, ".", "123456789012345"},
      {1e15, ".", "1E+15"},
      {0.0001, ".", "0.0001"},
      {0.00009, ".", "9E-05"},
      {-0.0000912345, ",", "-9,12345E-05"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(DefaultText(c.value, c.separator), c.text) << c.value;
  }
}

TEST(NumberText, PlainTextNeverUsesAnExponent) {
  EXPECT_EQ(PlainText(0.00009, "."), "0.00009");
  EXPECT_EQ(PlainText(-9.12345678901234e-05, ","), "-0,0000912345678901234");
  EXPECT_EQ(PlainText(4.5, ","), "4,5");
  EXPECT_EQ(PlainText(0, "."), "0");
}

TEST(NumberText, SingleTextHasSevenDigits) {
  EXPECT_EQ(SingleText(2.5f, "."), "2.5");
  EXPECT_EQ(SingleText(0.1f, "."), "0.1");
  EXPECT_EQ(SingleText(3443.917f, "."), "3443.917");
}

TEST(NumberText, IntegerPartIsTheFloor) {
  struct Case {
    double value;
    const char* text;
  } cases[] = {{-0.5, "-1"}, {-3.5, "-4"}, {0.99, "0"}, {245.7, "245"}, {-6000, "-6000"}, {0, "0"}};
  for (const Case& c : cases) EXPECT_EQ(FloorText(c.value), c.text) << c.value;
}

TEST(NumberText, RoundingTakesHalvesToEven) {
  EXPECT_EQ(RoundHalfEven(2.5), 2);
  EXPECT_EQ(RoundHalfEven(3.5), 4);
  EXPECT_EQ(RoundHalfEven(-2.5), -2);
  EXPECT_EQ(RoundHalfEven(-1.5), -2);
  EXPECT_EQ(RoundHalfEven(49.9999), 50);
}

TEST(NumberText, ParseAcceptsTheSeparatorAndAPoint) {
  EXPECT_EQ(ParseNumber("2,5", ","), 2.5);
  EXPECT_EQ(ParseNumber("2.5", ","), 2.5);
  EXPECT_EQ(ParseNumber(" -12 ", "."), -12);
  EXPECT_EQ(ParseNumber("+7", "."), 7);
  EXPECT_EQ(ParseNumber("9E-05", "."), 9e-5);
  EXPECT_EQ(ParseNumber(".5", "."), 0.5);
  for (const char* bad : {"", " ", "abc", "1.2.3", "1,2,3", "1E", "--1", "1 2", "1e999"}) {
    EXPECT_FALSE(ParseNumber(bad, ",").has_value()) << bad;
  }
}

TEST(NumberText, KmlDecimalPointFixesTheFirstSeparator) {
  EXPECT_EQ(KmlDecimalPoint("4,5", ","), "4.5");
  EXPECT_EQ(KmlDecimalPoint("4.5", "."), "4.5");
  EXPECT_EQ(KmlDecimalPoint("1,2,3", ","), "1.2,3");
  EXPECT_EQ(KmlDecimalPoint("45", ","), "45");
}

TEST(NumberText, PatternsTakeDigitsFromTheRight) {
  EXPECT_EQ(FormatDigits("1405", "00:00"), "14:05");
  EXPECT_EQ(FormatDigits("0905", "00 00"), "09 05");
  EXPECT_EQ(FormatDigits("223015", "00:00:00"), "22:30:15");
  EXPECT_EQ(FormatDigits("20261204223015", "0000-00-00T00:00:00z"), "2026-12-04T22:30:15z");
  EXPECT_EQ(FormatDigits("905", "00:00"), "09:05");
  EXPECT_EQ(FormatDigits("123456", "00:00"), "1234:56");
}

TEST(NumberText, CutsDecimalsAndWholeParts) {
  struct Case {
    const char *text, *separator;
    const char* cut;    // at most 13 decimals
    const char* whole;  // before the separator
  } cases[] = {
      {"50.0450500000000", ".", "50.0450500000000", "50"},
      {"-179.12345678901234", ".", "-179.1234567890123", "-179"},
      {"8,12345678901234", ",", "8,1234567890123", "8"},
      {"1.234567890123E-05", ".", "1.234567890123", "1"},  // a cut that ends in the exponent
      {"1.2345678901234E-05", ".", "1.2345678901234", "1"},
      {"12345678901234567", ".", "1234567890123", "12345678901234567"},
      {"-0.5", ".", "-0.5", "-0"},
      {"123.9", ",", "123.9", "123.9"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CutDecimals(c.text, c.separator, 13), c.cut) << c.text;
    EXPECT_EQ(WholePart(c.text, c.separator), c.whole) << c.text;
  }
}

}  // namespace
}  // namespace sky
