#include "pallix/engine/Control.h"

#include <gtest/gtest.h>

#include <thread>

namespace pallix {
namespace {

TEST(ControlTest, InitialValuesOfSettingsThatRunsDependOn) {
  const Control c;
  EXPECT_FALSE(c.isRunForK || c.isRunForBetaCalibration || c.isBatchRun);
  EXPECT_EQ(c.Nphoton, 1000000);
  EXPECT_EQ(c.nMaxScat, 5);
  EXPECT_DOUBLE_EQ(c.minWeight, 1e-7);
  EXPECT_DOUBLE_EQ(c.w0, 0.7);
  EXPECT_EQ(c.pfType, 0);
  EXPECT_DOUBLE_EQ(c.pallixRadius, 4.3);
  EXPECT_DOUBLE_EQ(c.startDiffuser, 2.0);
  EXPECT_EQ(c.pfName[4], "Pure  water");
  EXPECT_EQ(c.pfName[6], "Import  from  PF  file");
  EXPECT_EQ(c.betaScatteringAngleDegrees(), 142);
}

TEST(ControlTest, GeometryValuesLieWithinTheirSliderBounds) {
  const Control c;
  struct Field {
    int value, min, max;
  };
  const Field fields[] = {
      {c.AthetaLEDSliderValue, c.AthetaLEDSliderMin, c.AthetaLEDSliderMax},
      {c.AthetaSensorSliderValue, c.AthetaSensorSliderMin, c.AthetaSensorSliderMax},
      {c.BthetaLEDSliderValue, c.BthetaLEDSliderMin, c.BthetaLEDSliderMax},
      {c.BthetaSensorSliderValue, c.BthetaSensorSliderMin, c.BthetaSensorSliderMax},
      {c.AcenterLEDSliderValue, c.AcenterLEDSliderMin, c.AcenterLEDSliderMax},
      {c.AcenterSensorSliderValue, c.AcenterSensorSliderMin, c.AcenterSensorSliderMax},
      {c.BcenterLEDSliderValue, c.BcenterLEDSliderMin, c.BcenterLEDSliderMax},
      {c.BcenterSensorSliderValue, c.BcenterSensorSliderMin, c.BcenterSensorSliderMax},
      {c.AdiameterLEDSliderValue, c.AdiameterLEDSliderMin, c.AdiameterLEDSliderMax},
      {c.AdiameterSensorSliderValue, c.AdiameterSensorSliderMin, c.AdiameterSensorSliderMax},
      {c.BdiameterLEDSliderValue, c.BdiameterLEDSliderMin, c.BdiameterLEDSliderMax},
      {c.BdiameterSensorSliderValue, c.BdiameterSensorSliderMin, c.BdiameterSensorSliderMax},
      {c.AfovLEDSliderValue, c.AfovLEDSliderMin, c.AfovLEDSliderMax},
      {c.AfovSensorSliderValue, c.AfovSensorSliderMin, c.AfovSensorSliderMax},
      {c.BfovLEDSliderValue, c.BfovLEDSliderMin, c.BfovLEDSliderMax},
      {c.BfovSensorSliderValue, c.BfovSensorSliderMin, c.BfovSensorSliderMax},
  };
  for (const Field& f : fields) {
    EXPECT_LE(f.min, f.value);
    EXPECT_LE(f.value, f.max);
  }
  EXPECT_EQ(Control::AfovSensorSliderMin, 0);  // a half angle of 0 is a legal setting
}

// A snapshot is a consistent copy: edits made while a run works from it never reach it,
// and a copy taken during concurrent edits never mixes two edits.
TEST(ControlTest, SnapshotIsConsistentWhileTheGlobalIsEdited) {
  const Control before = globalControl();
  Control snapshot = snapshotGlobalControl();
  std::thread editor([] {
    for (int i = 1; i <= 2000; ++i) {
      editGlobalControl([i](Control& c) {
        c.c = i;
        c.w0 = i;  // the two always change together
      });
    }
  });
  for (int i = 0; i < 2000; ++i) {
    const Control copy = snapshotGlobalControl();
    ASSERT_EQ(copy.c, copy.w0 == before.w0 ? before.c : copy.w0);
  }
  editor.join();
  EXPECT_EQ(snapshot.c, before.c);
  EXPECT_EQ(globalControl().c, 2000.0);
  globalControl() = before;
}

}  // namespace
}  // namespace pallix
