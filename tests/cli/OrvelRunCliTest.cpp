// `orvel run` as a user runs it: the report, reproducibility, batch files, saved
// reports and the errors that must not pass for success.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "support/RunProgram.h"

namespace {

using testsupport::ProgramResult;
using testsupport::readWholeFile;
using testsupport::TempDir;

// Small runs: a few sensors, few photons.
const std::vector<std::string> kSmall = {"--set", "Nphoton=1000", "--set", "NSensor=3", "--quiet"};

ProgramResult orvelRun(std::vector<std::string> args, const std::filesystem::path& workDir = {}) {
  args.insert(args.begin(), "run");
  return testsupport::runProgram(ORVEL_PROGRAM, args, workDir);
}

std::vector<std::string> small(std::vector<std::string> args) {
  args.insert(args.end(), kSmall.begin(), kSmall.end());
  return args;
}

std::vector<std::string> linesOf(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// The report of `printResult` at the end of standard output, from its first line on.
std::string reportPart(const std::string& out) {
  const std::size_t at = out.find("r[od]\tC_back(r)\tC_ref(r)");
  return at == std::string::npos ? std::string() : out.substr(at);
}

bool isOneLine(const std::string& text) { return !text.empty() && text.find('\n') == text.size() - 1; }

TEST(OrvelRun, DefaultRunPrintsTheArrayTablesAndTheReport) {
  const ProgramResult r = orvelRun({});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.err.find("seed: "), std::string::npos) << "the seed of a run without --seed";
  const std::vector<std::string> lines = linesOf(r.out);
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines[0], "diffuse target-viewing radiance");
  EXPECT_EQ(lines[1], "DirectScattered\tDirectUnscattered\tDiffuse\tTotal");

  const std::vector<std::string> report = linesOf(reportPart(r.out));
  ASSERT_EQ(report.size(), 22u) << "two headings and ten rows each";
  const char* distances[] = {"0.001", "0.5", "1.0", "1.5", "2.0", "2.5", "3.0", "3.5", "4.0", "4.5"};
  for (int i = 0; i < 10; ++i) {
    EXPECT_EQ(report[1 + i].substr(0, report[1 + i].find('\t')), distances[i]);
    EXPECT_EQ(report[12 + i].substr(0, report[12 + i].find('\t')), distances[i]);
  }
  EXPECT_EQ(report[11], "r[od]\tL_target(r)\tL_op_tar(r)\tE(r)\tE_op(r)\tL_back(r)\tL_ref(r)");
  // The four tables of the two passes and two arrays come first.
  const std::string tables = r.out.substr(0, r.out.size() - reportPart(r.out).size());
  for (const char* comment : {"diffuse background radiance", "collimated target-viewing radiance",
                              "collimated background radiance"}) {
    EXPECT_NE(tables.find(std::string(comment) + "\n"), std::string::npos) << comment;
  }
}

TEST(OrvelRun, SameSeedPrintsTheSameOnOneAndOnTwoThreads) {
  const ProgramResult one = orvelRun(small({"--seed", "7", "--threads", "1"}));
  const ProgramResult two = orvelRun(small({"--seed", "7", "--threads", "2"}));
  ASSERT_EQ(one.status, 0) << one.err;
  ASSERT_EQ(two.status, 0) << two.err;
  EXPECT_EQ(one.out, two.out);
  EXPECT_TRUE(one.err.empty()) << "no seed line when the seed is given: " << one.err;
  const ProgramResult other = orvelRun(small({"--seed", "8", "--threads", "2"}));
  EXPECT_NE(other.out, one.out);
}

TEST(OrvelRun, BatchFileWrittenAndReadBackGivesTheSameRun) {
  TempDir dir;
  const std::filesystem::path batch = dir / "b.txt";
  const ProgramResult written = orvelRun({"--write-batch", batch.string(), "--no-run"});
  ASSERT_EQ(written.status, 0) << written.err;
  EXPECT_TRUE(written.out.empty()) << "--no-run traces nothing";
  const std::string text = readWholeFile(batch);
  const std::vector<std::string> lines = linesOf(text);
  ASSERT_EQ(lines.size(), 100u);
  EXPECT_EQ(lines[0], "Nphoton:");
  EXPECT_EQ(lines[1], "20000");
  EXPECT_EQ(lines[2], "minWeight:");
  EXPECT_EQ(lines[3], "1.0E-10");

  // A shrunk run through a batch file equals the same settings given directly.
  const std::filesystem::path smallBatch = dir / "small.txt";
  ASSERT_EQ(orvelRun(small({"--write-batch", smallBatch.string(), "--no-run"})).status, 0);
  const std::string before = readWholeFile(smallBatch);
  const ProgramResult viaBatch = orvelRun({"--batch", smallBatch.string(), "--seed", "7", "--quiet"});
  const ProgramResult direct = orvelRun(small({"--seed", "7"}));
  ASSERT_EQ(viaBatch.status, 0) << viaBatch.err;
  EXPECT_EQ(viaBatch.out, direct.out);
  EXPECT_EQ(readWholeFile(smallBatch), before) << "the batch file is only read";

  // --write-batch without --no-run writes the file and runs.
  const std::filesystem::path andRun = dir / "and-run.txt";
  const ProgramResult both = orvelRun(small({"--write-batch", andRun.string(), "--seed", "7"}));
  ASSERT_EQ(both.status, 0) << both.err;
  EXPECT_EQ(both.out, direct.out);
  EXPECT_EQ(readWholeFile(andRun), before);
}

