// The run thread of the instrument simulator: modes, chunking and progress, console
// lines and result fields, cancellation, refusals, files, reproducibility and the
// physics of the a channel where the answer is known.

#include "pallix/engine/RunController.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "pallix/engine/BatchResult.h"
#include "pallix/engine/RunPlan.h"
#include "shared/NumberText.h"
#include "support/RunProgram.h"
#include "support/TextForm.h"

namespace pallix {
namespace {

// Everything a run hands to its owner.
struct Recorder {
  std::vector<int> progress;
  int finished = 0;
  int cancelled = 0;
  std::vector<std::string> kField, aField, betaField;
  std::vector<std::string> console;
  std::vector<std::string> messages;
  std::vector<double> sweepW0;
  int sweepCompleted = 0;
  // Called after each progress value; may cancel the run.
  std::function<void(int)> onProgress;

  RunCallbacks callbacks() {
    RunCallbacks c;
    c.progress = [this](int v) {
      progress.push_back(v);
      if (onProgress) onProgress(v);
    };
    c.finished = [this] { ++finished; };
    c.cancelled = [this] { ++cancelled; };
    c.kField = [this](const std::string& t) { kField.push_back(t); };
    c.aField = [this](const std::string& t) { aField.push_back(t); };
    c.betaField = [this](const std::string& t) { betaField.push_back(t); };
    c.console = [this](const std::string& t) { console.push_back(t); };
    c.message = [this](const std::string& t) { messages.push_back(t); };
    c.sweepW0 = [this](double w) { sweepW0.push_back(w); };
    c.sweepCompleted = [this] { ++sweepCompleted; };
    return c;
  }
};

class RunControllerTest : public ::testing::Test {
 protected:
  RunRequest request(std::int64_t nphoton) const {
    RunRequest r;
    r.control.Nphoton = nphoton;
    r.seed = 20240611;
    r.threads = 2;
    r.workDir = dir_.path();
    return r;
  }
  RunRequest kRequest(std::int64_t nphoton) const {
    RunRequest r = request(nphoton);
    r.control.isRunForK = true;
    return r;
  }
  RunRequest calibrationRequest(std::int64_t nphoton) const {
    RunRequest r = request(nphoton);
    r.control.isRunForBetaCalibration = true;
    return r;
  }
  RunRequest singleRequest(std::int64_t nphoton, bool a, bool beta, const std::string& k = "0.05") const {
    RunRequest r = request(nphoton);
    r.channelA = a;
    r.channelBeta = beta;
    r.kText = k;
    return r;
  }
  RunRequest sweepRequest(std::int64_t nphoton, bool a, bool beta) const {
    RunRequest r = singleRequest(nphoton, a, beta);
    r.control.isBatchRun = true;
    return r;
  }

  RunOutcome run(const RunRequest& r, Recorder& rec) {
    RunController controller(r, water_, weighting_, rec.callbacks());
    return controller.run();
  }

  // Runs with a progress callback that cancels once the progress reaches `at`.
  RunOutcome runCancellingAt(const RunRequest& r, Recorder& rec, int at) {
    RunController* self = nullptr;
    rec.onProgress = [&self, at](int v) {
      if (v >= at) self->cancel();
    };
    RunController controller(r, water_, weighting_, rec.callbacks());
    self = &controller;
    return controller.run();
  }

  // A weighting file of 25 distances from 2 to 14 cm with a constant weighting.
  void writeWeighting(double value = 1.0) const {
    std::vector<double> x, y, z;
    for (int i = 0; i < 25; ++i) {
      x.push_back(2.0 + 0.5 * i);
      y.push_back(value);
      z.push_back(value);
    }
    saveWeighting(dir_ / "weighting.txt", x, y, z);
  }

  // k from a k run of `nphoton` photons.
  double estimateK(std::int64_t nphoton, Control control = Control{}) {
    RunRequest r = kRequest(nphoton);
    control.isRunForK = true;
    control.Nphoton = nphoton;
    r.control = control;
    Recorder rec;
    EXPECT_EQ(run(r, rec), RunOutcome::Completed);
    EXPECT_EQ(rec.kField.size(), 1u);
    return rec.kField.empty() ? 0.0 : std::stod(rec.kField.back());
  }

