#include "pallix/engine/RunController.h"

#include <charconv>
#include <cmath>
#include <exception>
#include <numbers>
#include <stdexcept>
#include <system_error>
#include <vector>

#include "pallix/engine/BatchResult.h"
#include "pallix/engine/ParallelTracing.h"
#include "pallix/engine/PhotonLoops.h"
#include "pallix/engine/RunPlan.h"
#include "pallix/engine/RunSetup.h"
#include "shared/NumberText.h"
#include "shared/TextFile.h"

namespace pallix {
namespace {

constexpr double kPi = std::numbers::pi;

double radians(double degrees) { return degrees * kPi / 180.0; }

template <class F, class... Args>
void call(const F& f, Args&&... args) {
  if (f) f(std::forward<Args>(args)...);
}

const char* kNoWeightingAdvice =
    "The beta channel needs a weighting function: run \"Beta calibration (Large diffuser)\" first.";

std::string noUsableWeighting(double integral) {
  return "The weighting integral is " + numtext::formatD(integral) + ": " + kNoWeightingAdvice;
}

std::string tooFewPhotons(std::int64_t nphoton, int chunks) {
  return "Number of photons " + numtext::formatI(nphoton) + " is too small: the run splits it into " +
         numtext::formatI(chunks) + " chunks of at least one photon.";
}

// E and K of the a channel: E = weight / (N k), K = ln(1 / E) / (0.02 aHeight) over the
// two-way path of 2 aHeight cm in metres [1/m].
struct AChannelResult {
  double E;
  double K;
};
AChannelResult aChannelResult(double weight, std::int64_t nphoton, double k, double aHeight) {
  const double E = weight / (static_cast<double>(nphoton) * k);
  return {E, std::log(1.0 / E) / (0.02 * aHeight)};
}

}  // namespace

RunMode chooseRunMode(const Control& control) {
  if (control.isRunForK) return RunMode::K;
  if (control.isRunForBetaCalibration) return RunMode::BetaCalibration;
  if (control.isBatchRun) return RunMode::Sweep;
  return RunMode::Single;
}

std::optional<double> parseK(std::string_view text) {
  const auto first = text.find_first_not_of(" \t\r\n");
  if (first == std::string_view::npos) return std::nullopt;
  text = text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
  if (text.front() == '+') text.remove_prefix(1);
  double value = 0.0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc{} || end != text.data() + text.size() || !std::isfinite(value) || !(value > 0.0))
    return std::nullopt;
  return value;
}

RunController::RunController(RunRequest request, const HomogeneousWater& water, WeightingFunction& weighting,
                             RunCallbacks callbacks)
    : request_(std::move(request)),
      water_(water),
      weighting_(weighting),
      callbacks_(std::move(callbacks)),
      mode_(chooseRunMode(request_.control)) {}

RunController::~RunController() {
  cancel();
  wait();
}

void RunController::start() {
  if (thread_.joinable() || outcome_.load() != RunOutcome::NotRun) return;
  thread_ = std::thread([this] { run(); });
}

void RunController::wait() {
  if (thread_.joinable()) thread_.join();
}

std::optional<std::string> RunController::check() {
  checkResult_ = checkRequest();
  checked_ = true;
  return checkResult_;
}

