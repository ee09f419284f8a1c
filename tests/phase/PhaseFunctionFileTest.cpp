#include "orvel/phase/PhaseFunctionFile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>

#include "orvel/phase/FileSuppliedPF.h"
#include "orvel/phase/IsotropicPF.h"
#include "orvel/phase/PetzoldPF.h"
#include "phase/SamplingCheck.h"
#include "shared/Console.h"
#include "support/RunProgram.h"

namespace {

using testsupport::TempDir;

class PhaseFunctionFileTest : public ::testing::Test {
 protected:
  std::filesystem::path write(const std::string& name, const std::string& contents) {
    const auto path = dir / name;
    std::ofstream(path, std::ios::binary) << contents;
    return path;
  }
  TempDir dir;
};

TEST_F(PhaseFunctionFileTest, ReadsTheTableInRadiansAndIgnoresTheRest) {
  const auto path = write("pf.txt",
                          "title line\r\n3 data lines follow\r\nangle value\r\n"
                          "0  2.0 extra tokens\r\n\t90\t1.5\r\n180 1e-3\r\ntrailing comment\r\n");
  const auto table = readPhaseFunctionFile(path);
  ASSERT_EQ(table.fileTheta.size(), 3u);
  EXPECT_EQ(table.fileTheta[0], 0.0);
  EXPECT_EQ(table.fileTheta[1], M_PI / 2);
  EXPECT_EQ(table.fileTheta[2], M_PI);
  EXPECT_EQ(table.fileSPF, (std::vector<double>{2.0, 1.5, 1e-3}));
  // The instrument simulator's reading takes the whole count line as the integer.
  EXPECT_THROW(readPhaseFunctionFile(path, CountLine::WholeLine), PhaseFunctionFileError);
  const auto plain = write("plain.txt", "t\n3\nh\n0 1\n90 1\n180 1\n");
  EXPECT_EQ(readPhaseFunctionFile(plain, CountLine::WholeLine).fileSPF.size(), 3u);
}

TEST_F(PhaseFunctionFileTest, ContentErrorsAreReadFailures) {
  const struct {
    const char* what;
    const char* contents;
  } cases[] = {
      {"empty file", ""},
      {"count not a number", "t\nmany\nh\n0 1\n180 1\n"},
      {"count with a fraction", "t\n2.5\nh\n0 1\n180 1\n"},
      {"count below two", "t\n1\nh\n0 1\n"},
      {"negative count", "t\n-3\nh\n"},
      {"no heading line", "t\n2"},
      {"one number on a line", "t\n2\nh\n0 1\n180\n"},
      {"word for a value", "t\n2\nh\n0 1\n180 one\n"},
      {"fewer lines than the count", "t\n3\nh\n0 1\n180 1\n"},
      {"huge count", "t\n2000000000000\nh\n0 1\n180 1\n"},
      {"repeated angle", "t\n3\nh\n0 1\n0 2\n180 1\n"},
      {"falling angle", "t\n3\nh\n0 1\n100 2\n90 1\n"},
      {"value not a number", "t\n2\nh\n0 nan\n180 1\n"},
      {"infinite value", "t\n2\nh\n0 1\n180 inf\n"},
      {"overflowing angle", "t\n2\nh\n0 1\n1e999 1\n"},
  };
  for (const auto& c : cases) {
    const auto path = write("bad.txt", c.contents);
    try {
      readPhaseFunctionFile(path);
      ADD_FAILURE() << c.what << ": read without error";
    } catch (const PhaseFunctionFileError& e) {
      EXPECT_EQ(std::string(e.what()), "I/O error whenn loading file " + path.string()) << c.what;
    }
  }
}

TEST_F(PhaseFunctionFileTest, MissingFileKeepsTheCallersArrays) {
  const auto missing = dir / "nosuch.txt";
  std::vector<double> theta{1.0}, spf{2.0};
  console::Capture capture;
  EXPECT_FALSE(readPFfile(missing, theta, spf));
  EXPECT_EQ(capture.messages(), "File not found when loading file " + missing.string() + "\n");
  EXPECT_EQ(theta, std::vector<double>{1.0});
  EXPECT_EQ(spf, std::vector<double>{2.0});
  // A bad file leaves them too.
  EXPECT_FALSE(readPFfile(write("bad.txt", "t\n3\nh\n0 1\n"), theta, spf));
  EXPECT_EQ(theta, std::vector<double>{1.0});
  EXPECT_TRUE(readPFfile(write("good.txt", "t\n2\nh\n0 1\n180 1\n"), theta, spf));
  EXPECT_EQ(theta.size(), 2u);
}

// Three points of the value 1 at 0, 90 and 180 deg make the isotropic function.
TEST(FileSuppliedPF, ThreeEqualPointsAreIsotropic) {
  const std::vector<double> theta{0, M_PI / 2, M_PI}, value{1, 1, 1};
  const FileSuppliedPF model(theta, value);
  const auto table = model.getSPFarrays();
  for (std::size_t i = 0; i < 150; ++i) {
    EXPECT_NEAR(table[1][i], 1 / (4 * M_PI), 1e-8) << i;
    EXPECT_NEAR(table[2][i], (1 - std::cos(table[0][i])) / 2, 1e-8) << i;
  }
  EXPECT_EQ(table[2][149], 1.0);
  EXPECT_NEAR(model.getBbRatio(), 0.5, 1e-8);
  EXPECT_EQ(model.getF(), 0.0);
  EXPECT_FALSE(model.getPercentScatteringAngles().has_value());
}

// Through few, steeply falling points the natural spline dips below zero; the model
// takes the values as they are.
TEST(FileSuppliedPF, SplineDipBelowZeroIsKept) {
  const std::vector<double> theta{0.1 * M_PI / 180, M_PI / 2, M_PI}, value{100, 1, 1};
  const FileSuppliedPF model(theta, value);
  const auto table = model.getSPFarrays();
  bool negative = false, falls = false;
  for (std::size_t i = 1; i < 150; ++i) {
    negative = negative || table[1][i] < 0;
    falls = falls || table[2][i] < table[2][i - 1];
  }
  EXPECT_TRUE(negative);
  EXPECT_TRUE(falls);
}

TEST(MeasuredModels, RejectTablesASplineCannotTake) {
  const std::vector<double> two{0, M_PI}, one{0}, repeated{0, 0, M_PI}, values3{1, 1, 1}, values2{1, 1};
  EXPECT_THROW(FileSuppliedPF(one, std::vector<double>{1}), std::invalid_argument);
  EXPECT_THROW(FileSuppliedPF(two, values3), std::invalid_argument);
  EXPECT_THROW(FileSuppliedPF(repeated, values3), std::invalid_argument);
  EXPECT_THROW(PetzoldPF(repeated, values3), std::invalid_argument);
  EXPECT_THROW(PetzoldPF(two, std::vector<double>{0, 1}), std::invalid_argument);  // log of 0
  EXPECT_THROW(PetzoldPF(two, std::vector<double>{1, -1}), std::invalid_argument);
  EXPECT_NO_THROW(PetzoldPF(two, values2));
}

class ShippedPetzold : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { table = readPhaseFunctionFile(SUITE_DATA_DIR "/phaseFunction/petzold.txt"); }
  static inline PhaseFunctionFileTable table;
};

