#include "shared/NumberText.h"

#include <cmath>
#include <limits>
#include <ostream>

#include <gtest/gtest.h>

using numtext::formatB;
using numtext::formatD;
using numtext::formatI;
using numtext::formatS;

struct TextCase {
  double value;
  const char* single;  // S form
  const char* dbl;     // D form
};

void PrintTo(const TextCase& c, std::ostream* os) { *os << c.dbl; }

class NumberTextCases : public ::testing::TestWithParam<TextCase> {};

TEST_P(NumberTextCases, ShortestTextInPlainOrExponentNotation) {
  const auto& c = GetParam();
  EXPECT_EQ(formatS(c.value), c.single) << c.value;
  EXPECT_EQ(formatD(c.value), c.dbl) << c.value;
}

INSTANTIATE_TEST_SUITE_P(
    Values, NumberTextCases,
    ::testing::Values(
        TextCase{0.016748976535290592, "0.016748976", "0.016748976535290592"},
        TextCase{1.3701702, "1.3701702", "1.3701702"},
        TextCase{0.2687917, "0.2687917", "0.2687917"},
        TextCase{0.30000000000000004, "0.3", "0.30000000000000004"},
        TextCase{20000.0, "20000.0", "20000.0"},
        TextCase{1e-10, "1.0E-10", "1.0E-10"},
        TextCase{1e-4, "1.0E-4", "1.0E-4"},
        TextCase{2.5e7, "2.5E7", "2.5E7"},
        TextCase{0.001, "0.001", "0.001"},
        TextCase{1e7, "1.0E7", "1.0E7"},
        TextCase{9999999.0, "9999999.0", "9999999.0"},
        TextCase{0.0, "0.0", "0.0"},
        TextCase{-0.0, "-0.0", "-0.0"},
        TextCase{-4.5, "-4.5", "-4.5"},
        TextCase{1.0, "1.0", "1.0"},
        TextCase{-1.25e-5, "-1.25E-5", "-1.25E-5"},
        TextCase{123456.789, "123456.79", "123456.789"},
        TextCase{0.0009765625, "9.765625E-4", "9.765625E-4"}));

TEST(NumberText, SpecialValues) {
  const double inf = std::numeric_limits<double>::infinity();
  EXPECT_EQ(formatD(std::nan("")), "NaN");
  EXPECT_EQ(formatS(std::nan("")), "NaN");
  EXPECT_EQ(formatD(inf), "Infinity");
  EXPECT_EQ(formatD(-inf), "-Infinity");
  // A double beyond the single-precision range becomes infinite in the S form.
  EXPECT_EQ(formatS(1e300), "Infinity");
}

TEST(NumberText, IntegersAndBooleans) {
  EXPECT_EQ(formatI(20000), "20000");
  EXPECT_EQ(formatI(-3), "-3");
  EXPECT_EQ(formatB(true), "true");
  EXPECT_EQ(formatB(false), "false");
}

TEST(NumberText, TextReadsBackToTheSameValue) {
  // Spread over many decades, including both notation boundaries.
  for (double v = 1.234567890123e-12; v < 1e12; v *= 3.7) {
    EXPECT_EQ(std::stod(formatD(v)), v) << formatD(v);
    EXPECT_EQ(std::stof(formatS(v)), static_cast<float>(v)) << formatS(v);
  }
}
