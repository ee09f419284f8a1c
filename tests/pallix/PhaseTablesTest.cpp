#include "pallix/engine/PhaseTables.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <numbers>
#include <string>

#include "orvel/phase/PhaseFormulas.h"
#include "support/RunProgram.h"

namespace pallix {
namespace {

constexpr double kDeg = std::numbers::pi / 180.0;

TEST(PhaseTablesTest, ClosedFormTypesGiveTheirBackscatteringRatios) {
  const PhaseParameters p;  // the dialog's initial texts
  EXPECT_NEAR(drawPhaseFunction(0, p).bbRatio, 0.016748976535290592, 1e-15);
  EXPECT_NEAR(drawPhaseFunction(1, p).bbRatio, 0.334755, 5e-7);
  EXPECT_EQ(drawPhaseFunction(3, p).bbRatio, 0.5);
  EXPECT_EQ(drawPhaseFunction(4, p).bbRatio, 0.5);
  const PhaseFunctionDrawing pureWater = drawPhaseFunction(4, p);
  ASSERT_EQ(pureWater.plot.size(), 181u);
  EXPECT_DOUBLE_EQ(pureWater.plot[90], PhaseFormulas::kThreeOverSixteenPi);  // value at 90 degrees
  EXPECT_EQ(pureWater.table, nullptr);
  EXPECT_NE(drawPhaseFunction(1, p).table, nullptr);
}

TEST(PhaseTablesTest, DrawChecksComeInTheDialogsOrderWhateverTheType) {
  struct Case {
    double forwardAngle, junge, realIndex;
    const char* message;  // nullptr: accepted
  };
  const Case cases[] = {
      {0.001, 4.0, 1.15, nullptr},
      {0.0009, 4.0, 1.15, "It will result in difficulty in drawing phase function graph.   0.001 < angle < 1.0 is appropriate."},
      {1.0, 4.0, 1.15, "It should be less than 1.0,    0.001 < angle < 1.0 is appropriate."},
      {0.5, 3.4, 1.15, "Junge Coefficient should be within 3.5 to 5."},
      {0.5, 5.1, 1.0, "Junge Coefficient should be within 3.5 to 5."},
      {0.5, 5.0, 1.0, "Real index relative to water must greater than 1."},
      {0.5, 3.5, 1.01, nullptr},
  };
  for (const Case& c : cases) {
    PhaseParameters p;
    p.forwardAngle = c.forwardAngle;
    p.JungeCoeff = c.junge;
    p.realIndex = c.realIndex;
    for (int type : {0, 2}) {
      if (c.message == nullptr) {
        EXPECT_NO_THROW(drawPhaseFunction(type, p)) << c.forwardAngle;
      } else {
        try {
          drawPhaseFunction(type, p);
          ADD_FAILURE() << "accepted: " << c.message;
        } catch (const PhaseSettingError& e) {
          EXPECT_EQ(std::string(e.what()), c.message);
        }
      }
    }
  }
}

// With the defaults (4.0, 1.15, 0.01 degree) the Fournier-Forand shape integrates to about
// 22.2 and is normalised; its bb/b is about 0.0562; its sampling table starts at the
// forward angle and ends at probability 1.
TEST(PhaseTablesTest, FournierForandProcedureNormalisesTheShape) {
  const PhaseParameters p;
  const PhaseFunctionDrawing d = drawPhaseFunction(2, p);
  EXPECT_TRUE(d.normalised);
  EXPECT_NEAR(d.totalIntegral, 22.2, 0.1);
  EXPECT_NEAR(d.bbRatio, 0.0562, 0.0005);
  EXPECT_EQ(normalizationMessage(22.25), "Normalization error, total integral = 22.25  Phase function will be normalized.");
  ASSERT_NE(d.table, nullptr);
  const PhaseTable& t = *d.table;
  EXPECT_EQ(t.x.front(), 0.0);
  EXPECT_DOUBLE_EQ(t.y.front(), 0.01 * kDeg);
  EXPECT_NEAR(t.x.back(), 1.0, 1e-5);
  EXPECT_NEAR(t.valueScale, 1.0 / d.totalIntegral, 1e-15);
  // The plot is the normalised table: its value at 90 degrees is the scaled expression.
  EXPECT_NEAR(d.plot[90], PhaseFormulas::fournierForand(4.0, 1.15, std::numbers::pi / 2) * t.valueScale, 1e-12);
  EXPECT_DOUBLE_EQ(fournierForandScale(p), t.valueScale);
}

class PhaseFileTest : public ::testing::Test {
 protected:
  std::string write(const std::string& name, const std::string& contents) {
    const std::filesystem::path path = dir_ / name;
    std::ofstream(path, std::ios::binary) << contents;
    return path.string();
  }
  testsupport::TempDir dir_;
};

TEST_F(PhaseFileTest, ReaderRefusesWhatWouldBreakTheTable) {
  struct Case {
    const char* name;
    const char* contents;
  };
  const Case bad[] = {
      {"count followed by a word", "title\n3 lines\nhead\n0 1\n90 1\n180 1\n"},
      {"count not a number", "title\nthree\nhead\n0 1\n90 1\n180 1\n"},
      {"fewer lines than the count", "title\n3\nhead\n0 1\n90 1\n"},
      {"a line with one number", "title\n3\nhead\n0 1\n90\n180 1\n"},
      {"angles that repeat", "title\n3\nhead\n0 1\n0 1\n180 1\n"},
      {"a single point", "title\n1\nhead\n0 1\n"},
  };
  for (const Case& c : bad) {
    const std::string path = write("bad.txt", c.contents);
    try {
      readInstrumentPFfile(path);
      ADD_FAILURE() << "accepted: " << c.name;
    } catch (const PhaseSettingError& e) {
      EXPECT_EQ(std::string(e.what()), "I/O error whenn loading file " + path) << c.name;
    }
  }
  const std::string missing = (dir_ / "missing.txt").string();
  try {
    readInstrumentPFfile(missing);
    ADD_FAILURE();
  } catch (const PhaseSettingError& e) {
    EXPECT_EQ(std::string(e.what()), "File not found when loading file " + missing);
  }
  // Windows line ends and lines after the table are fine.
  const PhaseFileTable ok = readInstrumentPFfile(
      write("ok.txt", "title\r\n3\r\nhead\r\n0\t1 extra\r\n90 1\r\n180 1\r\ntrailing comment\r\n"));
  ASSERT_EQ(ok.angles.size(), 3u);
  EXPECT_DOUBLE_EQ(ok.angles[2], std::numbers::pi);
}

// A file equal to the isotropic function every 10 degrees: within 1 % of normalisation, so
// used unchanged; its bb/b is 0.5, its cumulative table ends at the table's own integral
// (a little below 1) and a draw at or above that probability returns the last angle.
TEST_F(PhaseFileTest, IsotropicFileTable) {
  std::string contents = "iso\n19\nangle value\n";
  for (int degrees = 0; degrees <= 180; degrees += 10) contents += std::to_string(degrees) + " 0.0795774715459477\n";
  const std::string path = write("iso.txt", contents);
  const PhaseFileTable file = readInstrumentPFfile(path);
  const PhaseFunctionDrawing d = drawPhaseFunction(6, PhaseParameters{}, &file);
  EXPECT_FALSE(d.normalised);
  EXPECT_NEAR(d.totalIntegral, 1.0, 1e-3);
  EXPECT_NEAR(d.bbRatio, 0.5, 1e-3);
  const PhaseTable& t = *d.table;
  EXPECT_NEAR(t.x.back(), d.totalIntegral, 1e-12);
  EXPECT_EQ(t.sample(t.x.back()), std::numbers::pi);
  EXPECT_EQ(t.sample(std::nextafter(1.0, 0.0)), std::numbers::pi);
  EXPECT_NEAR(t.sample(0.5), std::numbers::pi / 2, 1e-3);
  // Drawing twice builds the same table.
  const PhaseFunctionDrawing again = drawPhaseFunction(6, PhaseParameters{}, &file);
  EXPECT_EQ(again.table->x, t.x);
  EXPECT_EQ(again.table->y, t.y);
  EXPECT_THROW(drawPhaseFunction(6, PhaseParameters{}, nullptr), PhaseSettingError);
}

// The Petzold table shipped with the programs: normalised (or within 1 %), its sampling
// table ends at probability 1 within the integration tolerance, and bb/b is near the
// published 0.019.
TEST(PhaseTablesTest, PetzoldTable) {
  const PhaseFileTable file = readInstrumentPFfile(std::string(SUITE_DATA_DIR) + "/phaseFunction/petzold.txt");
  const PhaseFunctionDrawing d = drawPhaseFunction(5, PhaseParameters{}, &file);
  const PhaseTable& t = *d.table;
  EXPECT_EQ(t.x.front(), 0.0);
  EXPECT_EQ(t.y.front(), 0.0);
  EXPECT_NEAR(t.x.back(), d.normalised ? 1.0 : d.totalIntegral, 1e-5);
  EXPECT_NEAR(d.bbRatio, 0.019, 0.003);
}

TEST(PhaseTablesTest, TablesRememberWhatTheyWereBuiltFor) {
  PhaseParameters p;
  const auto twoTerm = buildTwoTermHGTable(p);
  EXPECT_TRUE(twoTerm->isBuiltFor(1, p, ""));
  EXPECT_FALSE(twoTerm->isBuiltFor(2, p, ""));
  PhaseParameters other = p;
  other.g1 = 0.8;
  EXPECT_FALSE(twoTerm->isBuiltFor(1, other, ""));
  other = p;
  other.JungeCoeff = 4.5;  // not a two-term parameter
  EXPECT_TRUE(twoTerm->isBuiltFor(1, other, ""));
  // A weight outside 0..1 makes the cumulative fall: no table rather than NaN angles.
  other = p;
  other.g12Weight = 1.8;
  other.g2 = 0.9;
  other.g1 = -0.9;
  EXPECT_THROW(buildTwoTermHGTable(other), PhaseSettingError);
}

}  // namespace
}  // namespace pallix
