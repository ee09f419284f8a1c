// `orvel phase`: the phase-function preview as a user asks for it on the command line.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "support/RunProgram.h"

namespace {

using testsupport::runProgram;
using testsupport::TempDir;

// The "key<TAB>values..." lines of the output, each split at its tabs.
std::map<std::string, std::vector<std::string>> fields(const std::string& out) {
  std::map<std::string, std::vector<std::string>> result;
  std::istringstream lines(out);
  std::string line;
  while (std::getline(lines, line)) {
    std::vector<std::string> parts;
    std::istringstream cells(line);
    std::string cell;
    while (std::getline(cells, cell, '\t')) parts.push_back(cell);
    EXPECT_GE(parts.size(), 2u) << line;
    if (parts.empty()) continue;
    const std::string key = parts.front();
    parts.erase(parts.begin());
    result[key] = parts;
  }
  return result;
}

double number(const std::map<std::string, std::vector<std::string>>& f, const std::string& key, std::size_t i = 0) {
  const auto it = f.find(key);
  if (it == f.end() || it->second.size() <= i) {
    ADD_FAILURE() << "no value " << i << " of " << key;
    return 0.0;
  }
  return std::stod(it->second[i]);
}

TEST(OrvelPhase, DefaultsPreviewTheInitialMixtureInOrder) {
  const auto r = runProgram(ORVEL_PROGRAM, {"phase"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(r.err.empty()) << r.err;
  std::vector<std::string> keys;
  std::istringstream lines(r.out);
  for (std::string line; std::getline(lines, line);) keys.push_back(line.substr(0, line.find('\t')));
  EXPECT_EQ(keys, (std::vector<std::string>{"bb/b", "percentAngles", "truncated", "truncationIndex",
                                            "truncationAngle[deg]", "F", "c'", "w0'"}));
  const auto f = fields(r.out);
  EXPECT_NEAR(number(f, "bb/b"), 0.0181, 5e-5);
  ASSERT_EQ(f.at("percentAngles").size(), 5u);
  const double expected[] = {2.12, 3.27, 4.42, 5.74, 7.38};
  for (std::size_t k = 0; k < 5; ++k) EXPECT_NEAR(number(f, "percentAngles", k), expected[k], 0.005) << k;
  EXPECT_EQ(f.at("truncated")[0], "false");
  EXPECT_EQ(f.at("F")[0], "0.0");
  EXPECT_EQ(f.at("c'")[0], "1.0");
  EXPECT_EQ(f.at("w0'")[0], "0.7");
}

TEST(OrvelPhase, TruncationRescalesTheMedium) {
  const auto r = runProgram(ORVEL_PROGRAM, {"phase", "--truncate", "0.5"});
  ASSERT_EQ(r.status, 0) << r.err;
  const auto f = fields(r.out);
  EXPECT_EQ(f.at("truncated")[0], "true");
  EXPECT_EQ(f.at("truncationIndex")[0], "59");
  EXPECT_NEAR(number(f, "truncationAngle[deg]"), 7.5, 1e-9);
  const double F = number(f, "F");
  EXPECT_NEAR(F, 0.310, 5e-4);
  EXPECT_NEAR(number(f, "c'"), 1 - 0.7 * F, 1e-12);
  EXPECT_NEAR(number(f, "c'"), 0.783, 5e-4);
  EXPECT_NEAR(number(f, "w0'"), 0.7 * (1 - F) / (1 - 0.7 * F), 1e-12);
  EXPECT_NEAR(number(f, "w0'"), 0.617, 5e-4);
  // Truncation leaves bb/b and the percent angles as they are.
  const auto plain = fields(runProgram(ORVEL_PROGRAM, {"phase"}).out);
  EXPECT_EQ(f.at("bb/b"), plain.at("bb/b"));
  EXPECT_EQ(f.at("percentAngles"), plain.at("percentAngles"));
}

// The Petzold table is found beside the program from any working directory.
TEST(OrvelPhase, PetzoldFromAnotherWorkingDirectory) {
  TempDir elsewhere;
  const auto r = runProgram(ORVEL_PROGRAM, {"phase", "--type", "5"}, elsewhere.path());
  ASSERT_EQ(r.status, 0) << r.err;
  const auto f = fields(r.out);
  EXPECT_GT(number(f, "bb/b"), 0.01);
  EXPECT_LT(number(f, "bb/b"), 0.05);
  EXPECT_LT(number(f, "percentAngles", 0), number(f, "percentAngles", 4));
}

TEST(OrvelPhase, FileModelWithDisplayAndSpfTable) {
  TempDir dir;
  std::ofstream(dir / "iso.txt") << "isotropic\n3\nangle value\n0 1\n90 1\n180 1\n";
  const auto r = runProgram(ORVEL_PROGRAM,
                            {"phase", "--type", "6", "--file", "iso.txt", "--display", "19", "--spf", "SPF.txt"},
                            dir.path());
  ASSERT_EQ(r.status, 0) << r.err;
  const auto f = fields(r.out);
  EXPECT_NEAR(number(f, "bb/b"), 0.5, 1e-6);  // water and particles both scatter half backwards
  ASSERT_EQ(f.at("display").size(), 19u);
  const std::string spf = testsupport::readWholeFile(dir / "SPF.txt");
  EXPECT_EQ(spf.rfind("radian\tdegree\tspf\tcumulSPF\n", 0), 0u);
  EXPECT_EQ(std::count(spf.begin(), spf.end(), '\n'), 151);
  EXPECT_NE(spf.find("\n3.1415927\t180.0\t"), std::string::npos);
}

// A bare file name is looked up as a run looks it up: the "phaseFunction" folder before
// the working directory itself, so the preview shows the table the run will use.
TEST(OrvelPhase, FileNameIsFoundWhereTheRunFindsIt) {
  TempDir dir;
  std::filesystem::create_directories(dir / "phaseFunction");
  std::ofstream(dir / "phaseFunction" / "pf.txt") << "isotropic\n3\nangle value\n0 1\n90 1\n180 1\n";
  std::ofstream(dir / "pf.txt") << "forward\n3\nangle value\n0 100\n90 1\n180 1\n";
  const auto r = runProgram(ORVEL_PROGRAM, {"phase", "--type", "6", "--file", "pf.txt"}, dir.path());
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NEAR(number(fields(r.out), "bb/b"), 0.5, 1e-6);  // the isotropic table of the folder
}

TEST(OrvelPhase, BadInputFailsWithTheDialogsMessage) {
  TempDir dir;
  std::ofstream(dir / "short.txt") << "title\n5\nheadings\n0 1\n180 1\n";
  const struct {
    std::vector<std::string> args;
    std::string message;
  } cases[] = {
      {{"phase", "--junge", "3.4"}, "Junge Coefficient should be within 3.5 to 5. Try again please."},
      {{"phase", "--junge", "5.1"}, "Junge Coefficient should be within 3.5 to 5. Try again please."},
      {{"phase", "--real-index", "1.0"},
       "For all the ocean particles, it is assuemd that real index relative to water must greater than 1."},
      {{"phase", "--truncate", "0.95"}, "Forward Cut Ratio should be within 0 to 0.9."},
      {{"phase", "--truncate", "-0.1"}, "Forward Cut Ratio should be within 0 to 0.9."},
      {{"phase", "--type", "6", "--file", "missing.txt"},
       "Error in reading phase function file. File not found when loading file missing.txt"},
      {{"phase", "--type", "6", "--file", "short.txt"},
       "Error in reading phase function file. I/O error whenn loading file short.txt"},
      {{"phase", "--type", "6"}, "type 6 needs a phase-function file"},
      {{"phase", "--w0", "0.001"}, "below the pure-water scattering"},
      {{"phase", "--g", "1"}, "between -1 and 1"},
      {{"phase", "--spf", "no/such/folder/SPF.txt"}, "SPF.txt"},
      {{"phase", "--type", "7"}, "--type"},
      {{"phase", "--g", "abc"}, "--g"},
  };
  for (const auto& c : cases) {
    const auto r = runProgram(ORVEL_PROGRAM, c.args, dir.path());
    SCOPED_TRACE(c.args.back());
    EXPECT_NE(r.status, 0);
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
  }
  // Edge values the dialog accepts.
  for (const char* junge : {"3.5", "5.0"}) EXPECT_EQ(runProgram(ORVEL_PROGRAM, {"phase", "--junge", junge}).status, 0);
  EXPECT_EQ(runProgram(ORVEL_PROGRAM, {"phase", "--type", "2", "--real-index", "1.01"}).status, 0);
}

}  // namespace