std::optional<std::string> RunController::checkRequest() {
  checkedWeighting_.reset();
  const Control& c = request_.control;
  if (c.Nphoton < 1) return "Number of photons must be at least 1, not " + numtext::formatI(c.Nphoton) + ".";
  try {
    switch (mode_) {
      case RunMode::K:
        // Every chunk traces N / MAXIMUM photons: fewer than MAXIMUM would trace none.
        if (c.Nphoton < MAXIMUM) return tooFewPhotons(c.Nphoton, MAXIMUM);
        (void)initializeForK(c);
        return std::nullopt;
      case RunMode::BetaCalibration: {
        if (valueCount(c.startDiffuser, c.endDiffuser, c.intervalDiffuser) < 1)
          return "No diffuser distance to calibrate: the interval must be above 0 and the end no lower than "
                 "the start by a whole interval.";
        if (!(c.startDiffuser > 0.0)) return "The first diffuser distance must be above 0 cm.";
        if (!(c.diffuserAlbedo > 0.0))
          return "The diffuser albedo must be above 0 for a beta calibration (the weighting divides by it).";
        (void)initializeForBetaCalibration(c, c.startDiffuser);
        break;
      }
      case RunMode::Sweep:
      case RunMode::Single: {
        if (!request_.channelA && !request_.channelBeta) return "Select the a channel, the beta channel or both.";
        if (request_.channelA) {
          const auto first = request_.kText.find_first_not_of(" \t\r\n");
          if (first == std::string::npos) return kKMissingMessage;
          if (!parseK(request_.kText))
            return "Diffuser reflection to sensor (k) must be a number above 0, not \"" + request_.kText + "\".";
        }
        if (mode_ == RunMode::Sweep) {
          if (valueCount(c.startw0, c.endw0, c.intervalw0) < 1)
            return "No w0 value to sweep: the interval must be above 0 and the end no lower than the start "
                   "by a whole interval.";
        } else {
          if (request_.channelBeta && !request_.channelA && c.betaRepetition < 1)
            return "The number of beta repetitions must be at least 1.";
          const SingleRunPlan plan = planSingleRun(request_.channelA, request_.channelBeta, c.betaRepetition,
                                                   c.Nphoton);
          if (plan.a.chunks > 0 && plan.a.photonsPerChunk < 1) return tooFewPhotons(c.Nphoton, plan.a.chunks);
          if (plan.beta.chunks > 0 && plan.beta.photonsPerChunk < 1)
            return tooFewPhotons(c.Nphoton, plan.beta.chunks);
        }
        (void)initializePallix(c, water_);
        if (request_.channelBeta && !weighting_.isUsable()) {
          WeightingTable table;
          const WeightingLoad load = readWeightingFile(request_.workDir / kWeightingFileName, table);
          if (load != WeightingLoad::Loaded) return weightingLoadMessage(load) + ". " + kNoWeightingAdvice;
          WeightingFunction probe;
          probe.computeNewWeighting(table, c, [](const std::string&) {});
          if (!probe.isUsable()) return noUsableWeighting(probe.weightingIntegral());
          checkedWeighting_ = std::move(table);
        }
        break;
      }
    }
  } catch (const std::exception& e) {
    return std::string(e.what());
  }
  return std::nullopt;
}

RunOutcome RunController::run() {
  if (outcome_.load() != RunOutcome::NotRun) return outcome_.load();
  const RunOutcome result = perform();
  {
    std::lock_guard<std::mutex> lock(doneMutex_);
    done_.store(true);
  }
  doneChanged_.notify_all();
  return result;
}

bool RunController::waitFor(std::chrono::milliseconds timeout) {
  std::unique_lock<std::mutex> lock(doneMutex_);
  return doneChanged_.wait_for(lock, timeout, [this] { return done_.load(); });
}

RunOutcome RunController::perform() {
  if (const auto refusal = checked_ ? checkResult_ : check()) {
    refuse(*refusal, false);
    return outcome_.load();
  }
  try {
    // One team of threads for the whole run; this thread leads it.
    withTracingTeam(request_.threads, [this] {
      switch (mode_) {
        case RunMode::K:
          runK();
          break;
        case RunMode::BetaCalibration:
          runCalibration();
          break;
        case RunMode::Sweep:
          runSweep();
          break;
        case RunMode::Single:
          runSingle();
          break;
      }
    });
  } catch (const std::exception& e) {
    fail(e.what());
  }
  return outcome_.load();
}

bool RunController::stopIfCancelled() {
  if (!cancelRequested_.load(std::memory_order_relaxed)) return false;
  outcome_.store(RunOutcome::Cancelled);
  call(callbacks_.cancelled);
  return true;
}

