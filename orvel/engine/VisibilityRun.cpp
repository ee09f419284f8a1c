#include "orvel/engine/VisibilityRun.h"

#include <omp.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <exception>
#include <mutex>
#include <string>
#include <utility>

#include "orvel/engine/CardioidalRadiance.h"
#include "orvel/engine/DiskTarget.h"
#include "orvel/engine/ParticlePhaseFunction.h"
#include "orvel/engine/Photon.h"
#include "orvel/engine/PureWater.h"
#include "orvel/engine/ResultReport.h"
#include "orvel/engine/SolarRadiance.h"
#include "orvel/engine/SphereTarget.h"
#include "orvel/engine/TargetHit.h"
#include "shared/BasicEquations.h"
#include "shared/Console.h"
#include "shared/NumberText.h"

namespace orvel {

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kDegree = kPi / 180.0;

// Stream keys of the set-up draws (test-cone azimuths); photon streams use {pass,
// array, sensor, chunk} with pass 0 or 1.
constexpr std::uint64_t kSetupStreamKey = 1000;

// A photon that keeps stepping outside the water without meeting a face it could cross
// back through (possible only for an object placed above the surface or below the
// bottom) is abandoned after this many such steps in a row.
constexpr int kMaxStepsOutside = 1000;

constexpr std::string_view kArrayNames[kSensorArrayCount] = {
    "target-viewing radiance",     "opposite target-viewing radiance",
    "background radiance",         "target-viewing irradiance",
    "opposite target-viewing irradiance", "reference target radiance"};

std::int64_t nowMilliseconds() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

}  // namespace

VisibilityRun::VisibilityRun(const Control& control, VisibilityRunOptions options)
    : control_(control), options_(std::move(options)) {}

VisibilityRun::~VisibilityRun() = default;

const VisibilityResults& VisibilityRun::run() {
  initializeBackMC();
  runVisibility();
  return *results_;
}

// ---------------------------------------------------------------------------------
// Building the run.

void VisibilityRun::computeWaterIOPs(Control& control) {
  control.aWater = PureWater::absorption(control.wavelength);
  control.bWater = PureWater::scattering(control.wavelength);
}

void VisibilityRun::computeWaterIOPs() { computeWaterIOPs(control_); }

std::filesystem::path VisibilityRun::resolvePhaseFunctionFile(const std::string& name) {
  return orvel::resolvePhaseFunctionFile(name);
}

void VisibilityRun::setPhaseFunction() {
  std::shared_ptr<const PhaseFunction> model = makeParticlePhaseFunction(control_);
  if (control_.isWaterIncluded) {
    // Pure water scatters bWater; the particles scatter the rest of b = w0 c.
    if (particleScattering(control_) < 0.0 && control_.w0 > 0.0) {
      // Less scattering in total than pure water alone: the particles cannot scatter a
      // negative amount, so the mixture is pure water's phase function.
      console::message("Warning: w0 x c = " + numtext::formatD(control_.w0 * control_.c) +
                       " 1/m is below the pure-water scattering " + numtext::formatD(control_.bWater) +
                       " 1/m; the particle component scatters nothing.");
    }
    model = makeWaterParticleMixture(control_, *model);
  }
  water_->setPhaseFunction(model);
  if (control_.isPFtruncated) water_->adjustMediumProperties(model->getF());
}

