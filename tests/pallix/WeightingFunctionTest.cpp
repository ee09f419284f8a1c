// The beta channel's weighting function: overlap geometry, the weighting file and its
// integrals.

#include "pallix/engine/WeightingFunction.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <numbers>
#include <string>
#include <vector>

#include "shared/TextFile.h"
#include "support/RunProgram.h"

namespace pallix {
namespace {

constexpr double kPi = std::numbers::pi;

double radians(double degrees) { return degrees * kPi / 180.0; }

// A beta channel whose LED and detector are mirror images of each other.
Control symmetricBeta() {
  Control c;
  c.BthetaLEDSliderValue = c.BthetaSensorSliderValue = 19;
  c.BcenterLEDSliderValue = c.BcenterSensorSliderValue = 24;
  c.BdiameterLEDSliderValue = c.BdiameterSensorSliderValue = 20;
  c.BfovLEDSliderValue = c.BfovSensorSliderValue = 46;
  return c;
}

// Near and far ends of the symmetric overlap [cm]: the inner edges, from x = +-(L - D/2)
// tilted by theta + fov towards the axis, meet on the axis; so do the outer edges, from
// +-(L + D/2) tilted by theta - fov.
struct OverlapEnds {
  double nearEnd, farEnd;
};
OverlapEnds symmetricEnds(const Control& c) {
  const double L = 0.1 * c.BcenterLEDSliderValue;
  const double D = 0.1 * c.BdiameterLEDSliderValue;
  const double theta = radians(c.BthetaLEDSliderValue);
  const double fov = radians(0.1 * c.BfovLEDSliderValue);
  return {(L - D / 2) / std::tan(theta + fov), (L + D / 2) / std::tan(theta - fov)};
}

TEST(GetRsRd, SymmetricChannelHasEqualPathsInsideTheOverlap) {
  const Control c = symmetricBeta();
  const OverlapEnds ends = symmetricEnds(c);
  for (int i = 1; i < 20; ++i) {
    const double y = ends.nearEnd + (ends.farEnd - ends.nearEnd) * i / 20.0;
    const auto r = getRsRd(c, y);
    EXPECT_GT(r[0], 0.0) << y;
    EXPECT_NEAR(r[0], r[1], 1e-9 * r[0]) << y;
  }
}

TEST(GetRsRd, ZeroAtAndBeyondBothEndsOfTheOverlap) {
  const Control c = symmetricBeta();
  const OverlapEnds ends = symmetricEnds(c);
  for (double y : {0.0, 0.5 * ends.nearEnd, ends.nearEnd * (1 - 1e-12), ends.farEnd * (1 + 1e-12),
                   2 * ends.farEnd, 1e6}) {
    const auto r = getRsRd(c, y);
    EXPECT_EQ(r[0], 0.0) << y;
    EXPECT_EQ(r[1], 0.0) << y;
  }
  EXPECT_GT(getRsRd(c, ends.nearEnd * (1 + 1e-9))[0], 0.0);
  EXPECT_GT(getRsRd(c, ends.farEnd * (1 - 1e-9))[0], 0.0);
}

TEST(GetRsRd, InitialGeometryGivesPathsComparableToTheStraightLine) {
  // Inside the overlap (about 3.5 to 12.5 cm with the initial settings) a path from an
  // element cannot be much shorter than the distance and is close to the straight line
  // from the element's centre.
  const Control c;
  for (double y : {5.0, 8.0, 11.0}) {
    const auto r = getRsRd(c, y);
    const double straight = std::hypot(0.1 * c.BcenterLEDSliderValue, y);
    for (double path : r) {
      EXPECT_GT(path, 0.9 * y) << y;
      EXPECT_LT(path, 1.1 * straight) << y;
    }
  }
}

TEST(GetRsRd, ZeroHalfAngleIsAParallelBeam) {
  Control c = symmetricBeta();
  c.BfovLEDSliderValue = 0;
  for (double y : {5.0, 6.0, 7.0}) {
    const auto r = getRsRd(c, y);
    // Along the LED's axis from the face, height y is reached after y / cos(slant).
    EXPECT_NEAR(r[0], y / std::cos(radians(c.BthetaLEDSliderValue)), 1e-12) << y;
    EXPECT_TRUE(std::isfinite(r[1])) << y;
    EXPECT_GT(r[1], 0.0) << y;
  }
}

std::string weightingText(const std::vector<std::string>& dataLines, const std::string& count) {
  std::string text =
      "NO medium weighting function:  cos(theta_d)*(1/rd^2)*del_A^2/A,     (del_Phi/Phi_o)/cos(theta_d)\n";
  text += count + "\ndistance[cm]\tweighting\tdP/Po/cos\n";
  for (const auto& l : dataLines) text += l + "\n";
  return text;
}

TEST(WeightingFile, RejectsBadContent) {
  struct Case {
    const char* what;
    std::string text;
  };
  const Case cases[] = {
      {"a word in a data line", weightingText({"2.0\t1.0\t0.5", "2.5\tabc\t0.5"}, "2")},
      {"fewer lines than announced", weightingText({"2.0\t1.0\t0.5", "2.5\t1.0\t0.5"}, "3")},
      {"one distance", weightingText({"2.0\t1.0\t0.5"}, "1")},
      {"no distance", weightingText({}, "0")},
      {"count not a number", weightingText({"2.0\t1.0\t0.5", "2.5\t1.0\t0.5"}, "two")},
      {"two columns", weightingText({"2.0\t1.0", "2.5\t1.0\t0.5"}, "2")},
      {"four columns", weightingText({"2.0\t1.0\t0.5\t7", "2.5\t1.0\t0.5"}, "2")},
      {"repeated distance", weightingText({"2.0\t1.0\t0.5", "2.0\t1.0\t0.5"}, "2")},
      {"decreasing distance", weightingText({"2.5\t1.0\t0.5", "2.0\t1.0\t0.5"}, "2")},
      {"not a finite number", weightingText({"2.0\tNaN\t0.5", "2.5\t1.0\t0.5"}, "2")},
      {"empty data line", weightingText({"2.0\t1.0\t0.5", ""}, "2")},
      {"no count line", "NO medium weighting function\n"},
      {"empty file", ""},
  };
  for (const Case& c : cases) EXPECT_FALSE(parseWeightingTable(c.text).has_value()) << c.what;
}

TEST(WeightingFile, RoundTripsTheWrittenTableAndAcceptsAnyWhiteSpace) {
  const std::vector<double> x = {2.0, 2.5, 3.0};
  const std::vector<double> y = {0.1, 1.0 / 3.0, 1e-5};
  const std::vector<double> z = {0.2, 2.0 / 3.0, 12345678.9};
  const std::string text = formatWeightingTable(x, y, z);
  EXPECT_EQ(text.substr(0, text.find('\n')),
            "NO medium weighting function:  cos(theta_d)*(1/rd^2)*del_A^2/A,     (del_Phi/Phi_o)/cos(theta_d)");
  EXPECT_NE(text.find("\n3\ndistance[cm]\tweighting\tdP/Po/cos\n2.0\t0.1\t0.2\n"), std::string::npos);
  const auto table = parseWeightingTable(text);
  ASSERT_TRUE(table.has_value());
  EXPECT_EQ(table->distance, x);
  EXPECT_EQ(table->weighting, y);
  EXPECT_EQ(table->relative, z);

  // Blanks instead of tabs, carriage returns and lines beyond the announced count.
  const auto spaced = parseWeightingTable(weightingText({"2.0  1.0 0.5\r", " 2.5\t 1.0   0.5", "junk"}, " 2"));
  ASSERT_TRUE(spaced.has_value());
  EXPECT_EQ(spaced->distance, (std::vector<double>{2.0, 2.5}));
}

class WeightingLoadTest : public ::testing::Test {
 protected:
  std::filesystem::path file() const { return dir_ / "weighting.txt"; }
  void writeConstantTable(double value) {
    // 25 distances from 2 to 14 cm with a constant weighting and twice that in column 3.
    std::vector<double> x, y, z;
    for (int i = 0; i < 25; ++i) {
      x.push_back(2.0 + 0.5 * i);
      y.push_back(value);
      z.push_back(2 * value);
    }
    saveWeighting(file(), x, y, z);
  }
  std::vector<std::string> lines_;
  WeightingFunction::LineSink sink_ = [this](const std::string& l) { lines_.push_back(l); };
  testsupport::TempDir dir_;
};

TEST_F(WeightingLoadTest, IntegratesOverDistanceInMetres) {
  writeConstantTable(1.0);
  Control c;
  c.c = 0.0;
  WeightingFunction w;
  ASSERT_EQ(w.computeNewWeighting(file(), c, sink_), WeightingLoad::Loaded);
  // 0.02 m to 0.14 m.
  EXPECT_NEAR(w.weightingReferenceIntegral(), 0.12, 1e-9);
  EXPECT_NEAR(w.relativePhiRho(), 0.24, 1e-9);
  EXPECT_NEAR(w.weightingIntegral(), 0.12, 1e-9);  // no water, no attenuation
  ASSERT_EQ(lines_.size(), 5u);
  EXPECT_EQ(lines_[0], "Weighting reference");
  EXPECT_EQ(lines_[1].rfind("Weighting reference integral = 0.1", 0), 0u);
  EXPECT_EQ(lines_[2].rfind("Phi_rho = 0.2", 0), 0u);
  EXPECT_EQ(lines_[3], "Weighting : c = 0.0");
  EXPECT_EQ(lines_[4].rfind("Weighting integral = 0.1", 0), 0u);

  // Water attenuates the weighting along rs + rd, and more so for a larger c.
  c.c = 1.0;
  w.computeNewWeighting(file(), c, sink_);
  const double atOne = w.weightingIntegral();
  c.c = 5.0;
  w.computeNewWeighting(file(), c, sink_);
  EXPECT_LT(atOne, 0.12);
  EXPECT_GT(atOne, 0.12 * std::exp(-0.01 * 40.0));  // paths well below 40 cm
  EXPECT_LT(w.weightingIntegral(), atOne);
  EXPECT_NEAR(w.weightingReferenceIntegral(), 0.12, 1e-9);
}

TEST_F(WeightingLoadTest, AFailedLoadKeepsThePreviousIntegrals) {
  WeightingFunction w;
  EXPECT_EQ(w.computeNewWeighting(file(), Control{}, sink_), WeightingLoad::FileNotFound);
  EXPECT_EQ(w.weightingIntegral(), 0.0);
  EXPECT_FALSE(w.isUsable());
  EXPECT_TRUE(lines_.empty());

  writeConstantTable(1.0);
  ASSERT_EQ(w.computeNewWeighting(file(), Control{}, sink_), WeightingLoad::Loaded);
  const double loaded = w.weightingIntegral();
  EXPECT_TRUE(w.isUsable());

  writeTextFileAtomically(file(), weightingText({"2.0\t1.0\t0.5"}, "1"));
  lines_.clear();
  EXPECT_EQ(w.computeNewWeighting(file(), Control{}, sink_), WeightingLoad::ReadError);
  EXPECT_EQ(w.weightingIntegral(), loaded);
  EXPECT_TRUE(lines_.empty());
  EXPECT_EQ(weightingLoadMessage(WeightingLoad::ReadError), "I/O error whenn loading file (weighting.txt)");
  EXPECT_EQ(weightingLoadMessage(WeightingLoad::FileNotFound), "File not found when loading file (weighting.txt)");

  std::filesystem::remove(file());
  EXPECT_EQ(w.computeNewWeighting(file(), Control{}, sink_), WeightingLoad::FileNotFound);
  EXPECT_EQ(w.weightingIntegral(), loaded);
}

TEST_F(WeightingLoadTest, AZeroWeightingIsNotUsable) {
  writeConstantTable(0.0);
  WeightingFunction w;
  ASSERT_EQ(w.computeNewWeighting(file(), Control{}, sink_), WeightingLoad::Loaded);
  EXPECT_FALSE(w.isUsable());
}

TEST_F(WeightingLoadTest, AFailedSaveLeavesNoFileAndRaises) {
  const std::vector<double> v = {1.0, 2.0};
  EXPECT_THROW(saveWeighting(dir_ / "missing-folder" / "weighting.txt", v, v, v), FileWriteError);
  EXPECT_FALSE(std::filesystem::exists(dir_ / "missing-folder"));
}

}  // namespace
}  // namespace pallix
