#include <gtest/gtest.h>

#include "support/RunProgram.h"

using testsupport::runProgram;

TEST(OrvelCommandLine, HelpAndVersion) {
  auto help = runProgram(ORVEL_PROGRAM, {"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("phase"), std::string::npos);
  EXPECT_NE(help.out.find("sky"), std::string::npos);
  EXPECT_NE(help.out.find("run"), std::string::npos);
  auto version = runProgram(ORVEL_PROGRAM, {"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out.rfind("orvel ", 0), 0u);
}

TEST(OrvelCommandLine, UnknownOptionFailsWithOneLineReason) {
  for (const char* bad : {"--bogus", "nosuchcommand"}) {
    auto r = runProgram(ORVEL_PROGRAM, {bad});
    EXPECT_NE(r.status, 0) << bad;
    EXPECT_TRUE(r.out.empty()) << bad;
    ASSERT_FALSE(r.err.empty()) << bad;
    EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
  }
}