void VisibilityRun::initializeBackMC() {
  // 1. The clock.
  startMilliseconds_ = nowMilliseconds();
  results_.reset();
  current_ = 0;
  total_ = 0;
  target_.reset();
  referenceTarget_.reset();
  testedTarget_ = nullptr;
  testedReference_ = nullptr;
  infHorizon_.reset();
  water_.reset();
  inRad_.reset();

  const Control& k = control_;
  if (k.NSensor < 0) throw VisibilityRunError("NSensor must not be negative");
  if (k.Nphoton < 0) throw VisibilityRunError("Nphoton must not be negative");
  if (!(k.c > 0.0) || !std::isfinite(k.c)) throw VisibilityRunError("the attenuation c must be above 0");

  // 2. Incident light.
  if (k.inRadType == 0) {
    inRad_ = std::make_unique<SolarRadiance>(k.wavelength, k.solarZenithAngle, k.cloudCover);
  } else if (k.inRadType == 1) {
    inRad_ = std::make_unique<CardioidalRadiance>(CardioidalRadiance::fromTotalEd(
        static_cast<double>(k.wavelength), k.cardioidalCoeff, k.cardioidalTotalEd, k.cardioidalSkyEdToTotalEd));
  } else {
    throw VisibilityRunError("unknown incident radiance type " + std::to_string(k.inRadType));
  }

  // 3.-5. Water and its phase function (c' is the attenuation after truncation).
  computeWaterIOPs();
  water_.emplace(k.c, k.w0);
  setPhaseFunction();
  const double cp = water_->c;

  // 6. Sea surface and bottom.
  infHorizon_ = std::make_unique<InfiniteHorizonBoundary>(*inRad_, k.isBottomInfinite, k.bottomDepth * cp,
                                                          k.bottomAlbedo, k);

  // 8.-10. Line of sight and the centres of the three arrays, in metres.
  const Vec3 d = BasicEquations::anglesToDirectionCosine(k.sensorZenithAngle, k.sensorAzimuthAngle);
  viewDirection_ = d;
  const Vec3 targetMetres{0.0, 0.0, k.targetDepth};
  const double offset = k.sensorArrayDistance * k.targetRadius;
  Vec3 backGroundSide{-1.0, 0.0, 0.0};
  Vec3 referenceSide{1.0, 0.0, 0.0};
  if (!(std::abs(d[0] + d[1]) < 1e-7)) {
    const double h = std::sqrt(d[0] * d[0] + d[1] * d[1]);
    backGroundSide = {-d[1] / h, d[0] / h, 0.0};
    referenceSide = {d[1] / h, -d[0] / h, 0.0};
  }
  targetCenter_ = scaled(targetMetres, cp);
  backGroundCenter_ =
      k.isBackGroundRadianceSensor ? scaled(plus(targetMetres, scaled(backGroundSide, offset)), cp) : Vec3{};
  referenceCenter_ =
      k.isReferenceTargetPresent ? scaled(plus(targetMetres, scaled(referenceSide, offset)), cp) : Vec3{};

  // 11. Target and reference objects, facing the sensors.
  const Vec3 facing{-d[0], -d[1], -d[2]};
  const double radius = k.targetRadius * cp;
  Random setup = Random::stream(options_.seed, {kSetupStreamKey, 0});
  lambertianSetup_ = LambertianTest();
  if (k.isDisk) {
    auto disk = std::make_unique<DiskTarget>(radius, k.targetAlbedo, facing, targetCenter_, k, setup);
    lambertianSetup_ = disk->getLambertianTest();
    target_ = std::move(disk);
    if (k.isReferenceTargetPresent) {
      referenceTarget_ = std::make_unique<DiskTarget>(radius, k.referenceAlbedo, facing, referenceCenter_, k, setup);
    }
  } else {
    target_ = std::make_unique<SphereTarget>(radius, k.targetAlbedo, targetCenter_);
    if (k.isReferenceTargetPresent) {
      referenceTarget_ = std::make_unique<SphereTarget>(radius, k.referenceAlbedo, referenceCenter_);
    }
  }
  testedTarget_ = k.isTargetPresent ? target_.get() : nullptr;
  testedReference_ = k.isReferenceTargetPresent ? referenceTarget_.get() : nullptr;
  lambertianTest_ = lambertianSetup_;

  // Sensor distances along the line of sight [engine length]: from the disk centre, or
  // from the sphere's surface. The spacing is in optical depths of c.
  const double surfaceOffset = k.isDisk ? 0.0 : radius;
  const double firstDistance = k.LT0distance * 0.001 * cp;
  const double spacing = k.radSensorSpacing * cp / k.c;
  const auto sensorCenter = [&](const Vec3& arrayCenter, int i) {
    const double distance = surfaceOffset + (i == 0 ? firstDistance : spacing * i);
    return Vec3{arrayCenter[0] - distance * d[0], arrayCenter[1] - distance * d[1], arrayCenter[2] - distance * d[2]};
  };

  // 12. The six arrays, built in full.
  const double radianceRadius = k.radSensorRadius * 0.001 * cp;
  const double fov = k.sensorFOV * kDegree;
  const double irradianceRadius = k.irradianceDiameter / 2.0 * 0.001 * cp;
  const auto n = static_cast<std::size_t>(k.NSensor);
  for (auto* array : {&radTargetSensor_, &radOppositeTargetSensor_, &radBackGroundSensor_, &radReferenceTargetSensor_}) {
    array->clear();
    array->reserve(n);
  }
  for (auto* array : {&irradTargetSensor_, &irradOppositeTargetSensor_}) {
    array->clear();
    array->reserve(n);
  }
  for (int i = 0; i < k.NSensor; ++i) {
    const Vec3 st = sensorCenter(targetCenter_, i);
    const Vec3 sb = k.isBackGroundRadianceSensor ? sensorCenter(backGroundCenter_, i) : Vec3{};
    const Vec3 sr = k.isReferenceTargetPresent ? sensorCenter(referenceCenter_, i) : Vec3{};
    radTargetSensor_.emplace_back(d, st, radianceRadius, fov, false, k);
    radOppositeTargetSensor_.emplace_back(facing, st, radianceRadius, fov, false, k);
    radBackGroundSensor_.emplace_back(d, sb, radianceRadius, fov, false, k);
    radReferenceTargetSensor_.emplace_back(d, sr, radianceRadius, fov, false, k);
    irradTargetSensor_.emplace_back(d, st, irradianceRadius, false, k);
    irradOppositeTargetSensor_.emplace_back(facing, st, irradianceRadius, false, k);
  }
  checkSensorsInWater();

  // The photon's scattering test (the run command sets it up before every run).
  Random testSetup = Random::stream(options_.seed, {kSetupStreamKey, 1});
  scatteringSetup_ = k.isSPFTest ? ScatteringTest(k.testAngle, testSetup) : ScatteringTest();
  scatteringTest_ = scatteringSetup_;
}