void RunController::refuse(const std::string& reason, bool afterStart) {
  failure_ = reason;
  outcome_.store(RunOutcome::Refused);
  call(callbacks_.message, reason);
  if (afterStart) call(callbacks_.cancelled);
}

void RunController::fail(const std::string& reason) {
  failure_ = reason;
  outcome_.store(RunOutcome::Failed);
  call(callbacks_.message, reason);
}

void RunController::complete() {
  if (outcome_.load() == RunOutcome::NotRun) outcome_.store(RunOutcome::Completed);
}

// Loads the weighting file before the beta photons (the table the check has just read,
// when it read one). A failed load is reported and the run goes on with the weighting
// loaded earlier; with none, the beta channel is refused.
bool RunController::loadWeightingForBeta() {
  WeightingFunction::LineSink console = callbacks_.console;
  if (!console) console = [](const std::string&) {};
  WeightingLoad load = WeightingLoad::Loaded;
  if (checkedWeighting_) {
    weighting_.computeNewWeighting(*checkedWeighting_, request_.control, console);
    checkedWeighting_.reset();
  } else {
    load = weighting_.computeNewWeighting(request_.workDir / kWeightingFileName, request_.control, console);
  }
  if (load != WeightingLoad::Loaded) {
    if (!weighting_.isUsable()) {
      refuse(weightingLoadMessage(load) + ". " + kNoWeightingAdvice, true);
      return false;
    }
    call(callbacks_.message, weightingLoadMessage(load));
  }
  if (!weighting_.isUsable()) {
    refuse(noUsableWeighting(weighting_.weightingIntegral()), true);
    return false;
  }
  return true;
}

void RunController::runK() {
  const Control& c = request_.control;
  const std::int64_t N = c.Nphoton;
  const std::int64_t perChunk = N / MAXIMUM;
  KRunSetup setup = initializeForK(c);
  const auto loop = [&setup](std::int64_t n, PallixSensor& sensor, Photon& photon, Random& rng) {
    runForK(n, sensor, setup.aLED, setup.aHousing, setup.aHeight, photon, rng);
  };
  for (int i = 0; i < MAXIMUM; ++i) {
    traceChunk(perChunk, request_.seed, {StreamMode::KRun, 0, static_cast<std::uint64_t>(i)}, request_.threads,
               setup.aSensor, loop);
    if (stopIfCancelled()) return;
    call(callbacks_.progress, i + 1);
  }
  call(callbacks_.finished);
  const double weight = setup.aSensor.getWeight();
  const double k = weight / static_cast<double>(N);
  call(callbacks_.kField, numtext::formatS(k));
  call(callbacks_.console, "weight/total photon = " + numtext::formatS(weight) + "/" + numtext::formatI(N));
  call(callbacks_.console, "starting photons = " + numtext::formatI(N) +
                               " captured number = " + numtext::formatD(setup.aSensor.getEvent()));
  complete();
}

