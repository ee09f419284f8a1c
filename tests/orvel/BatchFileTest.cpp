#include "orvel/engine/BatchFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "shared/TextFile.h"
#include "support/RunProgram.h"

namespace orvel {
namespace {

std::vector<std::string> splitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// Every batch setting moved away from its initial value, with values that only a
// shortest-round-trip double survives, and the imported phase-function type so that
// the file name is written too.
Control everyBatchSettingChanged() {
  Control c;
  c.Nphoton = 123457;
  c.minWeight = 3.3e-12;
  c.maxScatEvents = 7;
  c.isTargetPresent = false;
  c.isTargetViewingRadianceSensor = false;
  c.isOppositeTargetViewingRadianceSensor = true;
  c.isBackGroundRadianceSensor = false;
  c.isTargetViewingIrradianceSensor = true;
  c.isOppositeTargetViewingIrradianceSensor = true;
  c.isReferenceTargetPresent = true;
  c.targetRadius = 0.1 + 0.2;
  c.targetDepth = 7.25;
  c.targetAlbedo = 0.8;
  c.referenceAlbedo = 0.05;
  c.sensorAzimuthAngle = 135.0;
  c.sensorZenithAngle = 60.5;
  c.sensorFOV = 1.0 / 3.0;
  c.radSensorRadius = 12.0;
  c.irradianceDiameter = 25.4;
  c.radSensorSpacing = 0.25;
  c.sensorArrayDistance = 3.0;
  c.NSensor = 17;
  c.LT0distance = 2.5;
  c.isBottomInfinite = false;
  c.bottomDepth = 33.3;
  c.bottomAlbedo = 0.15;
  c.inRadType = 1;
  c.isDiffuseMode = false;
  c.isCollimatedMode = false;
  c.solarZenithAngle = 45.0;
  c.collimationTolerance = 0.25;
  c.cloudCover = 0.7;
  c.wavelength = 443;
  c.cardioidalCoeff = 2.0;
  c.cardioidalTotalEd = 1.2345678901234567;
  c.cardioidalSkyEdToTotalEd = 1.0 / 7.0;
  c.c = 0.35;
  c.w0 = 0.95;
  c.isWaterIncluded = false;
  c.bWater = 0.0045;
  c.aWater = 0.0145;
  c.pfType = 6;
  c.userPFfile = "my phase function.txt";
  c.isPFtruncated = true;
  c.initialForwardScat = 0.3;
  c.g = 0.8;
  c.g1 = 0.95;
  c.g2 = -0.4;
  c.g12Weight = 0.75;
  c.JungeCoeff = 3.6;
  c.realIndex = 1.05;
  return c;
}

TEST(BatchFileTest, InitialSettingsGiveOneHundredLinesInFileOrder) {
  const std::vector<std::string> lines = splitLines(batchFileText(Control{}));
  ASSERT_EQ(lines.size(), 100u);
  const std::vector<std::string> head(lines.begin(), lines.begin() + 8);
  EXPECT_EQ(head, (std::vector<std::string>{"Nphoton:", "20000", "minWeight:", "1.0E-10", "maxScatEvents:",
                                             "30", "isTargetPresent:", "true"}));
  EXPECT_EQ(lines[82], "pfType:");
  EXPECT_EQ(lines[84], "isPFtruncated:");
  EXPECT_EQ(lines[98], "realIndex:");
  EXPECT_EQ(lines[99], "1.15");
  EXPECT_EQ(batchSettingNames().size(), 51u);
  for (std::size_t i = 0, k = 0; i < batchSettingNames().size(); ++i) {
    if (batchSettingNames()[i] == "userPFfile") continue;
    EXPECT_EQ(lines[2 * k], std::string(batchSettingNames()[i]) + ":");
    ++k;
  }
}

TEST(BatchFileTest, ImportedPhaseFunctionAddsTheFileNameAfterItsType) {
  Control c;
  c.pfType = 6;
  c.userPFfile = "kelp.txt";
  const std::vector<std::string> lines = splitLines(batchFileText(c));
  ASSERT_EQ(lines.size(), 102u);
  EXPECT_EQ(lines[82], "pfType:");
  EXPECT_EQ(lines[83], "6");
  EXPECT_EQ(lines[84], "userPFfile:");
  EXPECT_EQ(lines[85], "kelp.txt");
  EXPECT_EQ(lines[86], "isPFtruncated:");
}

TEST(BatchFileTest, EverySettingSurvivesTheRoundTripThroughAFile) {
  const Control written = everyBatchSettingChanged();
  // The changed record must differ from the initial one in every value line, or the
  // round trip would not show that each key is read.
  const std::vector<std::string> initialLines = splitLines(batchFileText([] {
    Control c;
    c.pfType = 6;
    return c;
  }()));
  const std::vector<std::string> writtenLines = splitLines(batchFileText(written));
  ASSERT_EQ(writtenLines.size(), 102u);
  for (std::size_t i = 0; i < writtenLines.size(); i += 2) {
    if (writtenLines[i] == "pfType:") continue;  // 6 in both, changed from the initial 0
    EXPECT_NE(writtenLines[i + 1], initialLines[i + 1]) << writtenLines[i];
  }

  testsupport::TempDir dir;
  const std::filesystem::path path = dir.path() / "b.txt";
  saveBatchRun(path, written);
  const std::string onDisk = testsupport::readWholeFile(path);
  EXPECT_EQ(onDisk, batchFileText(written));

  Control base;  // settings outside the file keep the base's values
  base.isDisk = false;
  base.isSPFTest = true;
  base.bbRatio = 0.02;
  Control expected = written;
  expected.isDisk = false;
  expected.isSPFTest = true;
  expected.bbRatio = 0.02;
  EXPECT_EQ(readBatchFile(path, base), expected);
  EXPECT_EQ(readBatchFile(path, Control{}), written);
  EXPECT_EQ(testsupport::readWholeFile(path), onDisk);  // reading leaves the user's file alone
}

TEST(BatchFileTest, WindowsLineEndsAndBlankLinesBetweenEntriesAreAccepted) {
  const Control read =
      parseBatchText("Nphoton:\r\n500\r\n\r\nisBottomInfinite:\r\nfalse\r\n  c: \r\n 2.5 \r\n", Control{}, "b.txt");
  EXPECT_EQ(read.Nphoton, 500);
  EXPECT_FALSE(read.isBottomInfinite);
  EXPECT_EQ(read.c, 2.5);
}

TEST(BatchFileTest, BadFilesAreRefusedNamingTheLine) {
  struct Case {
    const char* text;
    const char* message;
  };
  const Case cases[] = {
      {"Nphoton:\n100\nnoSuchSetting:\n1\n", "b.txt line 3: unknown setting \"noSuchSetting\""},
      {"Nphoton:\n100\nisDisk:\nfalse\n", "b.txt line 3: unknown setting \"isDisk\""},
      {"Nphoton:\n100\nminWeight:", "b.txt line 3: setting minWeight has no value line"},
      {"Nphoton:\n1e4\n", "b.txt line 2: setting Nphoton: \"1e4\" is not an integer"},
      {"Nphoton:\n\n", "b.txt line 2: setting Nphoton: \"\" is not an integer"},
      {"NSensor:\n99999999999\n", "b.txt line 2: setting NSensor: \"99999999999\" is too large an integer"},
      {"c:\n1.0x\n", "b.txt line 2: setting c: \"1.0x\" is not a number"},
      {"w0:\nNaN\n", "b.txt line 2: setting w0: \"NaN\" is not a finite number"},
      {"isTargetPresent:\nyes\n", "b.txt line 2: setting isTargetPresent: \"yes\" is neither true nor false"},
      {"c:\n1.0\n20000\n", "b.txt line 3: expected a setting name followed by a colon"},
      {"c:\n1.0\nc:\n2.0\n", "b.txt line 3: setting c is given again (first on line 1)"},
      {"pfType:\n7\n", "b.txt line 2: setting pfType: \"7\" must be in [0, 6]"},
      {"\n\n", "b.txt: no settings found"},
  };
  for (const Case& c : cases) {
    try {
      parseBatchText(c.text, Control{}, "b.txt");
      ADD_FAILURE() << "accepted: " << c.text;
    } catch (const SettingError& error) {
      EXPECT_EQ(std::string(error.what()).rfind(c.message, 0), 0u) << error.what();
    }
  }
}

TEST(BatchFileTest, MissingBatchFileIsAnError) {
  testsupport::TempDir dir;
  EXPECT_THROW(readBatchFile(dir.path() / "absent.txt", Control{}), SettingError);
  EXPECT_THROW(readBatchFile(dir.path(), Control{}), SettingError);
}

TEST(BatchFileTest, ApplySettingParsesByTypeAndLeavesTheRecordAloneOnError) {
  Control c;
  applySetting(c, "Nphoton", "5000");
  applySetting(c, "w0", "0.9");
  applySetting(c, "isPFtruncated", "true");
  applySetting(c, "userPFfile", "kelp.txt");
  EXPECT_EQ(c.Nphoton, 5000);
  EXPECT_EQ(c.w0, 0.9);
  EXPECT_TRUE(c.isPFtruncated);
  EXPECT_EQ(c.userPFfile, "kelp.txt");

  const Control before = c;
  struct Case {
    const char* key;
    const char* value;
  };
  const Case refused[] = {
      {"nphoton", "10"},       {"Nphoton:", "10"},    {"Nphoton", "0"},   {"Nphoton", "-5"},
      {"NSensor", "2.5"},      {"c", "0"},            {"w0", "1.5"},      {"inRadType", "2"},
      {"isDisk", "true"},      {"bottomAlbedo", "-0.1"}, {"g", "inf"},    {"isWaterIncluded", "1"},
      {"userPFfile", "a\nb"},  // a line break would split the batch file's key/value pairs
  };
  for (const Case& r : refused) {
    EXPECT_THROW(applySetting(c, r.key, r.value), SettingError) << r.key << "=" << r.value;
  }
  EXPECT_EQ(c, before);
}

TEST(BatchFileTest, FailedBatchSaveIsReported) {
  testsupport::TempDir dir;
  EXPECT_THROW(saveBatchRun(dir.path() / "batch" / "b.txt", Control{}), FileWriteError);
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "batch"));
}

}  // namespace
}  // namespace orvel
