#pragma once
// The run thread of the instrument simulator.
//
// A `RunController` performs one run on its own thread: it chooses the mode from the
// settings (k run, beta calibration, w0 sweep, or a single medium run, tested in that
// order), traces the photons in chunks, and turns the detector tallies into k, the
// a channel's E and K, and the beta channel's beta. It talks to its owner only through
// callbacks, all called on the run thread (a window program posts them to its window
// thread; the command line prints them):
//
//   progress   the progress value 0..100 after each chunk, distance or sweep step
//   finished   the run ended normally (the bar goes to 100)
//   cancelled  the run was cancelled, or refused after it had begun
//   kField, aField, betaField   the texts of the k, a and beta result fields ("" clears)
//   console    the console lines, exactly as the run writes them
//   message    a message for the user: a failed weighting load, a refusal, a failed write
//   sweepW0    a sweep step begins with this w0: the owner's `Control.w0` takes it
//   sweepCompleted   a sweep completed: the owner's `Control.isBatchRun` becomes false
//
// The cancel flag is atomic and tested after each chunk; a cancel drops the results not
// yet shown or written. Runs are reproducible: every chunk is traced in sub-chunks with
// random streams derived from (seed, mode, step, chunk, sub-chunk), so a seed gives the
// same results for any number of threads.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>

#include "pallix/engine/Control.h"
#include "pallix/engine/HomogeneousWater.h"
#include "pallix/engine/WeightingFunction.h"

namespace pallix {

enum class RunMode { K, BetaCalibration, Sweep, Single };

// The mode the settings' flags choose: isRunForK, then isRunForBetaCalibration, then
// isBatchRun; none set gives a single medium run.
RunMode chooseRunMode(const Control& control);

// What the owner hands to a run when it starts.
struct RunRequest {
  Control control;             // snapshot of the settings, taken at the start
  bool channelA = true;        // the a-channel check box (selected at start)
  bool channelBeta = false;    // the beta-channel check box (cleared at start)
  std::string kText;           // the k field's text
  std::uint64_t seed = 0;      // the run's random seed
  int threads = 0;             // threads for tracing; 0 = every core
  std::filesystem::path workDir;  // folder of "weighting.txt" and "batchResult.txt" ("" = working directory)
};

struct RunCallbacks {
  std::function<void(int)> progress;
  std::function<void()> finished;
  std::function<void()> cancelled;
  std::function<void(const std::string&)> kField;
  std::function<void(const std::string&)> aField;
  std::function<void(const std::string&)> betaField;
  std::function<void(const std::string&)> console;
  std::function<void(const std::string&)> message;
  std::function<void(double)> sweepW0;
  std::function<void()> sweepCompleted;
};

enum class RunOutcome { NotRun, Completed, Cancelled, Refused, Failed };

// The message when the a channel is selected and the k field is empty.
inline constexpr const char* kKMissingMessage = "Error: Diffuser reflection to sensor (k) must be computed first.";

// The k field's text read as a number: a finite number above 0 (blanks around it are
// allowed), or nothing.
std::optional<double> parseK(std::string_view text);

class RunController {
 public:
  // `water` is copied: the run works on its own medium. `weighting` is the owner's
  // weighting state, updated by beta runs; the owner leaves it alone while the run goes on.
  RunController(RunRequest request, const HomogeneousWater& water, WeightingFunction& weighting,
                RunCallbacks callbacks);
  // Cancels a run in progress and waits for its thread.
  ~RunController();
  RunController(const RunController&) = delete;
  RunController& operator=(const RunController&) = delete;

  RunMode mode() const { return mode_; }

  // The reason the run would be refused, or nothing when it can start: no channel
  // selected, a k text that is not a positive number when the a channel needs it, no
  // positive count of distances or w0 values, too few photons for the chunks, element
  // settings without meaning, a phase function that cannot be built, a beta channel with
  // no usable weighting function. Builds the run medium's sampling table when needed.
  // The run reuses the result of the last check instead of checking again.
  std::optional<std::string> check();

  // Starts the run thread (once).
  void start();
  // Asks the run to stop after the chunk in progress; safe from any thread.
  void cancel() { cancelRequested_.store(true, std::memory_order_relaxed); }
  // Waits for the run thread to end.
  void wait();
  // Performs the run on the calling thread and returns its outcome. A refused run
  // reports its reason through `message` and traces nothing.
  RunOutcome run();

  // Whether the run has ended (its outcome is then final).
  bool isDone() const { return done_.load(); }
  // Waits until the run has ended or `timeout` has passed; returns isDone().
  bool waitFor(std::chrono::milliseconds timeout);
  // The outcome, once the run has ended.
  RunOutcome outcome() const { return outcome_.load(); }
  // The reason of a refused or failed run (read after the run has ended).
  const std::string& failure() const { return failure_; }

 private:
  void runK();
  void runCalibration();
  void runSingle();
  void runSweep();

  std::optional<std::string> checkRequest();
  bool stopIfCancelled();
  bool loadWeightingForBeta();
  void refuse(const std::string& reason, bool afterStart);
  void fail(const std::string& reason);
  void complete();
  RunOutcome perform();

  RunRequest request_;
  HomogeneousWater water_;
  WeightingFunction& weighting_;
  RunCallbacks callbacks_;
  RunMode mode_;
  std::atomic<bool> cancelRequested_{false};
  std::atomic<RunOutcome> outcome_{RunOutcome::NotRun};
  std::atomic<bool> done_{false};
  std::mutex doneMutex_;
  std::condition_variable doneChanged_;
  std::string failure_;
  // The last check's result, and the weighting file as it read it (a beta run without a
  // usable weighting), so that the run reads that file once.
  bool checked_ = false;
  std::optional<std::string> checkResult_;
  std::optional<WeightingTable> checkedWeighting_;
  std::thread thread_;
};

}  // namespace pallix