void VisibilityRun::checkSensorsInWater() const {
  if (!control_.isDiffuseMode && !control_.isCollimatedMode) return;
  const double cp = water_->c;
  for (int a = 0; a < kSensorArrayCount; ++a) {
    const auto array = static_cast<SensorArrayId>(a);
    if (!isArrayEnabled(array)) continue;
    for (int i = 0; i < control_.NSensor; ++i) {
      const Vec3& center = getSensor(array, i).getCenter();
      if (!infHorizon_->isWithinBoundary(center)) {
        throw VisibilityRunError("sensor " + std::to_string(i) + " of the " + std::string(kArrayNames[a]) +
                                 " array lies outside the water, at depth " + numtext::formatS(center[2] / cp) +
                                 " m");
      }
    }
  }
}

// ---------------------------------------------------------------------------------
// Accessors.

const HomogeneousWater& VisibilityRun::getWater() const {
  if (!water_) throw std::logic_error("the visibility run has not been built");
  return *water_;
}

const IncidentRadiance& VisibilityRun::getIncidentRadiance() const {
  if (!inRad_) throw std::logic_error("the visibility run has not been built");
  return *inRad_;
}

const InfiniteHorizonBoundary& VisibilityRun::getBoundary() const {
  if (!infHorizon_) throw std::logic_error("the visibility run has not been built");
  return *infHorizon_;
}

double VisibilityRun::getEngineAttenuation() const { return getWater().c; }

const Sensor& VisibilityRun::getSensor(SensorArrayId array, int i) const {
  const auto index = static_cast<std::size_t>(i);
  switch (array) {
    case SensorArrayId::kRadTarget: return radTargetSensor_.at(index);
    case SensorArrayId::kRadOppositeTarget: return radOppositeTargetSensor_.at(index);
    case SensorArrayId::kRadBackGround: return radBackGroundSensor_.at(index);
    case SensorArrayId::kIrradTarget: return irradTargetSensor_.at(index);
    case SensorArrayId::kIrradOppositeTarget: return irradOppositeTargetSensor_.at(index);
    case SensorArrayId::kRadReferenceTarget: return radReferenceTargetSensor_.at(index);
  }
  throw std::invalid_argument("unknown sensor array");
}

Sensor& VisibilityRun::sensorAt(SensorArrayId array, int i) {
  return const_cast<Sensor&>(std::as_const(*this).getSensor(array, i));
}

bool VisibilityRun::isArrayEnabled(SensorArrayId array) const { return isArrayEnabled(control_, array); }

