#pragma once
// One visibility run: the backward Monte Carlo driver of the visibility simulator.
//
// A run is built from a copy of the settings taken when it is created and never reads
// the process-wide record. It builds the incident light, the water and its phase
// function, the sea surface and bottom, the target and reference objects and six
// arrays of sensors laid out along the line of sight, then traces `Nphoton` photons
// backwards from every sensor of every enabled array, once for the diffuse sky and
// once for the direct sun, finishes each sensor's tally, prints the per-array tables
// and the result report on the console output channel.
//
// Length unit. Every position and length handed to the engine is metres multiplied by
// c', the medium's attenuation after the optional truncation rescaling: an optical
// depth of the run's medium. A free path of tau optical depths is therefore a step of
// tau engine units. The sensor spacing, given in optical depths of the untruncated
// attenuation c, is i x radSensorSpacing / c metres, i.e. i x radSensorSpacing x c'/c
// engine units, so that the report's distance column is the sensors' true distance.
//
// Geometry (x, y horizontal, z depth positive downwards, sea surface at z = 0): the
// viewing direction d = (sin ts cos ps, sin ts sin ps, cos ts) from sensorZenithAngle
// and sensorAzimuthAngle; the target centre P_T on the z axis at targetDepth; the
// background array offset sideways by D = sensorArrayDistance x targetRadius to one side
// of the line of sight and the reference array to the other (along -x / +x when
// |d_x + d_y| < 1e-7). Sensor i of an array lies on the line through the array's
// centre, a distance L_i before it along d: L_0 = LT0distance mm, L_i = i x spacing.
// A disk target faces the sensors (normal -d); a sphere target (isDisk false) keeps
// its surface at the same distances from the sensors, L_i being measured from the
// sphere's surface, so that no sensor starts inside it.
//
// Reproducible on any number of threads. Each sensor's photons are traced in chunks of
// kPhotonsPerChunk; chunk k of sensor s of array a in pass p draws from its own stream
// Random::stream(seed, {p, a, s, k}); the (sensor, chunk) pairs of an array run on
// all threads, and the chunk tallies and test counters are added in chunk order. The
// same seed gives the same numbers, to the last digit, for 1 thread and for N. The
// photon trace (isPhotonDebug) forces one thread so that its lines stay in order.
//
// Direct sun at reflections. In the direct-sun pass the sun is counted by a local
// estimate at every volume scattering (Sensor::tallyCollimationBackMC) and, in the
// same way, at every target or bottom reflection: the Lambertian reflector adds
//   weight x albedo x max(0, n . s) / pi x exp(-z_hit / mu_w)
// with n the normal of the face met, s the direction to the refracted sun and z_hit the
// depth of the hit point (no shadowing test, as for the volume estimate). Without it
// sunlight reaching the target or the bottom unscattered and reflected to the sensor
// would never be counted. The estimate counts in the direct scattered part.

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "orvel/engine/Control.h"
#include "orvel/engine/HomogeneousWater.h"
#include "orvel/engine/IncidentRadiance.h"
#include "orvel/engine/InfiniteHorizonBoundary.h"
#include "orvel/engine/IrradianceSensor.h"
#include "orvel/engine/LambertianTest.h"
#include "orvel/engine/RadianceSensor.h"
#include "orvel/engine/ScatteringTest.h"
#include "orvel/engine/Target.h"
#include "orvel/engine/VisibilityResults.h"
#include "shared/Random.h"
#include "shared/Vec3.h"

namespace orvel {

class Photon;
struct TargetHit;

// A run that cannot be built or traced: what() says why (a sensor outside the water,
// an unusable phase-function file, ...).
class VisibilityRunError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The six sensor arrays, in the order each pass traces them.
enum class SensorArrayId : int {
  kRadTarget = 0,         // radTargetSensor: target-viewing radiance
  kRadOppositeTarget,     // radOppositeTargetSensor: same places, looking away
  kRadBackGround,         // radBackGroundSensor: background radiance beside the target
  kIrradTarget,           // irradTargetSensor: irradiance collectors facing the target
  kIrradOppositeTarget,   // irradOppositeTargetSensor: collectors facing away
  kRadReferenceTarget,    // radReferenceTargetSensor: viewing the reference object
};
inline constexpr int kSensorArrayCount = 6;

// Progress of a run: `current` sensors finished out of `total` (T, counted over the
// enabled arrays and passes). Called once per finished sensor, from whichever thread
// finished it, one call at a time and with `current` rising by 1 each call.
using VisibilityProgress = std::function<void(int current, int total)>;

struct VisibilityRunOptions {
  std::uint64_t seed = 1;       // the run's random seed
  int threads = 0;              // threads to trace on; 0: all (OpenMP's default)
  VisibilityProgress progress;  // optional
};

class VisibilityRun {
 public:
  // Photons per chunk: the unit of work and of random streams (independent of the
  // number of threads).
  static constexpr int kPhotonsPerChunk = 500;
  // Length of the window program's progress bar, in letters.
  static constexpr double kProgressBarLength = 132.0;