void RunController::runCalibration() {
  const Control& c = request_.control;
  const std::int64_t N = c.Nphoton;
  const std::int64_t n = valueCount(c.startDiffuser, c.endDiffuser, c.intervalDiffuser);
  std::vector<double> distance, weighting, relative;
  // The detector centre lies 0.1 x BcenterSensorSliderValue cm off the axis.
  const double detectorOffset = 0.1 * c.BcenterSensorSliderValue;
  for (std::int64_t i = 0; i < n; ++i) {
    const double d = c.startDiffuser + static_cast<double>(i) * c.intervalDiffuser;
    CalibrationSetup setup = initializeForBetaCalibration(c, d);
    traceChunk(N, request_.seed, {StreamMode::Calibration, static_cast<std::uint64_t>(i), 0}, request_.threads,
               setup.betaSensor, [&setup](std::int64_t count, PallixSensor& sensor, Photon& photon, Random& rng) {
                 runForBetaCalibration(count, sensor, setup.betaLED, setup.betaCalibrationHousing,
                                       setup.minWeight, photon, rng);
               });
    // P: fraction of the LED's energy detected; cos(theta_d) between the face normal and
    // the line from the detector centre to the axis point at distance d.
    const double P = setup.betaSensor.getWeight() / static_cast<double>(N);
    const double cosThetaD = d / std::sqrt(d * d + detectorOffset * detectorOffset);
    const double W = P * (kPi / c.diffuserAlbedo) / cosThetaD;
    if (stopIfCancelled()) return;
    call(callbacks_.progress, calibrationProgress(i, n));
    call(callbacks_.console, numtext::formatS(d) + " \t " + numtext::formatD(W) +
                                 " captured number = " + numtext::formatD(setup.betaSensor.getEvent()));
    distance.push_back(d);
    weighting.push_back(W);
    relative.push_back(P / cosThetaD);
  }
  try {
    saveWeighting(request_.workDir / kWeightingFileName, distance, weighting, relative);
  } catch (const FileWriteError& e) {
    call(callbacks_.finished);
    fail(std::string("The weighting function was not saved: ") + e.what());
    return;
  }
  call(callbacks_.finished);
  complete();
}

void RunController::runSingle() {
  const Control& c = request_.control;
  const std::int64_t N = c.Nphoton;
  const SingleRunPlan plan = planSingleRun(request_.channelA, request_.channelBeta, c.betaRepetition, N);
  MediumRunSetup setup = initializePallix(c, water_);
  const HomogeneousWater& water = water_;

  if (plan.a.chunks > 0) {
    call(callbacks_.aField, std::string());
    const auto loop = [&setup, &water](std::int64_t n, PallixSensor& sensor, Photon& photon, Random& rng) {
      runPallix(n, sensor, setup.aLED, setup.aHousing, water, setup.limits, photon, rng);
    };
    for (int i = 0; i < plan.a.chunks; ++i) {
      traceChunk(plan.a.photonsPerChunk, request_.seed, {StreamMode::Single, 0, static_cast<std::uint64_t>(i)},
                 request_.threads, setup.aSensor, loop);
      if (stopIfCancelled()) return;
      call(callbacks_.progress, plan.aProgress(i));
    }
    const auto result = aChannelResult(setup.aSensor.getWeight(), N, *parseK(request_.kText), c.aHeight);
    call(callbacks_.aField, numtext::formatS(result.E) + "   K = " + numtext::formatS(result.K));
    call(callbacks_.console, "starting photons = " + numtext::formatI(N) +
                                 " captured number = " + numtext::formatD(setup.aSensor.getEvent()));
  }

  if (plan.beta.chunks > 0) {
    if (!loadWeightingForBeta()) return;
    call(callbacks_.betaField, std::string());
    const auto loop = [&setup, &water](std::int64_t n, PallixSensor& sensor, Photon& photon, Random& rng) {
      runPallix(n, sensor, setup.betaLED, setup.betaHousing, water, setup.limits, photon, rng);
    };
    const double perChunk = static_cast<double>(plan.beta.photonsPerChunk);
    double sum = 0.0;
    double lastP = 0.0;
    for (int i = 0; i < plan.beta.chunks; ++i) {
      traceChunk(plan.beta.photonsPerChunk, request_.seed, {StreamMode::Single, 1, static_cast<std::uint64_t>(i)},
                 request_.threads, setup.betaSensor, loop);
      if (stopIfCancelled()) return;
      call(callbacks_.progress, plan.betaProgress(i));
      // Each repetition starts from a zero weight; the count keeps growing.
      lastP = setup.betaSensor.getWeight() / perChunk;
      setup.betaSensor.setWeight(0.0);
      const double beta = lastP / weighting_.weightingIntegral();
      call(callbacks_.console, numtext::formatD(beta));
      sum += beta;
    }
    const double mean = sum / plan.beta.chunks;
    // beta of the phase function itself: p(theta) [1/sr] x b, with b = c w0 [1/m].
    const double b = c.c * c.w0;
    const double vsf = water.getPF(radians(140.0)) * b;
    call(callbacks_.betaField, "beta=" + numtext::formatS(mean) + " vsf=" + numtext::formatS(vsf));
    call(callbacks_.console, "b_relative_scattering = " + numtext::formatS(lastP));
    call(callbacks_.console, "beta Eq7 = " + numtext::formatD(mean));
    call(callbacks_.console, "beta(140) vsf = " + numtext::formatD(vsf));
    call(callbacks_.console, std::string());
    for (int angle = 124; angle <= 144; angle += 2)
      call(callbacks_.console, "beta(" + std::to_string(angle) + ") = " +
                                   numtext::formatS(water.getPF(radians(angle)) * b));
    call(callbacks_.console, "starting photons = " + numtext::formatI(N) +
                                 " captured number = " + numtext::formatD(setup.betaSensor.getEvent()));
  }
  call(callbacks_.finished);
  complete();
}