TEST(OrvelRun, BadSettingsFailWithOneLineNamingTheProblem) {
  TempDir dir;
  struct Case {
    const char* name;
    const char* batchText;  // nullptr: no batch file
    std::vector<std::string> args;
    const char* mentions;
  };
  const std::vector<Case> cases = {
      {"unknown key", "Nphoton:\n100\nbogus:\n1\n", {}, "line 3"},
      {"missing value", "Nphoton:\n100\nc:\n", {}, "line 3"},
      {"unparsable value", "Nphoton:\n100\nw0:\nlots\n", {}, "line 4"},
      {"missing batch file", nullptr, {"--batch", "no-such-batch.txt"}, "no-such-batch.txt"},
      {"--set without =", nullptr, {"--set", "Nphoton"}, "KEY=VALUE"},
      {"--set unknown key", nullptr, {"--set", "bogus=1"}, "bogus"},
      {"--set bad value", nullptr, {"--set", "c=-1"}, "c"},
      {"wavelength out of range", nullptr, {"--set", "wavelength=900"}, "900"},
      {"unreadable phase-function file", nullptr, {"--pf-file", "no-such-pf.txt"}, "no-such-pf.txt"},
      {"bad thread count", nullptr, {"--threads", "-1"}, "--threads"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args = c.args;
    if (c.batchText != nullptr) {
      const std::filesystem::path batch = dir / "bad.txt";
      std::ofstream(batch) << c.batchText;
      args = {"--batch", batch.string()};
    }
    args.push_back("--save");
    args.push_back((dir / "report.txt").string());
    const ProgramResult r = orvelRun(small(args), dir.path());
    EXPECT_NE(r.status, 0) << c.name;
    EXPECT_TRUE(isOneLine(r.err)) << c.name << ": " << r.err;
    EXPECT_NE(r.err.find(c.mentions), std::string::npos) << c.name << ": " << r.err;
    EXPECT_TRUE(r.out.empty()) << c.name;
    EXPECT_FALSE(std::filesystem::exists(dir / "report.txt")) << c.name << ": no report of a failed run";
  }
}

TEST(OrvelRun, SavedReportHoldsTheConditionsThenTheResults) {
  TempDir dir;
  const std::filesystem::path report = dir / "report.txt";
  const ProgramResult r = orvelRun(small({"--seed", "3", "--save", report.string()}));
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string saved = readWholeFile(report);
  EXPECT_EQ(saved.rfind("Target(Disk) Visibility Simulation:\n\nNphoton\t1000\n", 0), 0u) << saved;
  EXPECT_NE(saved.find("elapsed time\t"), std::string::npos);
  EXPECT_EQ(reportPart(saved), reportPart(r.out)) << "the results as the console shows them";
}

TEST(OrvelRun, FailedWritesAreReportedAndLeaveNoFile) {
  TempDir dir;
  const std::filesystem::path missingFolder = dir / "no-such-folder" / "x.txt";
  for (const char* option : {"--save", "--write-batch"}) {
    const ProgramResult r = orvelRun(small({option, missingFolder.string(), "--seed", "1"}));
    EXPECT_NE(r.status, 0) << option;
    EXPECT_TRUE(isOneLine(r.err)) << option << ": " << r.err;
    EXPECT_FALSE(std::filesystem::exists(missingFolder)) << option;
  }
  // A folder where the file should go.
  std::filesystem::create_directory(dir / "taken");
  const ProgramResult r = orvelRun(small({"--save", (dir / "taken").string(), "--seed", "1"}));
  EXPECT_NE(r.status, 0);
  EXPECT_TRUE(isOneLine(r.err)) << r.err;
}

TEST(OrvelRun, SphereTargetAndTheUsersPhaseFunctionFileRun) {
  TempDir dir;
  std::filesystem::create_directory(dir / "phaseFunction");
  const std::filesystem::path petzold = std::filesystem::path(SUITE_DATA_DIR) / "phaseFunction" / "petzold.txt";
  std::filesystem::copy_file(petzold, dir / "phaseFunction" / "my.txt");
  std::filesystem::copy_file(petzold, dir / "elsewhere.txt");

  struct Case {
    const char* name;
    std::vector<std::string> args;
    const char* conditionsLine;
  };
  const std::vector<Case> cases = {
      {"sphere", {"--sphere"}, "Phase function is One term Henyey - Greenstein"},
      {"bare name in phaseFunction", {"--pf-file", "my.txt"}, "User supplied scattering in file my.txt is used."},
      {"path as given",
       {"--pf-file", (dir / "elsewhere.txt").string()},
       "Phase function is Import  from  PF  file"},
      {"batch key", {"--set", "pfType=6", "--set", "userPFfile=my.txt"}, "User supplied scattering in file my.txt"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args = c.args;
    args.insert(args.end(), {"--seed", "5", "--save", "report.txt"});
    const ProgramResult r = orvelRun(small(args), dir.path());
    ASSERT_EQ(r.status, 0) << c.name << ": " << r.err;
    const std::vector<std::string> report = linesOf(reportPart(r.out));
    ASSERT_EQ(report.size(), 8u) << c.name;
    EXPECT_NE(report[1].find("\t"), std::string::npos);
    EXPECT_NE(readWholeFile(dir / "report.txt").find(c.conditionsLine), std::string::npos) << c.name;
  }
}

}  // namespace