  // Takes the run's copy of `control`; nothing is built yet.
  explicit VisibilityRun(const Control& control, VisibilityRunOptions options = {});
  ~VisibilityRun();
  VisibilityRun(const VisibilityRun&) = delete;
  VisibilityRun& operator=(const VisibilityRun&) = delete;

  // The whole run: initializeBackMC, the scattering-test set-up when isSPFTest, then
  // runVisibility. Returns the results (also kept, see results()).
  const VisibilityResults& run();

  // Builds the run, in this order: clock start, incident light, pure-water IOPs, the
  // medium and its phase function (with the truncation rescaling), sea surface and
  // bottom, target and reference objects, the six sensor arrays. Throws
  // VisibilityRunError (or the error of the failing part: WavelengthRangeError,
  // PhaseFunctionFileError, ...) when the run cannot be built.
  void initializeBackMC();

  // Sets aWater and bWater of the run's settings for its wavelength.
  void computeWaterIOPs();
  // Sets aWater and bWater of `control` for its wavelength (natural cubic splines
  // through the pure-water table; the end pieces extended outside 350-800 nm).
  static void computeWaterIOPs(Control& control);

  // Puts the phase function into the medium and applies the truncation rescaling:
  // pure water mixed with the chosen particle model (isWaterIncluded) or the model
  // alone. Types 5 and 6 read their phase-function file (see resolvePhaseFunctionFile).
  void setPhaseFunction();

  // Runs the enabled passes over the enabled arrays, prints each array's table and the
  // result report, and records the elapsed whole seconds. initializeBackMC first.
  void runVisibility();

  // Traces and finishes the sensors of one array in pass `passIndex` (0 diffuse sky,
  // 1 direct sun): console line `comment`, the photons of all its sensors on all
  // threads, finishTally with the light model's irradiances, progress, then the table
  // "DirectScattered\tDirectUnscattered\tDiffuse\tTotal" with one line per sensor.
  // `tot_n` is the run's total T of sensors and `total` the bar length.
  void callSensorArray(std::string_view comment, SensorArrayId array, int passIndex, int tot_n, double total);

  // The per-chunk state of the photon loop: the chunk's tally and its own copies of
  // the test counters.
  struct ChunkTally {
    SensorTally sums;
    std::int64_t steps = 0;         // free-path steps traced
    LambertianTest lambertianTest;  // counts of the target's Lambertian test
    ScatteringTest scatteringTest;  // counts of the photon's scattering test
  };

  // The photon loop for photons firstPhoton ... firstPhoton + count - 1 of `sensor`:
  // launch, free-path steps, target and reference tests before the surface and bottom,
  // local sun estimates (direct-sun pass) or sky scores at the surface (diffuse pass),
  // until the weight falls to minWeight or the scattering count exceeds maxScatEvents.
  // Adds to `tally`; draws from `rng`; `photon` is the caller's, reused.
  void runSingleSensor(const Sensor& sensor, long long firstPhoton, int count, Random& rng, Photon& photon,
                       ChunkTally& tally) const;

  // Applies a target hit to the photon: position to the hit point, direction to the
  // reflected one, weight times the hit's albedo factor; in the direct-sun pass of
  // `sensor` the reflector's local sun estimate is added to `sums`.
  void targetInteraction(const TargetHit& hit, const Sensor& sensor, Photon& photon, SensorTally& sums) const;

  // The reflector's local estimate of the direct sun for a photon of weight `weight`
  // (after the reflection's albedo factor) leaving a Lambertian face of unit normal
  // `normal` at depth `depth` [engine length], for the sun seen by `sensor`:
  // weight x max(0, normal . s) / pi x exp(-max(depth, 0) / mu_w).
  static double reflectorSunEstimate(double weight, const Vec3& normal, double depth, const Sensor& sensor);

  // Where a phase-function file named in the settings is read: a bare file name in the
  // "phaseFunction" folder (working directory first, then beside the program; a file of
  // that name in the working directory itself if neither has it); a path as given.
  // The same lookup as orvel::resolvePhaseFunctionFile, which the preview also uses.
  static std::filesystem::path resolvePhaseFunctionFile(const std::string& name);

  // Letters of the window program's progress bar after `current` of `total` sensors:
  // the integer part of current x 132 / total (132 at the end).
  static int progressBarLetters(int current, int total);

  // Sensors the run traces: NSensor x enabled arrays x enabled passes (T).
  static int totalSensors(const Control& control);