void RunController::runSweep() {
  const Control& c = request_.control;
  const std::int64_t N = c.Nphoton;
  const std::int64_t n = valueCount(c.startw0, c.endw0, c.intervalw0);
  const std::int64_t totalRuns = n * ((request_.channelA ? 1 : 0) + (request_.channelBeta ? 1 : 0));
  std::int64_t runsDone = 0;

  BatchResult result;
  result.c = c.c;
  for (std::int64_t i = 0; i < n; ++i) result.w0.push_back(c.startw0 + static_cast<double>(i) * c.intervalw0);

  // One sweep step: the settings with this w0, fresh objects, all N photons in one chunk.
  const auto traceStep = [&](std::int64_t i, int channel) {
    call(callbacks_.sweepW0, result.w0[static_cast<std::size_t>(i)]);
    Control step = c;
    step.w0 = result.w0[static_cast<std::size_t>(i)];
    HomogeneousWater water = water_;
    MediumRunSetup setup = initializePallix(step, water);
    PallixSensor& sensor = channel == 0 ? setup.aSensor : setup.betaSensor;
    const PallixLEDSource& led = channel == 0 ? setup.aLED : setup.betaLED;
    const auto trace = [&](const auto& housing) {
      traceChunk(N, request_.seed,
                 {StreamMode::Sweep, static_cast<std::uint64_t>(i), static_cast<std::uint64_t>(channel)},
                 request_.threads, sensor,
                 [&](std::int64_t count, PallixSensor& part, Photon& photon, Random& rng) {
                   runPallix(count, part, led, housing, water, setup.limits, photon, rng);
                 });
    };
    if (channel == 0) trace(setup.aHousing);
    else trace(setup.betaHousing);
    return sensor.getWeight();
  };

  if (request_.channelA) {
    result.hasA = true;
    call(callbacks_.aField, std::string());
    for (std::int64_t i = 0; i < n; ++i) {
      const double weight = traceStep(i, 0);
      if (stopIfCancelled()) return;
      call(callbacks_.progress, sweepProgress(++runsDone, totalRuns));
      result.K.push_back(aChannelResult(weight, N, *parseK(request_.kText), c.aHeight).K);
    }
  }
  if (request_.channelBeta) {
    result.hasBeta = true;
    if (!loadWeightingForBeta()) return;
    call(callbacks_.betaField, std::string());
    for (std::int64_t i = 0; i < n; ++i) {
      const double weight = traceStep(i, 1);
      if (stopIfCancelled()) return;
      call(callbacks_.progress, sweepProgress(++runsDone, totalRuns));
      result.beta.push_back((weight / static_cast<double>(N)) / weighting_.weightingIntegral());
    }
  }
  call(callbacks_.finished);
  call(callbacks_.sweepCompleted);
  try {
    result.save(request_.workDir / kBatchResultFileName);
  } catch (const FileWriteError& e) {
    fail(std::string("The batch result was not saved: ") + e.what());
    return;
  }
  complete();
}

}  // namespace pallix