bool VisibilityRun::isArrayEnabled(const Control& control, SensorArrayId array) {
  switch (array) {
    case SensorArrayId::kRadTarget: return control.isTargetViewingRadianceSensor;
    case SensorArrayId::kRadOppositeTarget: return control.isOppositeTargetViewingRadianceSensor;
    case SensorArrayId::kRadBackGround: return control.isBackGroundRadianceSensor;
    case SensorArrayId::kIrradTarget: return control.isTargetViewingIrradianceSensor;
    case SensorArrayId::kIrradOppositeTarget: return control.isOppositeTargetViewingIrradianceSensor;
    case SensorArrayId::kRadReferenceTarget: return control.isReferenceTargetPresent;
  }
  return false;
}

int VisibilityRun::totalSensors(const Control& control) {
  int arrays = 0;
  for (int a = 0; a < kSensorArrayCount; ++a) arrays += int{isArrayEnabled(control, static_cast<SensorArrayId>(a))};
  const int passes = int{control.isDiffuseMode} + int{control.isCollimatedMode};
  return std::max(control.NSensor, 0) * arrays * passes;
}

int VisibilityRun::progressBarLetters(int current, int total) {
  if (total <= 0) return 0;
  return static_cast<int>(current * kProgressBarLength / total);
}

int VisibilityRun::threadCount() const {
  if (control_.isPhotonDebug) return 1;  // the trace lines must stay in order
  return options_.threads > 0 ? options_.threads : std::max(omp_get_max_threads(), 1);
}

// ---------------------------------------------------------------------------------
// Tracing.

void VisibilityRun::runVisibility() {
  if (!isBuilt()) throw std::logic_error("runVisibility before initializeBackMC");
  current_ = 0;
  total_ = totalSensors(control_);
  photonCount_ = 0;
  stepCount_ = 0;
  const int n = control_.NSensor;

  if (control_.isDiffuseMode) {
    for (int a = 0; a < kSensorArrayCount; ++a) {
      const auto array = static_cast<SensorArrayId>(a);
      if (isArrayEnabled(array)) {
        callSensorArray("diffuse " + std::string(kArrayNames[a]), array, 0, total_, kProgressBarLength);
      }
    }
  }
  if (control_.isCollimatedMode) {
    for (int a = 0; a < kSensorArrayCount; ++a) {
      for (int i = 0; i < n; ++i) sensorAt(static_cast<SensorArrayId>(a), i).initializeToNewMode(true);
    }
    for (int a = 0; a < kSensorArrayCount; ++a) {
      const auto array = static_cast<SensorArrayId>(a);
      if (isArrayEnabled(array)) {
        callSensorArray("collimated " + std::string(kArrayNames[a]), array, 1, total_, kProgressBarLength);
      }
    }
  }

  VisibilityResults results = collectResults();
  printResult(results);
  results.elapsedSeconds = (nowMilliseconds() - startMilliseconds_) / 1000;
  results_ = std::move(results);
}

void VisibilityRun::reportProgress() {
  const std::lock_guard<std::mutex> lock(progressMutex_);
  ++current_;
  if (options_.progress) options_.progress(current_, total_);
}

