// The visibility run: geometry of the arrays, physics with closed-form answers,
// reproducibility on any number of threads, progress, trace and the run's errors.

#include "orvel/engine/VisibilityRun.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "orvel/engine/DiskTarget.h"
#include "orvel/engine/Photon.h"
#include "orvel/engine/ResultReport.h"
#include "orvel/engine/SphereTarget.h"
#include "orvel/phase/PhaseFunctionFile.h"
#include "shared/BasicEquations.h"
#include "shared/Console.h"
#include "shared/DataFiles.h"

namespace orvel {
namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kDegree = kPi / 180.0;

struct Traced {
  std::unique_ptr<VisibilityRun> run;
  std::string out;       // console output channel
  std::string messages;  // console message channel
};

// A whole run with the console captured.
Traced traceRun(const Control& control, std::uint64_t seed = 1, int threads = 0, VisibilityProgress progress = {}) {
  auto run = std::make_unique<VisibilityRun>(control, VisibilityRunOptions{seed, threads, std::move(progress)});
  console::Capture capture;
  run->run();
  return {std::move(run), capture.out(), capture.messages()};
}

// A run built but not traced.
std::unique_ptr<VisibilityRun> buildRun(const Control& control) {
  auto run = std::make_unique<VisibilityRun>(control);
  console::Capture capture;
  run->initializeBackMC();
  return run;
}

std::vector<std::string> linesOf(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::vector<std::string> fieldsOf(const std::string& line) {
  std::vector<std::string> fields;
  std::istringstream in(line);
  for (std::string field; std::getline(in, field, '\t');) fields.push_back(field);
  return fields;
}

void expectNear(const Vec3& actual, const Vec3& expected, double tolerance, const std::string& what) {
  for (int k = 0; k < 3; ++k) EXPECT_NEAR(actual[k], expected[k], tolerance) << what << " component " << k;
}

// Water that absorbs everything it interacts with (w0 = 0) under the simple sky model:
// every answer is a product of exponentials. C = 1 makes the sky radiance depend on the
// zenith angle; the phase function does not matter without scattering.
Control clearWater() {
  Control k;
  k.w0 = 0.0;
  k.isWaterIncluded = false;
  k.pfType = 3;
  k.inRadType = 1;
  k.cardioidalCoeff = 1.0;
  k.cardioidalTotalEd = 1.0;
  k.cardioidalSkyEdToTotalEd = 0.4;
  k.isBackGroundRadianceSensor = false;
  k.NSensor = 3;
  k.Nphoton = 20000;
  return k;
}

// ---------------------------------------------------------------------------------
// Geometry of the run.

struct GeometryCase {
  const char* name;
  double zenith, azimuth, c;
  bool truncated, isDisk;
  Vec3 backGroundSide;  // unit offset of the background array from the target array
};

class VisibilityRunGeometry : public ::testing::TestWithParam<GeometryCase> {};

TEST_P(VisibilityRunGeometry, ArraysLieAlongTheLineOfSightAtTheirDistances) {
  const GeometryCase& g = GetParam();
  Control k;
  k.sensorZenithAngle = g.zenith;
  k.sensorAzimuthAngle = g.azimuth;
  k.c = g.c;
  k.isPFtruncated = g.truncated;
  k.isDisk = g.isDisk;
  k.isReferenceTargetPresent = true;
  k.isBottomInfinite = false;
  const auto run = buildRun(k);

  const double cp = run->getEngineAttenuation();
  if (g.truncated) {
    EXPECT_LT(cp, g.c) << "truncation lowers the attenuation";
  } else {
    EXPECT_EQ(cp, g.c);
  }
  const Vec3 d = run->getViewDirection();
  expectNear(d, BasicEquations::anglesToDirectionCosine(g.zenith, g.azimuth), 1e-15, "view direction");
  const Vec3 targetCenter{0.0, 0.0, 5.0 * cp};
  expectNear(run->getTargetCenter(), targetCenter, 1e-12, "target centre");
  const Vec3 side{g.backGroundSide[0] * 2.0 * cp, g.backGroundSide[1] * 2.0 * cp, 0.0};
  expectNear(run->getBackGroundCenter(), {side[0], side[1], targetCenter[2]}, 1e-12, "background centre");
  expectNear(run->getReferenceCenter(), {-side[0], -side[1], targetCenter[2]}, 1e-12, "reference centre");
  EXPECT_NEAR(run->getBoundary().getDepth(), 20.0 * cp, 1e-12);

  // Distances along d: 1 mm, then 0.5 optical depths of c per sensor, from the disk
  // centre or from the sphere's surface.
  const double fromSurface = g.isDisk ? 0.0 : cp;  // the sphere's radius
  for (int i = 0; i < k.NSensor; ++i) {
    const double distance = fromSurface + (i == 0 ? 0.001 * cp : 0.5 * i * cp / g.c);
    const Vec3 expected{-distance * d[0], -distance * d[1], targetCenter[2] - distance * d[2]};
    const std::string at = std::string(g.name) + " sensor " + std::to_string(i);
    const Sensor& target = run->getSensor(SensorArrayId::kRadTarget, i);
    expectNear(target.getCenter(), expected, 1e-12, at);
    expectNear(run->getSensor(SensorArrayId::kRadBackGround, i).getCenter(),
               {expected[0] + side[0], expected[1] + side[1], expected[2]}, 1e-12, at + " background");
    expectNear(run->getSensor(SensorArrayId::kRadReferenceTarget, i).getCenter(),
               {expected[0] - side[0], expected[1] - side[1], expected[2]}, 1e-12, at + " reference");
    expectNear(run->getSensor(SensorArrayId::kRadOppositeTarget, i).getDirection(), {-d[0], -d[1], -d[2]}, 0.0,
               at + " opposite direction");
    expectNear(run->getSensor(SensorArrayId::kIrradOppositeTarget, i).getCenter(), expected, 1e-12, at);
    EXPECT_NEAR(target.getRadius(), 0.01 * cp, 1e-15);
    EXPECT_NEAR(run->getSensor(SensorArrayId::kIrradTarget, i).getRadius(), 0.005 * cp, 1e-15);
    EXPECT_NEAR(run->radTargetSensor()[static_cast<std::size_t>(i)].getFov(), 3.0 * kDegree, 1e-15);
  }

  if (g.isDisk) {
    const auto* disk = dynamic_cast<const DiskTarget*>(run->getTarget());
    ASSERT_NE(disk, nullptr);
    EXPECT_NEAR(disk->getRadius(), cp, 1e-15);
    expectNear(disk->getDirection(), {-d[0], -d[1], -d[2]}, 0.0, "disk normal faces the sensors");
    const auto* reference = dynamic_cast<const DiskTarget*>(run->getReferenceTarget());
    ASSERT_NE(reference, nullptr);
    expectNear(reference->getCenter(), run->getReferenceCenter(), 0.0, "reference disk");
  } else {
    const auto* sphere = dynamic_cast<const SphereTarget*>(run->getTarget());
    ASSERT_NE(sphere, nullptr);
    EXPECT_NEAR(sphere->getRadius(), cp, 1e-15);
    ASSERT_NE(dynamic_cast<const SphereTarget*>(run->getReferenceTarget()), nullptr);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, VisibilityRunGeometry,
    ::testing::Values(
        // Initial settings: d = (-1, 0, 0); background 2 m to -y, reference to +y.
        GeometryCase{"initial", 90.0, 180.0, 1.0, false, true, {0.0, -1.0, 0.0}},
        // Looking straight down: sensors above the target, background along -x.
        GeometryCase{"down", 0.0, 180.0, 1.0, false, true, {-1.0, 0.0, 0.0}},
        // Azimuth 135: d_x + d_y = 0, so the vertical-case rule puts the background on -x.
        GeometryCase{"azimuth135", 90.0, 135.0, 1.0, false, true, {-1.0, 0.0, 0.0}},
        GeometryCase{"azimuth90", 90.0, 90.0, 1.0, false, true, {-1.0, 0.0, 0.0}},
        // c = 2: positions in metres x 2, sensor spacing still 0.5 optical depths.
        GeometryCase{"c2", 90.0, 180.0, 2.0, false, true, {0.0, -1.0, 0.0}},
        // Truncation: every length shrinks by c'/c.
        GeometryCase{"truncated", 90.0, 180.0, 1.0, true, true, {0.0, -1.0, 0.0}},
        // Sphere: the same layout, distances from its surface.
        GeometryCase{"sphere", 90.0, 180.0, 1.0, false, false, {0.0, -1.0, 0.0}}),
    [](const ::testing::TestParamInfo<GeometryCase>& param) { return std::string(param.param.name); });

TEST(VisibilityRunBuild, PureWaterAndPhaseFunctionFollowTheSettings) {
  Control k;
  k.wavelength = 440;
  k.isPFtruncated = true;
  const auto run = buildRun(k);
  EXPECT_NEAR(run->getControl().aWater, 0.0145, 1e-12) << "table value at 440 nm";
  EXPECT_NEAR(run->getControl().bWater, 0.0049, 1e-12);
  // Truncation rescales the medium by the mixture's F.
  const double F = run->getWater().getPhaseFunction().getF();
  EXPECT_GT(F, 0.0);
  EXPECT_NEAR(run->getWater().c, 1.0 - 0.7 * F, 1e-12);
  EXPECT_NEAR(run->getWater().w0, 0.7 * (1.0 - F) / (1.0 - 0.7 * F), 1e-12);
  EXPECT_EQ(k.aWater, Control{}.aWater) << "the caller's settings are not touched";
}

TEST(VisibilityRunBuild, ScatteringBelowPureWaterLeavesTheParticlesOutWithAWarning) {
  Control k;
  k.w0 = 0.001;  // b = 0.001 1/m < bWater = 0.0019 1/m at 550 nm
  auto run = std::make_unique<VisibilityRun>(k);
  console::Capture capture;
  run->initializeBackMC();
  EXPECT_NE(capture.messages().find("Warning"), std::string::npos);
  EXPECT_NEAR(run->getWater().getPhaseFunction().getBbRatio(), 0.5, 1e-6) << "pure water alone";
}

TEST(VisibilityRunBuild, RefusesRunsThatCannotBeTraced) {
  struct Case {
    const char* name;
    void (*change)(Control&);
  };
  const Case cases[] = {
      {"sensor above the surface",
       [](Control& k) {
         k.sensorZenithAngle = 0.0;  // looking down: sensor 11 is 0.5 m above the surface
         k.NSensor = 12;
       }},
      {"sensors below the bottom",
       [](Control& k) {
         k.isBottomInfinite = false;
         k.bottomDepth = 4.0;
       }},
      {"type 6 without a file", [](Control& k) { k.pfType = 6; }},
  };
  for (const Case& c : cases) {
    Control k;
    c.change(k);
    VisibilityRun run(k);
    console::Capture capture;
    EXPECT_THROW(run.initializeBackMC(), VisibilityRunError) << c.name;
  }

  Control missing;
  missing.pfType = 6;
  missing.userPFfile = "no-such-file.txt";
  VisibilityRun run(missing);
  try {
    run.initializeBackMC();
    ADD_FAILURE() << "a missing phase-function file must end the run";
  } catch (const PhaseFunctionFileError& error) {
    EXPECT_NE(std::string(error.what()).find("File not found when loading file"), std::string::npos);
    EXPECT_NE(std::string(error.what()).find("phaseFunction"), std::string::npos) << error.what();
  }
}

// A fresh working directory holding "phaseFunction/<name>" (a copy of the measured
// table), made current while it lives.
class PhaseFunctionFolder {
 public:
  explicit PhaseFunctionFolder(const std::string& name)
      : previous_(std::filesystem::current_path()),
        dir_(std::filesystem::temp_directory_path() /
             ("visibility-run-test-" + std::to_string(reinterpret_cast<std::uintptr_t>(this)))) {
    std::filesystem::create_directories(dir_ / "phaseFunction");
    std::filesystem::copy_file(std::filesystem::path(SUITE_DATA_DIR) / "phaseFunction" / "petzold.txt",
                               dir_ / "phaseFunction" / name);
    std::filesystem::current_path(dir_);
  }
  ~PhaseFunctionFolder() {
    std::filesystem::current_path(previous_);
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
  }
  PhaseFunctionFolder(const PhaseFunctionFolder&) = delete;
  PhaseFunctionFolder& operator=(const PhaseFunctionFolder&) = delete;
  const std::filesystem::path& path() const { return dir_; }

 private:
  std::filesystem::path previous_;
  std::filesystem::path dir_;
};

TEST(VisibilityRunBuild, PhaseFunctionFilesAreFoundByNameOrPath) {
  const PhaseFunctionFolder folder("mine.txt");
  // A bare name: the "phaseFunction" folder of the working directory.
  EXPECT_EQ(VisibilityRun::resolvePhaseFunctionFile("mine.txt"), std::filesystem::path("phaseFunction/mine.txt"));
  // A path: as given.
  EXPECT_EQ(VisibilityRun::resolvePhaseFunctionFile("some/where/pf.txt"), "some/where/pf.txt");

  Control k;
  k.pfType = 6;
  k.userPFfile = "mine.txt";
  const double byName = buildRun(k)->getWater().getPhaseFunction().getBbRatio();
  EXPECT_GT(byName, 0.0);
  EXPECT_LT(byName, 0.5);
  k.userPFfile = (folder.path() / "phaseFunction" / "mine.txt").string();
  EXPECT_EQ(buildRun(k)->getWater().getPhaseFunction().getBbRatio(), byName) << "the same file by its full path";
}

// ---------------------------------------------------------------------------------
// Physics with closed-form answers (w0 = 0: no scattering, Beer's law along every path).

// Mean and mean square of a cosine-weighted average over the upward hemisphere of
// f(theta) [theta from straight up], by Simpson's rule.
std::pair<double, double> cosineWeightedMoments(double (*f)(double, const void*), const void* data) {
  const int n = 20000;
  const double h = (kPi / 2) / n;
  double mean = 0.0, square = 0.0;
  for (int i = 0; i <= n; ++i) {
    const double theta = i * h;
    const double w = (i == 0 || i == n) ? 1.0 : (i % 2 == 1 ? 4.0 : 2.0);
    const double density = 2.0 * std::sin(theta) * std::cos(theta);
    const double v = f(theta, data);
    mean += w * density * v;
    square += w * density * v * v;
  }
  return {mean * h / 3.0, square * h / 3.0};
}

struct SkyScore {
  const VisibilityRun* run;
  double depth;  // optical depths
};

// The sky score of a photon leaving a collector at `depth` at angle theta from straight
// up: exp(-depth / cos) (1 - R) L(t) below the critical angle, else 0.
double skyScore(double theta, const void* data) {
  const auto& s = *static_cast<const SkyScore*>(data);
  const double i = theta / kDegree;
  const double t = BasicEquations::SnellAngle(i, BasicEquations::Interface::WaterToAir);
  if (std::isnan(t) || std::cos(theta) <= 0.0) return 0.0;
  const double R = BasicEquations::FresnelReflectance(i, t);
  return std::exp(-s.depth / std::cos(theta)) * (1.0 - R) *
         s.run->getIncidentRadiance().getNormalizedSkyRadiance(t * kDegree, 0.0);
}

class VisibilityRunClearWater : public ::testing::TestWithParam<double> {};

TEST_P(VisibilityRunClearWater, SensorsLookingUpSeeTheSkyThroughBeersLaw) {
  const double c = GetParam();
  Control k = clearWater();
  k.c = c;
  k.isTargetPresent = false;
  k.sensorZenithAngle = 180.0;  // looking straight up
  k.sensorAzimuthAngle = 0.0;
  k.targetDepth = 1.0 / c;  // sensors at 1, 1.5 and 2 optical depths
  k.isTargetViewingIrradianceSensor = true;
  k.isOppositeTargetViewingIrradianceSensor = true;
  const Traced t = traceRun(k);
  const VisibilityRun& run = *t.run;

  const double n2 = 1.34 * 1.34;
  const double N = k.Nphoton;
  const double Eddif = run.getIncidentRadiance().getDiffuseEd();
  const double Eddir = run.getIncidentRadiance().getDirectEd();
  const double R0 = BasicEquations::FresnelReflectance(0.0, 0.0);
  const double L0 = run.getIncidentRadiance().getNormalizedSkyRadiance(0.0, 0.0);
  for (int i = 0; i < k.NSensor; ++i) {
    const auto at = "sensor " + std::to_string(i);
    const Sensor& radiance = run.getSensor(SensorArrayId::kRadTarget, i);
    const double z = radiance.getCenter()[2];  // optical depths (c' = c)
    EXPECT_NEAR(z, c * k.targetDepth + (i == 0 ? 0.001 * c : 0.5 * i), 1e-12);

    // Radiance: a photon scores (1 - R(0)) L(0) when it reaches the surface (p = e^-z).
    const double p = std::exp(-z);
    const double scale = Eddif * n2 * (1.0 - R0) * L0;
    EXPECT_NEAR(radiance.getDiffuseValue(), scale * p, 5.0 * scale * std::sqrt(p * (1 - p) / N)) << at;
    EXPECT_EQ(radiance.getDirectScatteredValue(), 0.0) << at;
    EXPECT_EQ(radiance.getDirectUnscatteredValue(), 0.0) << at << ": the sun is 22 degrees off the view";

    // Upward-facing collector: the cosine-weighted sky, and the refracted sun unscattered.
    const Sensor& up = run.getSensor(SensorArrayId::kIrradTarget, i);
    const SkyScore score{&run, z};
    const auto [mean, square] = cosineWeightedMoments(skyScore, &score);
    const double irradianceScale = Eddif * n2 * kPi;
    EXPECT_NEAR(up.getDiffuseValue(), irradianceScale * mean,
                5.0 * irradianceScale * std::sqrt((square - mean * mean) / N))
        << at;
    const SolarGeometry& sun = up.getSolarGeometry();
    EXPECT_NEAR(up.getDirectUnscatteredValue(),
                Eddir * sun.solarTransmittance * std::exp(-z / sun.solarWaterAngleCosine), 1e-12)
        << at;
    EXPECT_EQ(up.getDirectScatteredValue(), 0.0) << at;

    // Downward-facing collector over an infinitely deep, absorbing sea: nothing.
    EXPECT_EQ(run.getSensor(SensorArrayId::kIrradOppositeTarget, i).getValue(), 0.0) << at;
  }
}

INSTANTIATE_TEST_SUITE_P(Attenuations, VisibilityRunClearWater, ::testing::Values(1.0, 2.0));

TEST(VisibilityRunPhysics, SensorLookingAtTheRefractedSunSeesOnlyTheUnscatteredBeam) {
  Control k = clearWater();
  k.isTargetPresent = false;
  k.isDiffuseMode = false;
  const double thetaW = BasicEquations::SnellAngle(k.solarZenithAngle, BasicEquations::Interface::AirToWater);
  k.sensorZenithAngle = 180.0 - thetaW;
  k.sensorAzimuthAngle = 0.0;
  k.targetDepth = 2.0;
  const Traced t = traceRun(k);
  const double Eddir = t.run->getIncidentRadiance().getDirectEd();
  for (int i = 0; i < k.NSensor; ++i) {
    const Sensor& sensor = t.run->getSensor(SensorArrayId::kRadTarget, i);
    const SolarGeometry& sun = sensor.getSolarGeometry();
    const double muW = sun.solarWaterAngleCosine;
    const double omegaWater =
        sun.solarAirAngleCosine * 2.0 * kPi * (1.0 - std::cos(0.5 * kDegree)) / (1.34 * 1.34 * muW);
    const double expected =
        Eddir * sun.solarTransmittance * std::exp(-sensor.getCenter()[2] / muW) / (muW * omegaWater);
    EXPECT_NEAR(sensor.getDirectUnscatteredValue(), expected, 1e-9 * expected) << i;
    EXPECT_EQ(sensor.getDirectScatteredValue(), 0.0) << i;
    EXPECT_EQ(sensor.getDiffuseValue(), 0.0) << i;
  }
}

// The sunlit reflector: in the direct-sun pass a photon that reaches the target or the
// bottom unscattered picks up the sun reflected there,
//   L = Eddir T / mu_w x exp(-D / mu_w) x A (n . s) / pi x exp(-r),
// for a reflector of albedo A at depth D whose face (normal n) is at distance r.
struct ReflectorCase {
  const char* name;
  void (*place)(Control&);
  double depth;                 // depth of the point seen [m]
  double cosineToSun(double thetaW) const { return isBottom ? std::cos(thetaW) : std::sin(thetaW); }
  bool isBottom;
};

class VisibilityRunSunlitReflector : public ::testing::TestWithParam<ReflectorCase> {};

TEST_P(VisibilityRunSunlitReflector, ReadsTheSunReflectedByTheLambertianFace) {
  const ReflectorCase& rc = GetParam();
  Control k = clearWater();
  k.isDiffuseMode = false;
  k.Nphoton = 4000;
  k.LT0distance = 250.0;  // sensors 0.25, 0.5 and 1.0 from the face
  rc.place(k);
  const Traced t = traceRun(k);
  const double Eddir = t.run->getIncidentRadiance().getDirectEd();
  const double albedo = rc.isBottom ? k.bottomAlbedo : k.targetAlbedo;
  for (int i = 0; i < k.NSensor; ++i) {
    const Sensor& sensor = t.run->getSensor(SensorArrayId::kRadTarget, i);
    const SolarGeometry& sun = sensor.getSolarGeometry();
    const double muW = sun.solarWaterAngleCosine;
    const double r = reportDistance(k, i);
    const double perPhoton = albedo * rc.cosineToSun(sun.solarWaterAngle * kDegree) / kPi * std::exp(-rc.depth / muW);
    const double p = std::exp(-r);  // the photon reaches the face unscattered
    const double scale = Eddir * sun.solarTransmittance / muW * perPhoton;
    EXPECT_NEAR(sensor.getDirectScatteredValue(), scale * p, 5.0 * scale * std::sqrt(p * (1 - p) / k.Nphoton))
        << rc.name << " sensor " << i;
    EXPECT_EQ(sensor.getDirectUnscatteredValue(), 0.0);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Faces, VisibilityRunSunlitReflector,
    ::testing::Values(
        ReflectorCase{"disk",
                      [](Control& k) {
                        k.targetDepth = 3.0;
                        k.targetAlbedo = 0.8;
                      },
                      3.0, false},
        ReflectorCase{"sphere",
                      [](Control& k) {
                        k.isDisk = false;
                        k.targetDepth = 3.0;
                        k.targetAlbedo = 0.8;
                      },
                      3.0, false},
        ReflectorCase{"bottom",
                      [](Control& k) {
                        k.isTargetPresent = false;
                        k.isBottomInfinite = false;
                        k.bottomDepth = 3.0;
                        k.bottomAlbedo = 0.6;
                        k.targetDepth = 3.0;  // the array is laid out from the bottom
                        k.sensorZenithAngle = 0.0;  // looking straight down
                      },
                      3.0, true}),
    [](const ::testing::TestParamInfo<ReflectorCase>& param) { return std::string(param.param.name); });

TEST(VisibilityRunPhysics, TargetRadianceFallsByBeersLawWithoutPathRadiance) {
  // Both passes, c = 2 (the distances are optical depths of c): L_t(r) e^r is the same
  // at every distance, and the background array beside the target sees nothing at all.
  Control k = clearWater();
  k.c = 2.0;
  k.targetDepth = 1.0;
  k.targetRadius = 0.5;
  k.NSensor = 4;
  k.isBackGroundRadianceSensor = true;
  k.Nphoton = 10000;
  const int seeds = 8;
  std::vector<std::vector<double>> scaled(static_cast<std::size_t>(k.NSensor));
  for (int seed = 1; seed <= seeds; ++seed) {
    const Traced t = traceRun(k, static_cast<std::uint64_t>(seed));
    const VisibilityResults& r = *t.run->results();
    for (int i = 0; i < k.NSensor; ++i) {
      scaled[static_cast<std::size_t>(i)].push_back(r.radTarget[static_cast<std::size_t>(i)] *
                                                    std::exp(reportDistance(k, i)));
      EXPECT_EQ(r.radBackGround[static_cast<std::size_t>(i)], 0.0) << "no path radiance";
    }
  }
  std::vector<double> mean, standardError;
  for (const auto& values : scaled) {
    double m = 0.0, s = 0.0;
    for (double v : values) m += v / seeds;
    for (double v : values) s += (v - m) * (v - m) / (seeds - 1);
    mean.push_back(m);
    standardError.push_back(std::sqrt(s / seeds));
  }
  ASSERT_GT(mean[0], 10.0 * standardError[0]);
  for (int i = 1; i < k.NSensor; ++i) {
    const auto si = static_cast<std::size_t>(i);
    EXPECT_NEAR(mean[si], mean[0], 5.0 * std::hypot(standardError[si], standardError[0])) << "sensor " << i;
  }
}

TEST(VisibilityRunReport, ContrastsAreOneAgainstAMissingArrayAndNaNBetweenTwoDarkSensors) {
  struct Case {
    const char* name;
    void (*change)(Control&);
    const char* background;
    const char* reference;
  };
  const Case cases[] = {
      // A lit target, no background array, no reference disk.
      {"lit target alone", [](Control&) {}, "1.0", "1.0"},
      // Sun only, nothing in view, no scattering: target and background read 0.
      {"dark",
       [](Control& k) {
         k.isTargetPresent = false;
         k.isDiffuseMode = false;
         k.isBackGroundRadianceSensor = true;
       },
       "NaN", "NaN"},
  };
  for (const Case& c : cases) {
    Control k = clearWater();
    k.Nphoton = 2000;
    c.change(k);
    const Traced t = traceRun(k);
    const std::vector<std::string> lines = linesOf(t.out);
    std::size_t first = 0;
    while (first < lines.size() && lines[first] != "r[od]\tC_back(r)\tC_ref(r)") ++first;
    ASSERT_LT(first + k.NSensor, lines.size()) << c.name;
    for (int i = 0; i < k.NSensor; ++i) {
      const auto fields = fieldsOf(lines[first + 1 + static_cast<std::size_t>(i)]);
      ASSERT_EQ(fields.size(), 3u) << c.name;
      EXPECT_EQ(fields[1], c.background) << c.name << " row " << i;
      EXPECT_EQ(fields[2], c.reference) << c.name << " row " << i;
    }
  }
}

// ---------------------------------------------------------------------------------
// Reproducibility, progress, trace.

// A small run that exercises every array, the reference disk, a finite bottom and both
// test histograms (weights summed as doubles).
Control everyFeature() {
  Control k;
  k.Nphoton = 1234;  // two full chunks and a partial one
  k.NSensor = 3;
  k.isOppositeTargetViewingRadianceSensor = true;
  k.isTargetViewingIrradianceSensor = true;
  k.isOppositeTargetViewingIrradianceSensor = true;
  k.isReferenceTargetPresent = true;
  k.referenceAlbedo = 0.3;
  k.isBottomInfinite = false;
  k.bottomDepth = 8.0;
  k.isLambertianTest = true;
  k.isLambertianPhotons = false;
  k.isSPFTest = true;
  k.maxScatEvents = 10;
  return k;
}

TEST(VisibilityRunThreads, SameSeedGivesTheSameNumbersOnAnyNumberOfThreads) {
  const Control k = everyFeature();
  const Traced one = traceRun(k, 7, 1);
  const Traced two = traceRun(k, 7, 2);
  const Traced three = traceRun(k, 7, 3);
  for (const Traced* other : {&two, &three}) {
    EXPECT_EQ(other->out, one.out);
    const VisibilityResults& a = *one.run->results();
    const VisibilityResults& b = *other->run->results();
    EXPECT_EQ(a.radTarget, b.radTarget);
    EXPECT_EQ(a.radOppositeTarget, b.radOppositeTarget);
    EXPECT_EQ(a.radBackGround, b.radBackGround);
    EXPECT_EQ(a.radReferenceTarget, b.radReferenceTarget);
    EXPECT_EQ(a.irradTarget, b.irradTarget);
    EXPECT_EQ(a.irradOppositeTarget, b.irradOppositeTarget);
    ASSERT_EQ(a.lambertianCones.size(), b.lambertianCones.size());
    for (std::size_t i = 0; i < a.lambertianCones.size(); ++i) {
      EXPECT_EQ(a.lambertianCones[i].weight, b.lambertianCones[i].weight);
    }
    ASSERT_EQ(a.scatteringCones.size(), b.scatteringCones.size());
    for (std::size_t i = 0; i < a.scatteringCones.size(); ++i) {
      EXPECT_EQ(a.scatteringCones[i].photons, b.scatteringCones[i].photons);
    }
  }
  EXPECT_FALSE(one.run->results()->lambertianCones.empty());
  EXPECT_FALSE(one.run->results()->scatteringCones.empty());
  EXPECT_NE(traceRun(k, 8, 2).run->results()->radTarget, one.run->results()->radTarget) << "another seed";

  // Every sensor of every enabled array launched Nphoton photons in the last pass.
  for (int a = 0; a < kSensorArrayCount; ++a) {
    for (int i = 0; i < k.NSensor; ++i) {
      EXPECT_EQ(one.run->getSensor(static_cast<SensorArrayId>(a), i).getTotalLaunchedWeightBackMC(), k.Nphoton);
    }
  }
}

TEST(VisibilityRunProgress, CountsEverySensorOfTheEnabledArraysAndPasses) {
  struct Case {
    const char* name;
    bool diffuse, collimated;
  };
  for (const Case c : {Case{"both passes", true, true}, Case{"sun only", false, true}, Case{"sky only", true, false}}) {
    Control k = everyFeature();
    k.Nphoton = 300;
    k.isDiffuseMode = c.diffuse;
    k.isCollimatedMode = c.collimated;
    const int expectedTotal = k.NSensor * 6 * (int{c.diffuse} + int{c.collimated});
    EXPECT_EQ(VisibilityRun::totalSensors(k), expectedTotal) << c.name;
    std::vector<int> seen;
    int totalSeen = 0;
    const Traced t = traceRun(k, 3, 2, [&](int current, int total) {
      seen.push_back(current);
      totalSeen = total;
    });
    ASSERT_EQ(static_cast<int>(seen.size()), expectedTotal) << c.name;
    for (int i = 0; i < expectedTotal; ++i) EXPECT_EQ(seen[static_cast<std::size_t>(i)], i + 1) << c.name;
    EXPECT_EQ(totalSeen, expectedTotal);
    EXPECT_EQ(VisibilityRun::progressBarLetters(seen.back(), totalSeen), 132) << c.name;
  }
  EXPECT_EQ(VisibilityRun::progressBarLetters(1, 40), 3);  // 132 / 40 = 3.3
}

TEST(VisibilityRunTrace, TraceLinesComeInPhotonOrderOnOneThread) {
  Control k;
  k.isPhotonDebug = true;
  k.Nphoton = 2;
  k.NSensor = 1;
  k.isBackGroundRadianceSensor = false;
  k.isCollimatedMode = false;
  const Traced requestedTwo = traceRun(k, 5, 2);
  const Traced one = traceRun(k, 5, 1);
  EXPECT_EQ(requestedTwo.out, one.out) << "the trace forces one thread";
  const std::vector<std::string> lines = linesOf(one.out);
  ASSERT_GT(lines.size(), 4u);
  EXPECT_EQ(lines[0], "diffuse target-viewing radiance");
  // Sensor 0, 1 mm in front of the disk centre at 5 m (y is a rounding error of d).
  EXPECT_EQ(lines[1].rfind("0 th photon launched! 0.001\t", 0), 0u) << lines[1];
  EXPECT_EQ(lines[1].substr(lines[1].size() - 4), "\t5.0") << lines[1];
  EXPECT_EQ(lines[2].rfind("updated by pathLength ", 0), 0u) << lines[2];
  std::size_t second = 0, scattering = 0;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].rfind("1 th photon launched! ", 0) == 0) second = i;
    if (lines[i] == "volume scattering" && scattering == 0) scattering = i;
  }
  EXPECT_GT(second, 2u);
  EXPECT_GT(scattering, 2u);
  EXPECT_LT(scattering, second);
}

TEST(VisibilityRunResults, ResultsCarryTheRunsSettingsAndReportTheWholeRun) {
  Control k = everyFeature();
  k.Nphoton = 500;
  k.wavelength = 600;
  const Traced t = traceRun(k, 11, 2);
  const VisibilityResults& r = *t.run->results();
  EXPECT_NEAR(r.control.bWater, 0.0014, 1e-12);
  EXPECT_NEAR(r.control.aWater, 0.244, 1e-12);
  EXPECT_EQ(r.control.Nphoton, 500);
  EXPECT_DOUBLE_EQ(r.bbRatio, t.run->getWater().getPhaseFunction().getBbRatio());
  EXPECT_GE(r.elapsedSeconds, 0);
  ASSERT_EQ(r.radTarget.size(), 3u);
  EXPECT_GT(r.radTarget[0], 0.0);
  EXPECT_GT(r.irradOppositeTarget[0], 0.0);

  // The console shows the twelve array tables, then the result report.
  const std::vector<std::string> lines = linesOf(t.out);
  int tables = 0;
  for (const std::string& line : lines) tables += line == "DirectScattered\tDirectUnscattered\tDiffuse\tTotal";
  EXPECT_EQ(tables, 12);
  const std::vector<std::string> report = resultReportLines(r);
  ASSERT_GE(lines.size(), report.size());
  EXPECT_TRUE(std::equal(report.begin(), report.end(), lines.end() - static_cast<long>(report.size())));
  EXPECT_EQ(lines[0], "diffuse target-viewing radiance");
  EXPECT_EQ(fieldsOf(lines[2]).size(), 4u);
}

}  // namespace
}  // namespace orvel
