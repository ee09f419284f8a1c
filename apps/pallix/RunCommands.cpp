// `pallix k`, `pallix calibrate`, `pallix run` and `pallix sweep`: the run commands of
// the instrument simulator's window, without the window.
//
// Standard output holds the run's console lines exactly as the window program writes
// them, then the result fields the run filled, as "k", "a" and "beta" lines of the form
// key<TAB>text. The files ("weighting.txt", "batchResult.txt") go to the working
// directory. Standard error holds the progress bar (on a terminal), the seed when none
// was given, and messages. Ctrl-C cancels the run at the next chunk.

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <iostream>
#include <map>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "common/CommandLine.h"
#include "common/RunProgress.h"
#include "pallix/Commands.h"
#include "pallix/SettingsInput.h"
#include "pallix/engine/RunController.h"
#include "shared/Console.h"

namespace {

using namespace pallix;

enum class RunCommand { K, Calibrate, Run, Sweep };

struct RunOptions {
  std::string settingsFile;
  std::vector<std::string> assignments;
  std::string channels = "a";
  std::optional<std::string> k;
  std::optional<std::uint64_t> seed;
  int threads = 0;
  bool quiet = false;
};

volatile std::sig_atomic_t interrupted = 0;

extern "C" void onInterrupt(int) { interrupted = 1; }

// Ctrl-C sets a flag while it lives; the previous handler comes back afterwards.
class InterruptGuard {
 public:
  InterruptGuard() {
    interrupted = 0;
    struct sigaction action {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, &previous_);
  }
  ~InterruptGuard() { sigaction(SIGINT, &previous_, nullptr); }
  InterruptGuard(const InterruptGuard&) = delete;
  InterruptGuard& operator=(const InterruptGuard&) = delete;

 private:
  struct sigaction previous_ {};
};

// "a", "beta", "a,beta" or "beta,a": the channel check boxes.
std::pair<bool, bool> parseChannels(const std::string& text) {
  bool a = false, beta = false;
  std::stringstream in(text);
  for (std::string item; std::getline(in, item, ',');) {
    if (item == "a") a = true;
    else if (item == "beta") beta = true;
    else throw cli::CommandFailure("--channels: unknown channel \"" + item + "\" (use a, beta or a,beta)");
  }
  if (!a && !beta) throw cli::CommandFailure("--channels: give a, beta or a,beta");
  return {a, beta};
}

void perform(RunCommand command, const RunOptions& options) {
  Control control;
  if (!options.settingsFile.empty()) pallixcli::applySettingsFile(control, options.settingsFile);
  pallixcli::applySetOptions(control, options.assignments);
  // The flags the window's commands set.
  switch (command) {
    case RunCommand::K:
      control.isRunForK = true;
      control.isRunForBetaCalibration = false;
      break;
    case RunCommand::Calibrate:
      control.isRunForK = false;
      control.isRunForBetaCalibration = true;
      break;
    case RunCommand::Run:
      control.isRunForK = false;
      control.isRunForBetaCalibration = false;
      break;
    case RunCommand::Sweep:
      control.isRunForK = false;
      control.isRunForBetaCalibration = false;
      control.isBatchRun = true;  // as the batch settings dialog's OK arms it
      break;
  }
  if (options.threads < 0) throw cli::CommandFailure("--threads must be 0 (every core) or more");

  RunRequest request;
  request.control = control;
  std::tie(request.channelA, request.channelBeta) = parseChannels(options.channels);
  request.kText = options.k.value_or("");
  request.seed = options.seed ? *options.seed : (std::uint64_t{std::random_device{}()} << 32) ^ std::random_device{}();
  request.threads = options.threads;

  cli::RunProgress bar(!options.quiet);
  std::map<std::string, std::string> fields;  // "k", "a", "beta" -> text
  std::vector<std::string> messages;
  RunCallbacks callbacks;
  callbacks.progress = [&bar](int value) { bar.update(value, 100); };
  // The calibration reports a line right after each step: the bar is drawn again at once.
  callbacks.console = [&bar](const std::string& line) { bar.printAbove(line); };
  callbacks.kField = [&fields](const std::string& text) { fields["k"] = text; };
  callbacks.aField = [&fields](const std::string& text) { fields["a"] = text; };
  callbacks.betaField = [&fields](const std::string& text) { fields["beta"] = text; };
  callbacks.message = [&messages](const std::string& text) { messages.push_back(text); };

  HomogeneousWater water;
  WeightingFunction weighting;
  RunController controller(request, water, weighting, callbacks);
  if (const auto refusal = controller.check()) throw cli::CommandFailure(*refusal);
  if (!options.seed && !options.quiet) std::cerr << "seed: " << request.seed << std::endl;

  {
    // The library's warnings take the bar off the terminal line first.
    std::optional<console::Redirect> redirect;
    if (bar.isActive()) redirect.emplace(&bar.outputStream(), &bar.messageStream());
    InterruptGuard guard;
    controller.start();
    while (!controller.waitFor(std::chrono::milliseconds(50)))
      if (interrupted) controller.cancel();
    controller.wait();
  }
  bar.finish();

  for (const char* key : {"k", "a", "beta"}) {
    const auto it = fields.find(key);
    if (it != fields.end() && !it->second.empty()) std::cout << key << '\t' << it->second << '\n';
  }
  std::cout.flush();

  switch (controller.outcome()) {
    case RunOutcome::Completed:
      for (const auto& m : messages) std::cerr << "pallix: " << m << '\n';
      return;
    case RunOutcome::Cancelled:
      throw cli::CommandFailure("run cancelled");
    default:
      throw cli::CommandFailure(controller.failure());
  }
}

CLI::App* addRunSubcommand(CLI::App& app, RunCommand command, const char* name, const char* description,
                           bool withChannels) {
  auto options = std::make_shared<RunOptions>();
  CLI::App* sub = app.add_subcommand(name, description);
  sub->add_option("--settings", options->settingsFile, "settings file: lines \"key:\" then the value")
      ->check(CLI::ExistingFile);
  sub->add_option("--set", options->assignments, "change one setting, KEY=VALUE (repeatable)")
      ->allow_extra_args(false);
  if (withChannels) {
    sub->add_option("--channels", options->channels, "channels to run: a, beta or a,beta (default a)");
    sub->add_option("--k", options->k, "diffuser reflection to the a-sensor (the k field's text)");
  }
  sub->add_option("--seed", options->seed, "random seed (printed on standard error when not given)");
  sub->add_option("--threads", options->threads, "threads for tracing (0 = every core)");
  sub->add_flag("--quiet", options->quiet, "no progress bar, no seed line");
  sub->callback([command, options] { perform(command, *options); });
  return sub;
}

}  // namespace

void addRunCommands(CLI::App& app) {
  addRunSubcommand(app, RunCommand::K, "k", "estimate k, the diffuser reflection to the a-sensor (no medium)",
                   false);
  addRunSubcommand(app, RunCommand::Calibrate, "calibrate",
                   "beta calibration against a large diffuser: writes weighting.txt", false);
  addRunSubcommand(app, RunCommand::Run, "run", "a single Monte Carlo run of the selected channels", true);
  addRunSubcommand(app, RunCommand::Sweep, "sweep", "a w0 sweep of the selected channels: writes batchResult.txt",
                   true);
}