void VisibilityRun::callSensorArray(std::string_view comment, SensorArrayId array, int passIndex, int tot_n,
                                    double total) {
  (void)total;  // the bar length belongs to whoever draws the progress
  total_ = tot_n;
  console::out(comment);

  const int n = control_.NSensor;
  const int chunks = (control_.Nphoton + kPhotonsPerChunk - 1) / kPhotonsPerChunk;
  const int items = n * chunks;
  std::vector<ChunkTally> tallies(static_cast<std::size_t>(items));
  std::vector<std::exception_ptr> errors(static_cast<std::size_t>(items));
  std::vector<std::atomic<int>> remaining(static_cast<std::size_t>(n));
  for (auto& count : remaining) count.store(chunks);

  const auto work = [&](int item) {
    const int s = item / chunks;
    const int chunk = item % chunks;
    const auto index = static_cast<std::size_t>(item);
    try {
      const long long first = static_cast<long long>(chunk) * kPhotonsPerChunk;
      const int count = static_cast<int>(std::min<long long>(kPhotonsPerChunk, control_.Nphoton - first));
      Random rng = Random::stream(options_.seed, {static_cast<std::uint64_t>(passIndex),
                                                  static_cast<std::uint64_t>(array), static_cast<std::uint64_t>(s),
                                                  static_cast<std::uint64_t>(chunk)});
      ChunkTally& tally = tallies[index];
      tally.lambertianTest = lambertianSetup_;
      Photon photon;
      photon.setPhotonDebug(control_.isPhotonDebug);
      if (scatteringSetup_.isEnabled()) photon.getScatteringTest() = scatteringSetup_;
      runSingleSensor(getSensor(array, s), first, count, rng, photon, tally);
      tally.scatteringTest = std::move(photon.getScatteringTest());
    } catch (...) {
      errors[index] = std::current_exception();
    }
    if (remaining[static_cast<std::size_t>(s)].fetch_sub(1) == 1) reportProgress();
  };

  const int threads = threadCount();
  if (threads == 1 || items <= 1) {
    for (int item = 0; item < items; ++item) work(item);
  } else {
#pragma omp parallel for schedule(dynamic, 1) num_threads(threads)
    for (int item = 0; item < items; ++item) work(item);
  }
  if (chunks == 0) {
    for (int s = 0; s < n; ++s) reportProgress();
  }
  for (const std::exception_ptr& error : errors) {
    if (error) std::rethrow_exception(error);
  }

  // Chunk sums and counters in chunk order, then the sensor's results.
  for (int s = 0; s < n; ++s) {
    Sensor& sensor = sensorAt(array, s);
    for (int chunk = 0; chunk < chunks; ++chunk) {
      const ChunkTally& tally = tallies[static_cast<std::size_t>(s * chunks + chunk)];
      sensor.addTally(tally.sums);
      stepCount_ += tally.steps;
      lambertianTest_ += tally.lambertianTest;
      scatteringTest_ += tally.scatteringTest;
    }
    sensor.finishTally(inRad_->getDirectEd(), inRad_->getDiffuseEd(), *water_);
  }
  photonCount_ += static_cast<std::int64_t>(n) * control_.Nphoton;

  console::out("DirectScattered\tDirectUnscattered\tDiffuse\tTotal");
  for (int s = 0; s < n; ++s) {
    const Sensor& sensor = getSensor(array, s);
    console::out(numtext::formatS(sensor.getDirectScatteredValue()) + '\t' +
                 numtext::formatS(sensor.getDirectUnscatteredValue()) + '\t' +
                 numtext::formatS(sensor.getDiffuseValue()) + '\t' + numtext::formatS(sensor.getValue()));
  }
}

void VisibilityRun::runSingleSensor(const Sensor& sensor, long long firstPhoton, int count, Random& rng,
                                    Photon& photon, ChunkTally& tally) const {
  if (!isBuilt()) throw std::logic_error("runSingleSensor before initializeBackMC");
  // Both objects are of one kind: the loop is compiled for it, so the hit tests are
  // direct calls.
  if (control_.isDisk) {
    tracePhotons(sensor, firstPhoton, count, rng, photon, tally, static_cast<const DiskTarget*>(testedTarget_),
                 static_cast<const DiskTarget*>(testedReference_));
  } else {
    tracePhotons(sensor, firstPhoton, count, rng, photon, tally, static_cast<const SphereTarget*>(testedTarget_),
                 static_cast<const SphereTarget*>(testedReference_));
  }
}

template <class TargetT>
void VisibilityRun::tracePhotons(const Sensor& sensor, long long firstPhoton, int count, Random& rng,
                                 Photon& photon, ChunkTally& tally, const TargetT* target,
                                 const TargetT* reference) const {
  const HomogeneousWater& hw = *water_;
  const InfiniteHorizonBoundary& boundary = *infHorizon_;
  const bool collimated = sensor.isCollimated();
  const bool trace = control_.isPhotonDebug;
  const double minWeight = control_.minWeight;
  const int maxScatEvents = control_.maxScatEvents;
  LambertianTest* test = tally.lambertianTest.isEnabled() ? &tally.lambertianTest : nullptr;
  SensorTally& sums = tally.sums;
  std::int64_t steps = 0;

  for (long long i = firstPhoton; i < firstPhoton + count; ++i) {
    photon.launch(sensor, sums, rng);
    if (trace) [[unlikely]] Control::writePhotonInfo(std::to_string(i) + " th photon launched!", photon);
    int stepsOutside = 0;
    while (true) {
      // A free path of tau optical depths is tau engine units.
      const double tau = HomogeneousWater::getFreePathLength(rng);
      photon.updatePosition(tau);
      ++steps;
      if (trace) [[unlikely]] Control::writePhotonInfo("updated by pathLength " + numtext::formatD(tau), photon);

      const bool inside = boundary.isWithinBoundary(photon.getNewPosition());
      // The targets are met before the surface and the bottom.
      std::optional<TargetHit> hit;
      if (target != nullptr) hit = target->isHit(photon, rng, test);
      if (!hit && reference != nullptr) hit = reference->isHit(photon, rng, nullptr);
      if (hit) {
        targetInteraction(*hit, sensor, photon, sums);
      } else if (inside) {
        // The local estimate of the sun is taken before the photon scatters here.
        if (collimated) sensor.tallyCollimationBackMC(photon, hw, sums);
        photon.volumeScattering(hw, rng);
      } else {
        const BoundaryEvent event = boundary.outOfBoundOperation(photon, collimated, rng);
        if (event.isSkyTallied) Sensor::tallyBackMC(event.skyEnergy, sums);
        if (event.kind == BoundaryEvent::Kind::kBottom && collimated) {
          Sensor::tallyBackMC(reflectorSunEstimate(photon.getWeight(), event.normal, event.hitPosition[2], sensor),
                              sums);
        }
        if (event.kind == BoundaryEvent::Kind::kNone) {
          if (++stepsOutside > kMaxStepsOutside) break;
        } else {
          stepsOutside = 0;
        }
      }
      if (photon.getWeight() <= minWeight || photon.multipleScattering > maxScatEvents) break;
    }
  }
  tally.steps += steps;
}