  testsupport::TempDir dir_;
  HomogeneousWater water_;
  WeightingFunction weighting_;
};

// The number after `prefix` in the first console line that starts with it.
double valueAfter(const std::vector<std::string>& lines, const std::string& prefix) {
  for (const auto& l : lines)
    if (l.rfind(prefix, 0) == 0) return std::stod(l.substr(prefix.size()));
  ADD_FAILURE() << "no line starting with " << prefix;
  return 0.0;
}

std::vector<int> oneTo(int n) {
  std::vector<int> v;
  for (int i = 1; i <= n; ++i) v.push_back(i);
  return v;
}

TEST(RunModeChoice, FlagsAreTestedInOrder) {
  Control c;
  EXPECT_EQ(chooseRunMode(c), RunMode::Single);
  c.isBatchRun = true;
  EXPECT_EQ(chooseRunMode(c), RunMode::Sweep);
  c.isRunForBetaCalibration = true;
  EXPECT_EQ(chooseRunMode(c), RunMode::BetaCalibration);
  c.isRunForK = true;
  EXPECT_EQ(chooseRunMode(c), RunMode::K);
}

TEST(KText, ReadsPositiveNumbersOnly) {
  EXPECT_EQ(parseK("0.0123"), 0.0123);
  EXPECT_EQ(parseK(" 1.5E-2 "), 0.015);
  for (const char* bad : {"", "  ", "abc", "0.01x", "0", "-0.1", "NaN", "Infinity", "1e999"})
    EXPECT_FALSE(parseK(bad).has_value()) << bad;
}

TEST_F(RunControllerTest, KRunReportsKAndItsConsoleLines) {
  Recorder rec;
  ASSERT_EQ(run(kRequest(20000), rec), RunOutcome::Completed);
  EXPECT_EQ(rec.progress, oneTo(100));
  EXPECT_EQ(rec.finished, 1);
  EXPECT_EQ(rec.cancelled, 0);
  ASSERT_EQ(rec.console.size(), 2u);
  EXPECT_TRUE(testsupport::matchesForm(rec.console[0], "weight/total photon = {n}/20000"))
      << rec.console[0];
  EXPECT_TRUE(testsupport::matchesForm(rec.console[1], "starting photons = 20000 captured number = {c}"))
      << rec.console[1];
  const double weight = valueAfter(rec.console, "weight/total photon = ");
  ASSERT_EQ(rec.kField.size(), 1u);
  EXPECT_NEAR(std::stod(rec.kField[0]), weight / 20000, 1e-6 * weight / 20000);
  EXPECT_GT(weight, 0.0);
  EXPECT_TRUE(rec.aField.empty());
}

TEST_F(RunControllerTest, ChunksGetTheIntegerShareWhileKDividesByN) {
  // 10000 and 10099 photons both give chunks of 100 photons, traced from the same streams.
  Recorder r1, r2;
  ASSERT_EQ(run(kRequest(10000), r1), RunOutcome::Completed);
  ASSERT_EQ(run(kRequest(10099), r2), RunOutcome::Completed);
  const auto weightText = [](const std::string& line) { return line.substr(0, line.rfind('/')); };
  EXPECT_EQ(weightText(r1.console[0]), weightText(r2.console[0]));
  EXPECT_EQ(r1.console[0].substr(r1.console[0].rfind('/')), "/10000");
  EXPECT_EQ(r2.console[0].substr(r2.console[0].rfind('/')), "/10099");
  EXPECT_EQ(r1.console[1].substr(r1.console[1].find("captured")),
            r2.console[1].substr(r2.console[1].find("captured")));
  const double k1 = std::stod(r1.kField[0]);
  const double k2 = std::stod(r2.kField[0]);
  ASSERT_GT(k1, 0.0);
  EXPECT_NEAR(k2 / k1, 10000.0 / 10099.0, 1e-6);
}

TEST_F(RunControllerTest, SameSeedSameResultsForAnyThreadCount) {
  writeWeighting();
  std::vector<std::string> outputs;
  for (int threads : {1, 2, 3}) {
    RunRequest r = singleRequest(4000, true, true);
    r.threads = threads;
    Recorder rec;
    ASSERT_EQ(run(r, rec), RunOutcome::Completed);
    std::string all;
    for (const auto& l : rec.console) all += l + "\n";
    all += rec.aField.back() + "\n" + rec.betaField.back();
    outputs.push_back(all);
  }
  EXPECT_EQ(outputs[0], outputs[1]);
  EXPECT_EQ(outputs[0], outputs[2]);

  RunRequest other = singleRequest(4000, true, true);
  other.seed += 1;
  Recorder rec;
  ASSERT_EQ(run(other, rec), RunOutcome::Completed);
  EXPECT_EQ(outputs[0].find(rec.aField.back()), std::string::npos);
}

TEST_F(RunControllerTest, SingleRunProgressAndFieldsPerChannel) {
  writeWeighting();
  {
    Recorder rec;
    ASSERT_EQ(run(singleRequest(2000, true, false), rec), RunOutcome::Completed);
    EXPECT_EQ(rec.progress, oneTo(100));
    ASSERT_EQ(rec.aField.size(), 2u);
    EXPECT_EQ(rec.aField[0], "");  // cleared first
    EXPECT_TRUE(testsupport::matchesForm(rec.aField[1], "{n}   K = {n}")) << rec.aField[1];
    EXPECT_EQ(rec.console, std::vector<std::string>{"starting photons = 2000 captured number = " +
                                                    rec.console[0].substr(rec.console[0].rfind(' ') + 1)});
    EXPECT_TRUE(rec.betaField.empty());
  }
  {
    // Both channels: 50 a chunks, then 50 beta repetitions; the mean is over all 50.
    Recorder rec;
    ASSERT_EQ(run(singleRequest(2000, true, true), rec), RunOutcome::Completed);
    EXPECT_EQ(rec.progress, oneTo(100));
    int betaLines = 0;
    for (const auto& l : rec.console)
      if (testsupport::isPrintedNumber(l)) ++betaLines;
    EXPECT_EQ(betaLines, 50);
  }
  {
    Recorder rec;
    RunRequest r = singleRequest(2000, false, true, "");
    r.control.betaRepetition = 4;
    ASSERT_EQ(run(r, rec), RunOutcome::Completed);  // the k field is not needed
    EXPECT_EQ(rec.progress, (std::vector<int>{25, 50, 75, 100}));
    EXPECT_TRUE(rec.aField.empty());
  }
}

TEST_F(RunControllerTest, BetaRunWritesItsConsoleLinesInOrder) {
  writeWeighting();
  Recorder rec;
  RunRequest r = singleRequest(5000, false, true);
  ASSERT_EQ(run(r, rec), RunOutcome::Completed);
  const auto& l = rec.console;
  // Five weighting lines, ten repetitions, the summary, an empty line, eleven angles, the count.
  ASSERT_EQ(l.size(), 5u + 10u + 3u + 1u + 11u + 1u);
  EXPECT_EQ(l[0], "Weighting reference");
  EXPECT_EQ(l[3], "Weighting : c = 1.0");
  double sum = 0;
  for (int i = 0; i < 10; ++i) sum += std::stod(l[5 + static_cast<std::size_t>(i)]);
  EXPECT_EQ(l[15].rfind("b_relative_scattering = ", 0), 0u);
  EXPECT_EQ(l[16].rfind("beta Eq7 = ", 0), 0u);
  EXPECT_NEAR(valueAfter(l, "beta Eq7 = "), sum / 10, 1e-12 + 1e-9 * std::abs(sum));
  EXPECT_EQ(l[17].rfind("beta(140) vsf = ", 0), 0u);
  EXPECT_EQ(l[18], "");
  for (int i = 0; i < 11; ++i) {
    const std::string head = "beta(" + std::to_string(124 + 2 * i) + ") = ";
    EXPECT_EQ(l[19 + static_cast<std::size_t>(i)].rfind(head, 0), 0u) << l[19 + static_cast<std::size_t>(i)];
  }
  EXPECT_TRUE(testsupport::matchesForm(l.back(), "starting photons = 5000 captured number = {c}"));
  // vsf: the one-term Henyey-Greenstein function at 140 degrees times b = c w0.
  const double g = 0.925, mu = std::cos(140.0 * M_PI / 180.0);
  const double hg = (1 - g * g) / (4 * M_PI) / std::pow(1 + g * g - 2 * g * mu, 1.5);
  EXPECT_NEAR(valueAfter(l, "beta(140) vsf = "), hg * 0.7, 1e-12);
  ASSERT_EQ(rec.betaField.size(), 2u);
  EXPECT_EQ(rec.betaField[0], "");
  EXPECT_EQ(rec.betaField[1], "beta=" + numtext::formatS(valueAfter(l, "beta Eq7 = ")) +
                                  " vsf=" + numtext::formatS(hg * 0.7));
}

TEST_F(RunControllerTest, CalibrationWritesTheWeightingFile) {
  Recorder rec;
  ASSERT_EQ(run(calibrationRequest(2000), rec), RunOutcome::Completed);
  ASSERT_EQ(rec.progress.size(), 25u);
  EXPECT_EQ(rec.progress.front(), 4);
  EXPECT_EQ(rec.progress.back(), 100);
  EXPECT_EQ(rec.finished, 1);
  ASSERT_EQ(rec.console.size(), 25u);
  EXPECT_TRUE(testsupport::matchesForm(rec.console[0], "2.0 \t {n} captured number = {c}"))
      << rec.console[0];
  EXPECT_EQ(rec.console[24].rfind("14.0 \t ", 0), 0u);

  const std::string text = testsupport::readWholeFile(dir_ / "weighting.txt");
  const auto table = parseWeightingTable(text);
  ASSERT_TRUE(table.has_value());
  ASSERT_EQ(table->distance.size(), 25u);
  EXPECT_EQ(table->distance.front(), 2.0);
  EXPECT_EQ(table->distance.back(), 14.0);
  // The second column is the weighting printed on the console.
  EXPECT_EQ(numtext::formatD(table->weighting[3]),
            rec.console[3].substr(rec.console[3].find(" \t ") + 3,
                                  rec.console[3].find(" captured") - rec.console[3].find(" \t ") - 3));
}

TEST_F(RunControllerTest, CalibrationWeightingIsPositiveAndSmoothOverTheOverlap) {
  // Four calibrations with different seeds give the mean weighting and its standard error
  // at each distance.
  constexpr int kReplicas = 4;
  std::vector<std::vector<double>> w;
  for (int r = 0; r < kReplicas; ++r) {
    RunRequest request = calibrationRequest(20000);
    request.seed += static_cast<std::uint64_t>(r);
    Recorder rec;
    ASSERT_EQ(run(request, rec), RunOutcome::Completed);
    const auto table = parseWeightingTable(testsupport::readWholeFile(dir_ / "weighting.txt"));
    ASSERT_TRUE(table.has_value());
    w.push_back(table->weighting);
  }
  const std::size_t n = w[0].size();
  std::vector<double> logMean(n), logSigma(n);
  for (std::size_t i = 0; i < n; ++i) {
    double mean = 0, var = 0;
    for (const auto& rep : w) mean += rep[i] / kReplicas;
    for (const auto& rep : w) var += (rep[i] - mean) * (rep[i] - mean) / (kReplicas - 1);
    ASSERT_GT(mean, 0.0) << "distance " << 2.0 + 0.5 * static_cast<double>(i);
    logMean[i] = std::log(mean);
    logSigma[i] = std::sqrt(var / kReplicas) / mean;  // standard error of the log of the mean
  }
  // Over the overlap of the two beams (about 4 to 12.5 cm) the logarithm of the weighting
  // bends gently: each value lies near the mean of its neighbours, within the noise and
  // an allowance for the curvature of the rising and falling flanks.
  for (std::size_t i = 5; i + 1 < 22; ++i) {
    const double mid = 0.5 * (logMean[i - 1] + logMean[i + 1]);
    const double noise = std::sqrt(logSigma[i] * logSigma[i] +
                                   0.25 * (logSigma[i - 1] * logSigma[i - 1] + logSigma[i + 1] * logSigma[i + 1]));
    EXPECT_LT(std::abs(logMean[i] - mid), 0.35 + 5 * noise) << "distance " << 2.0 + 0.5 * static_cast<double>(i);
  }
}

TEST_F(RunControllerTest, SweepWritesBothBlocksAndClearsTheFlag) {
  writeWeighting();
  Recorder rec;
  ASSERT_EQ(run(sweepRequest(1000, true, true), rec), RunOutcome::Completed);
  // 18 runs: 5 per run, then finish.
  std::vector<int> expected;
  for (int r = 1; r <= 18; ++r) expected.push_back(5 * r);
  EXPECT_EQ(rec.progress, expected);
  EXPECT_EQ(rec.finished, 1);
  EXPECT_EQ(rec.sweepCompleted, 1);
  ASSERT_EQ(rec.sweepW0.size(), 18u);
  EXPECT_DOUBLE_EQ(rec.sweepW0.back(), 0.9);
  EXPECT_EQ(rec.aField, std::vector<std::string>{""});
  EXPECT_EQ(rec.betaField, std::vector<std::string>{""});

  const std::string text = testsupport::readWholeFile(dir_ / "batchResult.txt");
  std::vector<std::string> lines;
  for (std::size_t p = 0, e; (e = text.find('\n', p)) != std::string::npos; p = e + 1)
    lines.push_back(text.substr(p, e - p));
  ASSERT_EQ(lines.size(), 20u);
  EXPECT_EQ(lines[0], "c\tw0\tK");
  EXPECT_EQ(lines[10], "c\tw0\tbeta");
  EXPECT_EQ(lines[3].rfind("1.0\t0.3\t", 0), 0u) << lines[3];  // 0.30000000000000004 in single form
  EXPECT_EQ(lines[19].rfind("1.0\t0.9\t", 0), 0u) << lines[19];
}

TEST_F(RunControllerTest, SweepOfOneChannelAdvancesElevenPerRun) {
  Recorder rec;
  ASSERT_EQ(run(sweepRequest(500, true, false), rec), RunOutcome::Completed);
  std::vector<int> expected;
  for (int r = 1; r <= 9; ++r) expected.push_back(11 * r);
  EXPECT_EQ(rec.progress, expected);
  const std::string text = testsupport::readWholeFile(dir_ / "batchResult.txt");
  EXPECT_EQ(text.rfind("c\tw0\tK\n", 0), 0u);
  EXPECT_EQ(text.find("beta"), std::string::npos);
}

TEST_F(RunControllerTest, CancelLeavesTheStatesOfEachMode) {
  writeWeighting();
  {
    // k run: cancelled after the chunk that follows the request; k field unchanged.
    Recorder rec;
    EXPECT_EQ(runCancellingAt(kRequest(2000), rec, 30), RunOutcome::Cancelled);
    EXPECT_EQ(rec.progress, oneTo(30));
    EXPECT_EQ(rec.cancelled, 1);
    EXPECT_EQ(rec.finished, 0);
    EXPECT_TRUE(rec.kField.empty());
    EXPECT_TRUE(rec.console.empty());
  }
  {
    // Calibration: no new weighting file.
    std::filesystem::remove(dir_ / "weighting.txt");
    Recorder rec;
    EXPECT_EQ(runCancellingAt(calibrationRequest(500), rec, 20), RunOutcome::Cancelled);
    EXPECT_FALSE(std::filesystem::exists(dir_ / "weighting.txt"));
    EXPECT_EQ(rec.finished, 0);
    writeWeighting();
  }
  {
    // Single run, cancelled in the beta chunks: the a result stays, the beta field is empty.
    Recorder rec;
    EXPECT_EQ(runCancellingAt(singleRequest(2000, true, true), rec, 60), RunOutcome::Cancelled);
    EXPECT_EQ(rec.progress, oneTo(60));
    ASSERT_EQ(rec.aField.size(), 2u);
    EXPECT_NE(rec.aField.back(), "");
    EXPECT_EQ(rec.betaField, std::vector<std::string>{""});
  }
  {
    // Single run, cancelled in the a chunks: the a field is empty, beta never began.
    Recorder rec;
    EXPECT_EQ(runCancellingAt(singleRequest(2000, true, true), rec, 10), RunOutcome::Cancelled);
    EXPECT_EQ(rec.aField, std::vector<std::string>{""});
    EXPECT_TRUE(rec.betaField.empty());
  }
  {
    // Sweep: no batch file, the flag stays armed, w0 at the last value begun.
    Recorder rec;
    EXPECT_EQ(runCancellingAt(sweepRequest(300, true, false), rec, 33), RunOutcome::Cancelled);
    EXPECT_FALSE(std::filesystem::exists(dir_ / "batchResult.txt"));
    EXPECT_EQ(rec.sweepCompleted, 0);
    EXPECT_EQ(rec.progress, (std::vector<int>{11, 22, 33}));
    ASSERT_EQ(rec.sweepW0.size(), 4u);
    EXPECT_DOUBLE_EQ(rec.sweepW0.back(), 0.4);
  }
}

TEST_F(RunControllerTest, CancelFromAnotherThreadStopsAtTheFirstChunk) {
  Recorder rec;
  RunController controller(kRequest(1000000), water_, weighting_, rec.callbacks());
  controller.cancel();
  controller.start();
  controller.wait();
  EXPECT_TRUE(controller.isDone());
  EXPECT_EQ(controller.outcome(), RunOutcome::Cancelled);
  EXPECT_TRUE(rec.progress.empty());
  EXPECT_EQ(rec.cancelled, 1);
}

TEST_F(RunControllerTest, RefusesSettingsWithoutMeaning) {
  struct Case {
    const char* what;
    RunRequest request;
    const char* message;  // a part of the refusal
  };
  RunRequest calibrationInterval = calibrationRequest(100);
  calibrationInterval.control.intervalDiffuser = 0.0;
  RunRequest calibrationBackwards = calibrationRequest(100);
  calibrationBackwards.control.endDiffuser = 1.0;
  RunRequest sweepBackwards = sweepRequest(100, true, false);
  sweepBackwards.control.endw0 = 0.0;
  RunRequest sweepInterval = sweepRequest(100, true, false);
  sweepInterval.control.intervalw0 = -0.1;
  RunRequest noPhotons = singleRequest(0, true, false);
  RunRequest tooFew = singleRequest(50, true, false);
  RunRequest noRepetition = singleRequest(100, false, true);
  noRepetition.control.betaRepetition = 0;
  RunRequest zeroFov = singleRequest(1000, true, false);
  zeroFov.control.AfovSensorSliderValue = 0;
  RunRequest blackDiffuser = calibrationRequest(100);
  blackDiffuser.control.diffuserAlbedo = 0.0;

  const Case cases[] = {
      {"empty k", singleRequest(100, true, false, ""), kKMissingMessage},
      {"k not a number", singleRequest(100, true, false, "abc"), "\"abc\""},
      {"k zero", singleRequest(100, true, false, "0"), "above 0"},
      {"k not a number in a sweep", [&] { auto r = sweepRequest(100, true, false); r.kText = "x"; return r; }(),
       "\"x\""},
      {"no channel", singleRequest(100, false, false), "Select"},
      {"no channel in a sweep", sweepRequest(100, false, false), "Select"},
      {"calibration interval 0", calibrationInterval, "No diffuser distance"},
      {"calibration end below start", calibrationBackwards, "No diffuser distance"},
      {"calibration without diffuser albedo", blackDiffuser, "albedo"},
      {"sweep end below start", sweepBackwards, "No w0 value"},
      {"sweep interval negative", sweepInterval, "No w0 value"},
      {"no photons", noPhotons, "at least 1"},
      {"fewer photons than chunks", tooFew, "too small"},
      {"fewer photons than chunks in a k run", kRequest(MAXIMUM - 1), "too small"},
      {"no beta repetition", noRepetition, "repetitions"},
      {"Gaussian detector with a zero half angle", zeroFov, ""},
      {"beta without a weighting file", singleRequest(1000, false, true), "File not found when loading file (weighting.txt)"},
  };
  for (const Case& c : cases) {
    Recorder rec;
    EXPECT_EQ(run(c.request, rec), RunOutcome::Refused) << c.what;
    ASSERT_EQ(rec.messages.size(), 1u) << c.what;
    EXPECT_NE(rec.messages[0].find(c.message), std::string::npos) << c.what << ": " << rec.messages[0];
    EXPECT_TRUE(rec.progress.empty()) << c.what;
    EXPECT_EQ(rec.finished + rec.cancelled, 0) << c.what;
  }
}

TEST_F(RunControllerTest, BetaRunRefusesAZeroWeightingAndKeepsAnEarlierOne) {
  writeWeighting(0.0);
  {
    Recorder rec;
    EXPECT_EQ(run(singleRequest(1000, false, true), rec), RunOutcome::Refused);
    EXPECT_NE(rec.messages.at(0).find("weighting integral"), std::string::npos);
  }
  // A weighting loaded earlier carries a run whose file has gone, with the message.
  writeWeighting(1.0);
  weighting_.computeNewWeighting(dir_ / "weighting.txt", Control{}, [](const std::string&) {});
  std::filesystem::remove(dir_ / "weighting.txt");
  Recorder rec;
  EXPECT_EQ(run(singleRequest(1000, false, true), rec), RunOutcome::Completed);
  EXPECT_EQ(rec.messages, std::vector<std::string>{"File not found when loading file (weighting.txt)"});
}

TEST_F(RunControllerTest, AFailedWriteIsReported) {
  writeWeighting();
  for (RunRequest r : {calibrationRequest(100), sweepRequest(100, true, false)}) {
    r.workDir = dir_ / "no-such-folder";
    Recorder rec;
    EXPECT_EQ(run(r, rec), RunOutcome::Failed);
    EXPECT_EQ(rec.finished, 1);
    ASSERT_EQ(rec.messages.size(), 1u);
    EXPECT_NE(rec.messages[0].find("not saved"), std::string::npos) << rec.messages[0];
    EXPECT_FALSE(std::filesystem::exists(r.workDir));
  }
}

// E and K of the a channel from the a field "E   K = K".
struct AResult {
  double E, K;
};
AResult aResult(const Recorder& rec) {
  const std::string& t = rec.aField.back();
  return {std::stod(t.substr(0, t.find(' '))), std::stod(t.substr(t.find("K = ") + 4))};
}

// An a channel whose LED and detector are tilted by 30 degrees over a 5 cm tube, with a
// uniform detector of 10 degrees: its tallies are 0 or 1, and its paths, at 20 to 40
// degrees from the axis, are clearly longer than twice the tube.
Control tiltedAChannel() {
  Control c;
  c.aHeight = 5.0;
  c.AthetaLEDSliderValue = 30;
  c.AthetaSensorSliderValue = 30;
  c.AfovSensorSliderValue = 100;
  c.detectorType = 1;
  return c;
}

TEST_F(RunControllerTest, VanishingAttenuationGivesAnEnergyOfOne) {
  // Without water the a channel sees what the k run sees. Each of the two weights is a
  // sum of N tallies of 0 or 1, so its relative variance is at most 1 / (N k).
  const std::int64_t n = 1000000;
  const double k = estimateK(n, tiltedAChannel());
  RunRequest r = singleRequest(n, true, false, numtext::formatD(k));
  r.control = tiltedAChannel();
  r.control.Nphoton = n;
  r.control.c = 1e-6;
  r.seed += 7;
  Recorder rec;
  ASSERT_EQ(run(r, rec), RunOutcome::Completed);
  const double sigma = std::sqrt(2.0 / (static_cast<double>(n) * k));
  EXPECT_NEAR(aResult(rec).E, 1.0, 5 * sigma);
}

TEST_F(RunControllerTest, WithoutScatteringKIsAboveCByThePathExcess) {
  // w0 = 0: only unscattered photons arrive, over paths a little longer than twice the
  // tube, so K = ln(1/E) / (2 aHeight) lies above c, though below c / cos(40 degrees).
  const std::int64_t n = 2000000;
  const double k = estimateK(n, tiltedAChannel());
  RunRequest r = singleRequest(n, true, false, numtext::formatD(k));
  r.control = tiltedAChannel();
  r.control.Nphoton = n;
  r.control.w0 = 0.0;
  r.control.c = 8.0;
  r.seed += 11;
  Recorder rec;
  ASSERT_EQ(run(r, rec), RunOutcome::Completed);
  const AResult a = aResult(rec);
  const double nk = static_cast<double>(n) * k;
  const double twoWay = 0.02 * r.control.aHeight;  // [m]
  const double sigmaK = std::sqrt(1.0 / (nk * a.E) + 1.0 / nk) / twoWay;
  EXPECT_GT(a.K, r.control.c + 5 * sigmaK);
  EXPECT_LT(a.K, r.control.c / std::cos(40.0 * M_PI / 180.0) + 5 * sigmaK);
}

}  // namespace
}  // namespace pallix
