// `orvel sky`: the incident light as a user asks for it on the command line.

#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "support/RunProgram.h"

namespace {

using testsupport::runProgram;

// The "name<TAB>value" lines of the output.
std::map<std::string, std::string> fields(const std::string& out) {
  std::map<std::string, std::string> result;
  std::istringstream lines(out);
  std::string line;
  while (std::getline(lines, line)) {
    const auto tab = line.find('\t');
    EXPECT_NE(tab, std::string::npos) << line;
    if (tab != std::string::npos) result[line.substr(0, tab)] = line.substr(tab + 1);
  }
  return result;
}

double number(const std::map<std::string, std::string>& f, const std::string& name) {
  const auto it = f.find(name);
  if (it == f.end()) {
    ADD_FAILURE() << "no line " << name;
    return 0.0;
  }
  return std::stod(it->second);
}

TEST(OrvelSky, DefaultsGiveTheSolarModelAt550nmAnd30Degrees) {
  const auto r = runProgram(ORVEL_PROGRAM, {"sky"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  const auto f = fields(r.out);
  EXPECT_EQ(f.size(), 5u) << r.out;
  EXPECT_NEAR(number(f, "Edir"), 1.001880, 5e-7);
  EXPECT_NEAR(number(f, "Edif"), 0.368290, 5e-7);
  EXPECT_NEAR(number(f, "Ed"), 1.370170, 5e-7);
  EXPECT_EQ(f.at("ratio"), "0.2687917");
  EXPECT_NEAR(number(f, "scaleFactor"), 0.563046, 5e-7);
  EXPECT_EQ(r.out.rfind("Edir\t", 0), 0u) << "Edir comes first";
}

TEST(OrvelSky, SkyRadianceOfOneDirection) {
  struct Case {
    std::vector<std::string> args;
    double expected;
  };
  const Case cases[] = {
      {{"sky", "--sky-theta", "0"}, 0.266951},
      {{"sky", "--sky-theta", "45", "--sky-phi", "180"}, 0.108639},
      {{"sky", "--cloud", "1", "--sky-theta", "0", "--sky-phi", "0"}, 0.394905},
      {{"sky", "--model", "simple", "--coeff", "1", "--sky-theta", "0"}, 0.3819719},
      {{"sky", "--model", "simple", "--coeff", "1", "--sky-theta", "90", "--sky-phi", "77"}, 0.1909859},
  };
  for (const Case& c : cases) {
    const auto r = runProgram(ORVEL_PROGRAM, c.args);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NEAR(number(fields(r.out), "skyRadiance"), c.expected, 5e-7) << r.out;
  }
}

TEST(OrvelSky, OvercastAndSimpleModel) {
  const auto overcast = fields(runProgram(ORVEL_PROGRAM, {"sky", "--cloud", "1"}).out);
  EXPECT_EQ(overcast.at("Edir"), "0.0");
  EXPECT_EQ(overcast.at("ratio"), "1.0");

  // The simple model's defaults are the settings' initial values.
  const auto r = runProgram(ORVEL_PROGRAM, {"sky", "--model", "simple"});
  ASSERT_EQ(r.status, 0) << r.err;
  const auto simple = fields(r.out);
  EXPECT_EQ(simple.count("scaleFactor"), 0u);
  EXPECT_EQ(simple.at("ratio"), "0.2687917");
  EXPECT_NEAR(number(simple, "Ed"), 1.3701702, 1e-15);

  const auto split =
      fields(runProgram(ORVEL_PROGRAM, {"sky", "--model", "simple", "--total", "2", "--ratio", "0.25"}).out);
  EXPECT_EQ(split.at("Edir"), "1.5");
  EXPECT_EQ(split.at("Edif"), "0.5");
  EXPECT_EQ(split.at("Ed"), "2.0");
}

TEST(OrvelSky, BadInputFailsWithOneLineOnStandardError) {
  struct Case {
    std::vector<std::string> args;
    std::string reason;  // part of the message
  };
  const Case cases[] = {
      {{"sky", "--wavelength", "349"}, "Wavelength range should be 350-801."},
      {{"sky", "--wavelength", "802"}, "Wavelength range should be 350-801."},
      {{"sky", "--model", "simple", "--coeff", "-1.5"}, "-1.5"},
      {{"sky", "--total", "1"}, "simple model"},
      {{"sky", "--model", "simple", "--cloud", "0.5"}, "solar model"},
      {{"sky", "--cloud", "1.5"}, "--cloud"},
      {{"sky", "--sky-theta", "95"}, "--sky-theta"},
      {{"sky", "--model", "cloudy"}, "--model"},
  };
  for (const Case& c : cases) {
    const auto r = runProgram(ORVEL_PROGRAM, c.args);
    EXPECT_NE(r.status, 0) << c.args.back();
    EXPECT_EQ(r.out, "") << c.args.back();
    EXPECT_NE(r.err.find(c.reason), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
  }
  // The wavelength limits themselves are valid.
  for (const char* wave : {"350", "801"}) {
    EXPECT_EQ(runProgram(ORVEL_PROGRAM, {"sky", "--wavelength", wave}).status, 0) << wave;
  }
}

}  // namespace