void VisibilityRun::targetInteraction(const TargetHit& hit, const Sensor& sensor, Photon& photon,
                                      SensorTally& sums) const {
  photon.setNewPosition(hit.hitPosition);
  if (control_.isPhotonDebug) [[unlikely]] Control::writePhotonInfo("position updated by target hit", photon);
  photon.setDirection(hit.reflectedDirection);
  if (control_.isPhotonDebug) [[unlikely]] Control::writePhotonEvent("direction change by target reflection");
  photon.updateWeight(hit.albedo);
  if (sensor.isCollimated()) {
    Sensor::tallyBackMC(reflectorSunEstimate(photon.getWeight(), hit.normal, hit.hitPosition[2], sensor), sums);
  }
}

double VisibilityRun::reflectorSunEstimate(double weight, const Vec3& normal, double depth, const Sensor& sensor) {
  const SolarGeometry& sun = sensor.getSolarGeometry();
  const double cosSun = dot(normal, sun.solarDirection);
  if (!(cosSun > 0.0)) return 0.0;  // the face met looks away from the sun
  // Lambertian reflector: radiance = albedo x irradiance / pi; the irradiance of the
  // refracted beam on the face, per unit of the sensor's scaling Eddir T / mu_w, is
  // cos(n, s) x exp(-slant path to the surface).
  const double slant = std::max(depth, 0.0) / sun.solarWaterAngleCosine;
  return weight * cosSun / kPi * HomogeneousWater::getTransmittance(slant);
}

VisibilityResults VisibilityRun::collectResults() const {
  VisibilityResults r;
  r.control = control_;
  r.bbRatio = water_->getPhaseFunction().getBbRatio();
  const auto values = [this](SensorArrayId array) {
    std::vector<double> v;
    v.reserve(static_cast<std::size_t>(control_.NSensor));
    for (int i = 0; i < control_.NSensor; ++i) v.push_back(getSensor(array, i).getValue());
    return v;
  };
  r.radTarget = values(SensorArrayId::kRadTarget);
  r.radOppositeTarget = values(SensorArrayId::kRadOppositeTarget);
  r.radBackGround = values(SensorArrayId::kRadBackGround);
  r.radReferenceTarget = values(SensorArrayId::kRadReferenceTarget);
  r.irradTarget = values(SensorArrayId::kIrradTarget);
  r.irradOppositeTarget = values(SensorArrayId::kIrradOppositeTarget);
  if (control_.isLambertianTest) {
    for (std::size_t i = 0; i < lambertianTest_.size(); ++i) {
      r.lambertianCones.push_back(
          {lambertianTest_.angle[i], lambertianTest_.reflectedPhotons[i], lambertianTest_.reflectedWeights[i]});
    }
  }
  if (control_.isSPFTest) {
    for (std::size_t i = 0; i < scatteringTest_.size(); ++i) {
      r.scatteringCones.push_back({scatteringTest_.angle[i], scatteringTest_.scatteredPhotons[i],
                                   water_->getSPF(scatteringTest_.angle[i] * kDegree)});
    }
  }
  return r;
}

}  // namespace orvel