TEST_F(ShippedPetzold, ForwardAnglesFollowTheLogLinearLineThroughTheFirstTwoPoints) {
  ASSERT_GE(table.fileTheta.size(), 2u);
  const PetzoldPF model(table.fileTheta, table.fileSPF);
  const auto grid = model.getSPFarrays();
  EXPECT_EQ(grid[2][149], 1.0);
  EXPECT_NEAR(1 - grid[2][119], model.getBbRatio(), 1e-15);
  EXPECT_GT(model.getBbRatio(), 0.0);
  EXPECT_LT(model.getBbRatio(), 0.05);
  const double t0 = table.fileTheta[0], t1 = table.fileTheta[1];
  const double b0 = table.fileSPF[0], b1 = table.fileSPF[1];
  auto line = [&](double theta) { return std::exp(std::log(b1) + std::log(b0 / b1) * (t1 - theta) / (t1 - t0)); };
  const double scale = grid[1][0] / line(grid[0][0]);  // the normalisation
  for (std::size_t i = 0; i <= 11; ++i) EXPECT_NEAR(grid[1][i], scale * line(grid[0][i]), 1e-12 * grid[1][i]) << i;
  for (std::size_t i = 1; i < 150; ++i) EXPECT_GT(grid[2][i], grid[2][i - 1]) << i;
}

TEST_F(ShippedPetzold, FileModelsSampleTheirCumulativeTables) {
  const PetzoldPF petzold(table.fileTheta, table.fileSPF);
  const FileSuppliedPF fromFile(table.fileTheta, table.fileSPF);
  for (const PhaseFunction* model : {static_cast<const PhaseFunction*>(&petzold), static_cast<const PhaseFunction*>(&fromFile)}) {
    const auto grid = model->getSPFarrays();
    auto rng = Random::stream(31, {});
    const auto chi = phasetest::chiSquareAgainstTable([&](Random& r) { return model->getScatteringAngle(r); }, grid[0],
                                                      grid[2], 1'000'000, rng);
    EXPECT_TRUE(chi.passes()) << chi.statistic << " on " << chi.degreesOfFreedom << " dof";
  }
}

TEST(SPFfile, HeadingAndOneSinglePrecisionLinePerGridAngle) {
  const std::string text = formatSPFfile(IsotropicPF());
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
    lines.push_back(text.substr(start, end - start));
  }
  EXPECT_EQ(start, text.size());
  ASSERT_EQ(lines.size(), 151u);
  EXPECT_EQ(lines[0], "radian\tdegree\tspf\tcumulSPF");
  EXPECT_EQ(lines[1], "0.0\t0.0\t0.07957747\t0.0");
  EXPECT_EQ(lines[2].rfind("1.7453292E-4\t0.01\t0.07957747\t", 0), 0u) << lines[2];  // below 1e-3: scientific
  EXPECT_EQ(lines[120], "1.5707964\t90.0\t0.07957747\t0.5");
  EXPECT_EQ(lines[150], "3.1415927\t180.0\t0.07957747\t1.0");
}

}  // namespace