  // --- State of a built run. ---
  const Control& getControl() const { return control_; }
  const VisibilityRunOptions& getOptions() const { return options_; }
  bool isBuilt() const { return water_.has_value(); }
  const HomogeneousWater& getWater() const;
  const IncidentRadiance& getIncidentRadiance() const;
  const InfiniteHorizonBoundary& getBoundary() const;
  // The target and reference objects (nullptr when not built).
  const Target* getTarget() const { return target_.get(); }
  const Target* getReferenceTarget() const { return referenceTarget_.get(); }
  // The viewing direction d and the centres P_T', P_B', P_R' [engine length].
  const Vec3& getViewDirection() const { return viewDirection_; }
  const Vec3& getTargetCenter() const { return targetCenter_; }
  const Vec3& getBackGroundCenter() const { return backGroundCenter_; }
  const Vec3& getReferenceCenter() const { return referenceCenter_; }
  // The run's attenuation c' [1/m] (hw.c after any truncation rescaling).
  double getEngineAttenuation() const;

  const Sensor& getSensor(SensorArrayId array, int i) const;
  const std::vector<RadianceSensor>& radTargetSensor() const { return radTargetSensor_; }
  const std::vector<RadianceSensor>& radOppositeTargetSensor() const { return radOppositeTargetSensor_; }
  const std::vector<RadianceSensor>& radBackGroundSensor() const { return radBackGroundSensor_; }
  const std::vector<RadianceSensor>& radReferenceTargetSensor() const { return radReferenceTargetSensor_; }
  const std::vector<IrradianceSensor>& irradTargetSensor() const { return irradTargetSensor_; }
  const std::vector<IrradianceSensor>& irradOppositeTargetSensor() const { return irradOppositeTargetSensor_; }

  // The merged test counters of the run.
  const LambertianTest& getLambertianTest() const { return lambertianTest_; }
  const ScatteringTest& getScatteringTest() const { return scatteringTest_; }

  // Photons traced and free-path steps taken so far in the run (for speed figures).
  std::int64_t getPhotonCount() const { return photonCount_; }
  std::int64_t getStepCount() const { return stepCount_; }

  // The results of the finished run; empty until runVisibility has ended.
  const std::optional<VisibilityResults>& results() const { return results_; }

 private:
  Sensor& sensorAt(SensorArrayId array, int i);
  bool isArrayEnabled(SensorArrayId array) const;
  // Whether `control` enables the array.
  static bool isArrayEnabled(const Control& control, SensorArrayId array);
  int threadCount() const;
  void checkSensorsInWater() const;
  template <class TargetT>
  void tracePhotons(const Sensor& sensor, long long firstPhoton, int count, Random& rng, Photon& photon,
                    ChunkTally& tally, const TargetT* target, const TargetT* reference) const;
  void reportProgress();
  VisibilityResults collectResults() const;

  Control control_;
  VisibilityRunOptions options_;

  std::int64_t startMilliseconds_ = 0;
  std::unique_ptr<IncidentRadiance> inRad_;
  std::optional<HomogeneousWater> water_;
  std::unique_ptr<InfiniteHorizonBoundary> infHorizon_;
  std::unique_ptr<Target> target_;
  std::unique_ptr<Target> referenceTarget_;
  const Target* testedTarget_ = nullptr;     // target_ when isTargetPresent
  const Target* testedReference_ = nullptr;  // referenceTarget_ when isReferenceTargetPresent
  Vec3 viewDirection_{0.0, 0.0, 0.0};
  Vec3 targetCenter_{0.0, 0.0, 0.0};
  Vec3 backGroundCenter_{0.0, 0.0, 0.0};
  Vec3 referenceCenter_{0.0, 0.0, 0.0};

  std::vector<RadianceSensor> radTargetSensor_;
  std::vector<RadianceSensor> radOppositeTargetSensor_;
  std::vector<RadianceSensor> radBackGroundSensor_;
  std::vector<RadianceSensor> radReferenceTargetSensor_;
  std::vector<IrradianceSensor> irradTargetSensor_;
  std::vector<IrradianceSensor> irradOppositeTargetSensor_;

  LambertianTest lambertianSetup_;  // the target disk's test spots, zero counts
  ScatteringTest scatteringSetup_;  // the photon's test cones, zero counts
  LambertianTest lambertianTest_;   // the run's merged counts
  ScatteringTest scatteringTest_;   // the run's merged counts

  std::mutex progressMutex_;  // serialises the progress reports of the worker threads
  int current_ = 0;           // sensors finished so far
  int total_ = 0;             // T
  std::int64_t photonCount_ = 0;
  std::int64_t stepCount_ = 0;
  std::optional<VisibilityResults> results_;
};

}  // namespace orvel
