#include "shared/VarnoMath.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include <gtest/gtest.h>

#include "shared/Console.h"

TEST(VarnoMath, Log10IsTheNaturalLogarithmRatio) {
  EXPECT_NEAR(VarnoMath::log10(1000.0), 3.0, 1e-15);
  EXPECT_NEAR(VarnoMath::log10(0.01), -2.0, 1e-15);
  EXPECT_EQ(VarnoMath::log10(1.0), 0.0);
}

TEST(VarnoMath, ExtremesOfArraysSkipLaterNaNs) {
  const std::vector<double> d{2, 7, -1};
  EXPECT_EQ(VarnoMath::max(d), 7.0);
  EXPECT_EQ(VarnoMath::min(d), -1.0);
  const std::vector<std::int32_t> i{4, -9, 12, 3};
  EXPECT_EQ(VarnoMath::max(i), 12);
  EXPECT_EQ(VarnoMath::min(i), -9);
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const std::vector<double> withNaN{3, nan, 8, nan, -2};
  EXPECT_EQ(VarnoMath::max(withNaN), 8.0);
  EXPECT_EQ(VarnoMath::min(withNaN), -2.0);
  const std::vector<double> single{5.5};
  EXPECT_EQ(VarnoMath::max(single), 5.5);
  EXPECT_THROW(VarnoMath::max(std::vector<double>{}), std::invalid_argument);
  EXPECT_THROW(VarnoMath::min(std::vector<std::int32_t>{}), std::invalid_argument);
}

TEST(VarnoMath, ColumnExtremesOfMatrices) {
  const std::vector<std::vector<double>> m{{1, 5}, {3, 2}};
  EXPECT_EQ(VarnoMath::max(m), (std::vector<double>{3, 5}));
  EXPECT_EQ(VarnoMath::min(m), (std::vector<double>{1, 2}));
  // Columns beyond the first row's length are ignored.
  const std::vector<std::vector<std::int32_t>> mi{{1, 5}, {3, 2, 100}, {-4, 9, -100}};
  EXPECT_EQ(VarnoMath::max(mi), (std::vector<std::int32_t>{3, 9}));
  EXPECT_EQ(VarnoMath::min(mi), (std::vector<std::int32_t>{-4, 2}));
  // A row shorter than the first or no rows at all are refused.
  EXPECT_THROW(VarnoMath::max(std::vector<std::vector<double>>{{1, 2}, {3}}), std::invalid_argument);
  EXPECT_THROW(VarnoMath::min(std::vector<std::vector<double>>{}), std::invalid_argument);
}

TEST(VarnoMath, FactorialsInsideAndOutsideTheirRange) {
  struct Case {
    int n;
    std::int32_t expected;
  };
  const Case shortCases[] = {{0, 1}, {1, 1}, {5, 120}, {12, 479001600}, {13, 0}, {-1, 0}};
  for (const auto& c : shortCases) {
    console::Capture capture;
    EXPECT_EQ(VarnoMath::factorial(c.n), c.expected) << c.n;
    // The diagnostic is written exactly when the argument is out of range.
    EXPECT_EQ(capture.messages().find("InvalidFactorialArgumentException") != std::string::npos, c.expected == 0)
        << c.n;
  }
  struct LongCase {
    int n;
    std::int64_t expected;
  };
  const LongCase longCases[] = {{0, 1}, {13, 6227020800LL}, {20, 2432902008176640000LL}, {21, 0}, {-3, 0}};
  for (const auto& c : longCases) {
    console::Capture capture;
    EXPECT_EQ(VarnoMath::longFactorial(c.n), c.expected) << c.n;
    EXPECT_EQ(capture.messages().empty(), c.expected != 0) << c.n;
  }
}

TEST(VarnoMath, FactorialExceptionCarriesOptionalMessage) {
  EXPECT_STREQ(InvalidFactorialArgumentException().what(), "");
  EXPECT_STREQ(InvalidFactorialArgumentException("n = 30").what(), "n = 30");
}
