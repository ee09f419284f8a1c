// `pallix` as a user runs it: the run subcommands, their files and output, settings
// input, errors, and the phase-function draw action.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "support/RunProgram.h"
#include "support/TextForm.h"

namespace {

using testsupport::runProgram;
using testsupport::TempDir;

std::vector<std::string> linesOf(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string l; std::getline(in, l);) lines.push_back(l);
  return lines;
}

// The text after "key\t" on the line that starts with it.
std::string field(const std::string& out, const std::string& key) {
  for (const auto& l : linesOf(out))
    if (l.rfind(key + "\t", 0) == 0) return l.substr(key.size() + 1);
  return "";
}

class PallixCli : public ::testing::Test {
 protected:
  testsupport::ProgramResult pallix(const std::vector<std::string>& args) {
    return runProgram(PALLIX_PROGRAM, args, dir_.path());
  }
  TempDir dir_;
};

TEST_F(PallixCli, KThenRunPrintsKAndTheAChannel) {
  const auto k = pallix({"k", "--set", "Nphoton=20000", "--seed", "5"});
  ASSERT_EQ(k.status, 0) << k.err;
  const auto lines = linesOf(k.out);
  ASSERT_EQ(lines.size(), 3u) << k.out;
  EXPECT_TRUE(testsupport::matchesForm(lines[0], "weight/total photon = {n}/20000")) << lines[0];
  EXPECT_TRUE(testsupport::matchesForm(lines[1], "starting photons = 20000 captured number = {c}"));
  const std::string kText = field(k.out, "k");
  ASSERT_FALSE(kText.empty());
  EXPECT_EQ(k.err.find("seed"), std::string::npos);  // the seed was given

  const auto run = pallix({"run", "--k", kText, "--set", "Nphoton=20000", "--seed", "6"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(testsupport::matchesForm(field(run.out, "a"), "{n}   K = {n}")) << run.out;
  EXPECT_EQ(field(run.out, "beta"), "");
}

TEST_F(PallixCli, CalibrateThenBetaRunThenSweep) {
  const auto cal = pallix({"calibrate", "--set", "Nphoton=1000", "--quiet"});
  ASSERT_EQ(cal.status, 0) << cal.err;
  EXPECT_EQ(linesOf(cal.out).size(), 25u);
  const auto weighting = linesOf(testsupport::readWholeFile(dir_ / "weighting.txt"));
  ASSERT_EQ(weighting.size(), 28u);
  EXPECT_EQ(weighting[1], "25");
  EXPECT_EQ(weighting[3].rfind("2.0\t", 0), 0u);
  EXPECT_EQ(weighting[27].rfind("14.0\t", 0), 0u);

  const auto beta = pallix({"run", "--channels", "beta", "--set", "Nphoton=2000", "--seed", "3"});
  ASSERT_EQ(beta.status, 0) << beta.err;
  const std::string out = beta.out;
  for (const char* head : {"b_relative_scattering = ", "beta Eq7 = ", "beta(140) vsf = ", "beta(124) = ",
                           "beta(144) = "})
    EXPECT_NE(out.find(std::string("\n") + head), std::string::npos) << head;
  EXPECT_TRUE(testsupport::matchesForm(field(out, "beta"), "beta={n} vsf={n}")) << out;
  EXPECT_EQ(field(out, "a"), "");

  const auto sweep = pallix({"sweep", "--channels", "a,beta", "--k", "0.05", "--set", "Nphoton=300", "--seed", "4"});
  ASSERT_EQ(sweep.status, 0) << sweep.err;
  const auto batch = linesOf(testsupport::readWholeFile(dir_ / "batchResult.txt"));
  ASSERT_EQ(batch.size(), 20u);
  EXPECT_EQ(batch[0], "c\tw0\tK");
  EXPECT_EQ(batch[10], "c\tw0\tbeta");
  EXPECT_EQ(batch[1].rfind("1.0\t0.1\t", 0), 0u);
}

TEST_F(PallixCli, SameSeedSameOutputOnOneAndTwoThreads) {
  const std::vector<std::string> base = {"run", "--k", "0.05", "--set", "Nphoton=3000", "--seed", "99", "--threads"};
  auto one = base, two = base;
  one.push_back("1");
  two.push_back("2");
  const auto r1 = pallix(one);
  const auto r2 = pallix(two);
  ASSERT_EQ(r1.status, 0) << r1.err;
  EXPECT_EQ(r1.out, r2.out);
}

TEST_F(PallixCli, SettingsFileAndSetOptions) {
  std::ofstream(dir_ / "settings.txt") << "Nphoton:\n3000\n\naHeight:\n12.5\n";
  const auto r = pallix({"k", "--settings", "settings.txt", "--set", "Nphoton=2500", "--seed", "1"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("/2500\n"), std::string::npos) << r.out;

  std::ofstream(dir_ / "bad.txt") << "Nphoton:\nmany\n";
  const auto bad = pallix({"k", "--settings", "bad.txt"});
  EXPECT_EQ(bad.status, 1);
  EXPECT_NE(bad.err.find("bad.txt line 1"), std::string::npos) << bad.err;
}

TEST_F(PallixCli, RefusalsExitWithOneAndAMessage) {
  struct Case {
    std::vector<std::string> args;
    const char* message;
  };
  const Case cases[] = {
      {{"run"}, "Error: Diffuser reflection to sensor (k) must be computed first."},
      {{"run", "--k", "abc"}, "\"abc\""},
      {{"run", "--channels", "beta"}, "File not found when loading file (weighting.txt)"},
      {{"run", "--channels", "gamma", "--k", "0.1"}, "gamma"},
      {{"k", "--set", "Nphotons=5"}, "unknown setting \"Nphotons\""},
      {{"k", "--set", "BfovLEDSliderValue=101"}, "0..100"},
      {{"calibrate", "--set", "intervalDiffuser=0"}, "No diffuser distance"},
      {{"sweep", "--k", "0.1", "--set", "endw0=-1"}, "No w0 value"},
  };
  for (const Case& c : cases) {
    const auto r = pallix(c.args);
    EXPECT_EQ(r.status, 1) << c.args[0];
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "") << c.args[0];
  }
  EXPECT_FALSE(std::filesystem::exists(dir_ / "weighting.txt"));
}

TEST_F(PallixCli, PhaseDrawsBbRatioAndThePlot) {
  const auto hg = pallix({"phase"});
  ASSERT_EQ(hg.status, 0) << hg.err;
  EXPECT_EQ(hg.out, "bb/b\t0.016748976535290592\n");

  const auto iso = pallix({"phase", "--type", "3", "--display", "19"});
  ASSERT_EQ(iso.status, 0) << iso.err;
  const auto lines = linesOf(iso.out);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], "bb/b\t0.5");
  std::string expected = "display";
  for (int i = 0; i < 19; ++i) expected += "\t0.07957747154594767";
  EXPECT_EQ(lines[1], expected);

  const auto ff = pallix({"phase", "--type", "2"});
  ASSERT_EQ(ff.status, 0) << ff.err;
  EXPECT_NE(ff.err.find("Normalization error, total integral = "), std::string::npos) << ff.err;
  EXPECT_NEAR(std::stod(field(ff.out, "bb/b")), 0.0562, 0.001);

  const auto petzold = pallix({"phase", "--type", "5"});  // the table beside the program
  ASSERT_EQ(petzold.status, 0) << petzold.err;
  EXPECT_GT(std::stod(field(petzold.out, "bb/b")), 0.0);

  const auto angle = pallix({"phase", "--forward-angle", "0.0009"});
  EXPECT_EQ(angle.status, 1);
  EXPECT_NE(angle.err.find("It will result in difficulty in drawing phase function graph."), std::string::npos);

  const auto missing = pallix({"phase", "--type", "6", "--file", "nothing.txt"});
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("I/O error in reading phase function!"), std::string::npos) << missing.err;
}

}  // namespace
