#include "orvel/engine/Control.h"

#include <gtest/gtest.h>

#include "shared/Console.h"

namespace orvel {
namespace {

TEST(ControlTest, InitialValuesAreThoseOfAFreshStart) {
  const Control c;
  EXPECT_EQ(c.Nphoton, 20000);
  EXPECT_EQ(c.minWeight, 1e-10);
  EXPECT_EQ(c.maxScatEvents, 30);
  EXPECT_EQ(c.NSensor, 10);
  EXPECT_EQ(c.radSensorSpacing, 0.5);
  EXPECT_EQ(c.LT0distance, 1.0);
  EXPECT_TRUE(c.isDisk);
  EXPECT_EQ(c.targetRadius, 1.0);
  EXPECT_EQ(c.targetDepth, 5.0);
  EXPECT_EQ(c.solarZenithAngle, 30.0);
  EXPECT_EQ(c.wavelength, 550);
  EXPECT_EQ(c.c, 1.0);
  EXPECT_EQ(c.w0, 0.7);
  EXPECT_EQ(c.nWater, 1.34);
  EXPECT_EQ(c.pfType, 0);
  EXPECT_EQ(c.g, 0.925);
  EXPECT_TRUE(c.isWaterIncluded);
  EXPECT_TRUE(c.isDiffuseMode && c.isCollimatedMode);
  EXPECT_TRUE(c.isTargetViewingRadianceSensor && c.isBackGroundRadianceSensor);
  EXPECT_FALSE(c.isOppositeTargetViewingRadianceSensor || c.isTargetViewingIrradianceSensor ||
               c.isOppositeTargetViewingIrradianceSensor || c.isReferenceTargetPresent);
  EXPECT_FALSE(c.isPhotonDebug || c.isLambertianTest || c.isSPFTest);
  EXPECT_EQ(c.JungeCoeff, 4.0);
  EXPECT_EQ(c.realIndex, 1.15);
  EXPECT_EQ(c.bbRatio, 0.016748976535290592);
  EXPECT_TRUE(c.userPFfile.empty());
}

TEST(ControlTest, NameTablesKeepTheirDoubledBlanks) {
  EXPECT_EQ(Control::incidentRadName[0], "Solar  Radiation  Model (G-C & H-C)");
  EXPECT_EQ(Control::incidentRadName[1], "Simple  Model (input Ed & Cardioidal)");
  EXPECT_EQ(Control::pfName[0], "One term Henyey - Greenstein");
  EXPECT_EQ(Control::pfName[4], "Pure  water");
  EXPECT_EQ(Control::pfName[5], "Average  particle (Petzold)");
  EXPECT_EQ(Control::pfName[6], "Import  from  PF  file");
}

TEST(ControlTest, GlobalRecordIsOneInstanceAndARunCopyIsIndependent) {
  Control& global = globalControl();
  const Control saved = global;
  ASSERT_EQ(&global, &globalControl());
  Control run = global;
  global.Nphoton = 7;
  EXPECT_EQ(globalControl().Nphoton, 7);
  EXPECT_EQ(run.Nphoton, saved.Nphoton);
  EXPECT_NE(run, global);
  global = saved;
}

struct FakePhoton {
  Vec3 position;
  const Vec3& getNewPosition() const { return position; }
};

TEST(ControlTest, TraceLinesPrintTextThenSinglePrecisionPosition) {
  console::Capture capture;
  Control::writePhotonEvent("volume scattering");
  Control::writePhotonInfo("position updated by target hit", FakePhoton{{0.0, 0.0, 0.0}});
  Control::writePhotonInfo("0 th photon launched!", Vec3{0.1, -2.5e7, 1e-4});
  EXPECT_EQ(capture.out(),
            "volume scattering\n"
            "position updated by target hit 0.0\t0.0\t0.0\n"
            "0 th photon launched! 0.1\t-2.5E7\t1.0E-4\n");
}

}  // namespace
}  // namespace orvel
