#include "orvel/engine/ResultReport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "shared/Console.h"
#include "shared/TextFile.h"
#include "support/RunProgram.h"

namespace orvel {
namespace {

std::string joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

// A run of four sensors per array with the initial settings otherwise.
class ResultReportTest : public ::testing::Test {
 protected:
  ResultReportTest() {
    results.control.NSensor = 4;
    results.radTarget = {4.0, 3.0, 0.0, 1.0};
    results.radBackGround = {2.0, 1.0, 0.0, 1.0};
    results.bbRatio = 0.018;
    results.elapsedSeconds = 12;
  }
  VisibilityResults results;
};

TEST_F(ResultReportTest, ContrastTableUsesDistancesInOpticalDepthsAndKeepsNaN) {
  // No reference array ran, so C_ref is 1.0 wherever L_t > 0 and NaN where L_t = 0;
  // C_back is NaN where both radiances are 0.
  const std::vector<std::string> lines = resultReportLines(results);
  ASSERT_GE(lines.size(), 5u);
  EXPECT_EQ(lines[0], "r[od]\tC_back(r)\tC_ref(r)");
  EXPECT_EQ(lines[1], "0.001\t0.33333334\t1.0");
  EXPECT_EQ(lines[2], "0.5\t0.5\t1.0");
  EXPECT_EQ(lines[3], "1.0\tNaN\tNaN");
  EXPECT_EQ(lines[4], "1.5\t0.0\t1.0");
}

TEST_F(ResultReportTest, BackgroundArrayOffGivesContrastOneAndFirstDistanceScalesWithC) {
  results.radBackGround.clear();
  results.control.c = 2.0;
  results.control.LT0distance = 250.0;  // 0.25 m x 2 /m = 0.5 optical depths
  const std::vector<std::string> lines = resultReportLines(results);
  EXPECT_EQ(lines[1], "0.5\t1.0\t1.0");
  EXPECT_EQ(lines[2], "0.5\t1.0\t1.0");  // r(1) = 1 x spacing, independent of c
}

TEST_F(ResultReportTest, RadianceTablePutsIrradiancesBeforeBackgroundAndReference) {
  results.control.NSensor = 1;
  results.radTarget = {1.0};
  results.radOppositeTarget = {2.0};
  results.irradTarget = {3.0};
  results.irradOppositeTarget = {4.0};
  results.radBackGround = {5.0};
  results.radReferenceTarget = {6.0e-5};
  const std::vector<std::string> lines = resultReportLines(results);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[1], "0.001\t0.6666667\t0.99988");
  EXPECT_EQ(lines[2], "r[od]\tL_target(r)\tL_op_tar(r)\tE(r)\tE_op(r)\tL_back(r)\tL_ref(r)");
  EXPECT_EQ(lines[3], "0.001\t1.0\t2.0\t3.0\t4.0\t5.0\t6.0E-5");
}

TEST_F(ResultReportTest, TestHistogramsAppearOnlyWhenTheirTestWasOn) {
  results.lambertianCones = {{0.0, 12, 0.25}, {3.0, 7, 0.1}};
  results.scatteringCones = {{0.0, 40, 2.5}, {3.0, 9, 0.125}};
  struct Case {
    bool lambertian, targetPresent, photons, spf;
    std::string tail;  // the report after its two tables
  };
  const Case cases[] = {
      {false, true, true, false, ""},
      {true, false, true, false, ""},
      {true, true, true, false, "Lambertian Test\nangle\tphotons\n0.0\t12\n3.0\t7\n"},
      {true, true, false, false, "Lambertian Test\nangle\tphotons\n0.0\t0.25\n3.0\t0.1\n"},
      {false, true, true, true, "Scattering Test\nangle\tphotons\tspf\n0.0\t40\t2.5\n3.0\t9\t0.125\n"},
  };
  for (const Case& c : cases) {
    results.control.isLambertianTest = c.lambertian;
    results.control.isTargetPresent = c.targetPresent;
    results.control.isLambertianPhotons = c.photons;
    results.control.isSPFTest = c.spf;
    const std::vector<std::string> lines = resultReportLines(results);
    const std::vector<std::string> tail(lines.begin() + 2 * (1 + results.control.NSensor), lines.end());
    EXPECT_EQ(joined(tail), c.tail) << "lambertian " << c.lambertian << " target " << c.targetPresent
                                    << " photons " << c.photons << " spf " << c.spf;
  }
}

TEST_F(ResultReportTest, ArrayOfTheWrongLengthIsRefused) {
  results.radBackGround = {1.0, 2.0};
  EXPECT_THROW(resultReportLines(results), std::invalid_argument);
}

TEST_F(ResultReportTest, ConditionsOfTheInitialSettings) {
  EXPECT_EQ(joined(conditionsReportLines(results)),
            "Target(Disk) Visibility Simulation:\n"
            "\n"
            "Nphoton\t20000\n"
            "c[1/m]\t1.0\n"
            "w0(SSA)\t0.7\n"
            "Sea water of a(550nm) = 0.0638 and b(550nm) = 0.0019 is included.\n"
            "second component:\n"
            "Phase function is One term Henyey - Greenstein\n"
            "g(H-G)\t0.925\n"
            "\n"
            "(bb/b)ratio\t0.018\n"
            "bottomDepth[m]\tInfinite\n"
            "bottomDepth[o.d.]\tInfinite\n"
            "targetRadius[m]\t1.0\n"
            "targetDepth[m]\t5.0\n"
            "targetAlbedo\t1.0\n"
            "sensorAzimuthAngle\t180.0\n"
            "sensorZenithAngle\t90.0\n"
            "elapsed time\t12\n"
            "\n");
}

TEST_F(ResultReportTest, ConditionsOfAFiniteBottomReferenceDiskAndNoWaterOrTarget) {
  Control& c = results.control;
  c.isWaterIncluded = false;
  c.isTargetPresent = false;
  c.isReferenceTargetPresent = true;
  c.referenceAlbedo = 0.1;
  c.isBottomInfinite = false;
  c.bottomDepth = 12.5;
  c.bottomAlbedo = 0.3;
  c.c = 0.4;
  const std::string text = joined(conditionsReportLines(results));
  EXPECT_EQ(text.find("Sea water"), std::string::npos);
  EXPECT_EQ(text.find("second component:"), std::string::npos);
  EXPECT_EQ(text.find("target"), std::string::npos);
  EXPECT_NE(text.find("c[1/m]\t0.4\n"), std::string::npos);
  EXPECT_NE(text.find("\n(bb/b)ratio\t0.018\nbottomDepth[m]\t12.5\nbottomDepth[o.d.]\t5.0\nbottomAlbedo\t0.3\n"
                      "referenceAlbedo\t0.1\nsensorAzimuthAngle"),
            std::string::npos)
      << text;
}

TEST_F(ResultReportTest, EachPhaseFunctionTypeDescribesItsOwnParameters) {
  results.control.userPFfile = "kelp.txt";
  const std::string blocks[] = {
      "One term Henyey - Greenstein\ng(H-G)\t0.925\n\n",
      "Two term Henyey - Greenstein\ng1(H-G)\t0.9\ng2(H-G)\t-0.2\ng12Weight\t0.5\n\n",
      "Fournier - Forand\nJungeCoeff\t4.0\nrealIndex\t1.15\n\n",
      "Isotropic\nIsotropic scattering is used.\n\n",
      "Pure  water\nPure water scattering is used.\n\n",
      "Average  particle (Petzold)\nPetzold's average scattering is used.\n\n",
      "Import  from  PF  file\nUser supplied scattering in file kelp.txt is used.\n\n",
  };
  for (int type = 0; type < Control::nPfType; ++type) {
    results.control.pfType = type;
    const std::string text = joined(conditionsReportLines(results));
    const std::string expected = "second component:\nPhase function is " + blocks[type] + "(bb/b)ratio\t";
    EXPECT_NE(text.find(expected), std::string::npos) << "pfType " << type << "\n" << text;
    if (type != 6) {
      EXPECT_EQ(text.find("User supplied"), std::string::npos) << "pfType " << type;
    }
  }
}

TEST_F(ResultReportTest, PrintersWriteTheSameLinesToTheConsole) {
  console::Capture capture;
  printConditions(results);
  printResult(results);
  EXPECT_EQ(capture.out(), savedReportText(results));
  EXPECT_EQ(savedReportText(results),
            joined(conditionsReportLines(results)) + joined(resultReportLines(results)));
}

TEST_F(ResultReportTest, SavingBeforeAnyRunIsRefusedAndWritesNothing) {
  testsupport::TempDir dir;
  const std::filesystem::path path = dir.path() / "result.txt";
  EXPECT_THROW(saveResultReport(path, nullptr), NothingToSaveError);
  EXPECT_FALSE(std::filesystem::exists(path));

  saveResultReport(path, &results);
  EXPECT_EQ(testsupport::readWholeFile(path), savedReportText(results));
}

TEST_F(ResultReportTest, FailedSaveIsReportedAndLeavesTheOldFile) {
  testsupport::TempDir dir;
  EXPECT_THROW(saveResultReport(dir.path() / "missing" / "result.txt", &results), FileWriteError);
  // A folder standing where the file should go cannot be replaced by the report.
  const std::filesystem::path blocked = dir.path() / "blocked";
  std::filesystem::create_directory(blocked);
  std::ofstream(blocked / "keep.txt") << "old";
  EXPECT_THROW(saveResultReport(blocked, &results), FileWriteError);
  EXPECT_EQ(testsupport::readWholeFile(blocked / "keep.txt"), "old");
}

}  // namespace
}  // namespace orvel
