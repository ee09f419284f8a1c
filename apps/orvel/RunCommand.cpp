// `orvel run`: one visibility simulation without the window.
//
// Standard output holds exactly what the window program's console shows: the table of
// every traced array, then the result report. Standard error holds the progress bar
// (on a terminal), the seed when none was given, and messages. Settings start from
// their initial values; a batch file (as the batch-save command writes it) and
// KEY=VALUE pairs of the same keys change them.

#include <cstdint>
#include <filesystem>
#include <iostream>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "common/CommandLine.h"
#include "common/RunProgress.h"
#include "orvel/Commands.h"
#include "orvel/engine/BatchFile.h"
#include "orvel/engine/Control.h"
#include "orvel/engine/GreggCarderIrradiance.h"
#include "orvel/engine/ResultReport.h"
#include "orvel/engine/VisibilityRun.h"
#include "shared/Console.h"
#include "shared/NumberText.h"
#include "shared/TextFile.h"

namespace {

using namespace orvel;

struct RunOptions {
  std::string batchFile;
  std::vector<std::string> assignments;
  std::optional<std::uint64_t> seed;
  int threads = 0;
  std::string saveFile;
  std::string writeBatchFile;
  bool noRun = false;
  std::string pfFile;
  bool sphere = false;
  bool quiet = false;
};

// The settings the options describe: initial values, then the batch file, then every
// --set in order, then --pf-file and --sphere.
Control settingsFrom(const RunOptions& options) {
  Control control = globalControl();
  try {
    if (!options.batchFile.empty()) control = readBatchFile(options.batchFile, control);
  } catch (const SettingError& error) {
    throw cli::CommandFailure(std::string("--batch: ") + error.what());
  }
  for (const std::string& assignment : options.assignments) {
    const std::size_t equals = assignment.find('=');
    if (equals == std::string::npos || equals == 0) {
      throw cli::CommandFailure("--set \"" + assignment + "\": expected KEY=VALUE, such as Nphoton=1000");
    }
    try {
      applySetting(control, assignment.substr(0, equals), assignment.substr(equals + 1));
    } catch (const SettingError& error) {
      throw cli::CommandFailure(std::string("--set: ") + error.what());
    }
  }
  if (!options.pfFile.empty()) {
    control.pfType = 6;  // "Import  from  PF  file"
    control.userPFfile = options.pfFile;
  }
  if (options.sphere) control.isDisk = false;
  return control;
}

// A file that is to be written after the run: its folder must exist, so that a long run
// does not end in a write that could never succeed.
void checkWritable(const std::string& option, const std::string& file) {
  const std::filesystem::path path(file);
  const std::filesystem::path folder = path.has_parent_path() ? path.parent_path() : std::filesystem::path(".");
  std::error_code ignored;
  if (!std::filesystem::is_directory(folder, ignored)) {
    throw cli::CommandFailure(option + ": cannot write \"" + file + "\": no folder \"" + folder.string() + "\"");
  }
  if (std::filesystem::is_directory(path, ignored)) {
    throw cli::CommandFailure(option + ": cannot write \"" + file + "\": it is a folder");
  }
}

void perform(const RunOptions& options) {
  if (options.threads < 0) throw cli::CommandFailure("--threads must be 1 or more (0 or none: every core)");
  const Control control = settingsFrom(options);

  if (!options.writeBatchFile.empty()) saveBatchRun(options.writeBatchFile, control);
  if (options.noRun) return;

  if (control.inRadType == 0 && !GreggCarderIrradiance::isWavelengthInRange(control.wavelength)) {
    throw cli::CommandFailure("wavelength " + std::to_string(control.wavelength) +
                              " nm is outside the range 350-801 nm of the solar radiation model");
  }
  if (!options.saveFile.empty()) checkWritable("--save", options.saveFile);

  VisibilityRunOptions runOptions;
  runOptions.seed =
      options.seed ? *options.seed : (std::uint64_t{std::random_device{}()} << 32) ^ std::random_device{}();
  runOptions.threads = options.threads;

  cli::RunProgress bar(!options.quiet);
  runOptions.progress = [&bar](int current, int total) { bar.update(current, total); };
  VisibilityRun run(control, runOptions);
  run.initializeBackMC();  // a run that cannot be built fails before anything is printed
  if (!options.seed) std::cerr << "seed: " << runOptions.seed << std::endl;
  {
    // Console lines take the bar off the terminal line first.
    std::optional<console::Redirect> redirect;
    if (bar.isActive()) redirect.emplace(&bar.outputStream(), &bar.messageStream());
    run.runVisibility();
  }
  std::cout.flush();
  const VisibilityResults& results = *run.results();
  bar.finish("Computing done in " + std::to_string(results.elapsedSeconds) + " sec.");

  if (!options.saveFile.empty()) saveResultReport(options.saveFile, &results);
}

}  // namespace

void addRunCommand(CLI::App& app) {
  auto options = std::make_shared<RunOptions>();
  CLI::App* sub = app.add_subcommand(
      "run", "run one visibility simulation: the array tables, then the result report, on standard output");
  sub->add_option("--batch", options->batchFile,
                  "batch file of settings (pairs of lines \"key:\" and value, as the batch-save command writes)");
  sub->add_option("--set", options->assignments, "change one batch setting, KEY=VALUE (repeatable)")
      ->allow_extra_args(false);
  sub->add_option("--seed", options->seed, "random seed (printed on standard error when not given)");
  sub->add_option("--threads", options->threads, "threads for tracing (default: every core)");
  sub->add_option("--save", options->saveFile, "save the report (conditions, then results) to FILE");
  CLI::Option* writeBatch = sub->add_option("--write-batch", options->writeBatchFile,
                                            "write the batch file of the settings in force to FILE, then run");
  sub->add_flag("--no-run", options->noRun, "with --write-batch: only write the batch file")->needs(writeBatch);
  sub->add_option("--pf-file", options->pfFile,
                  "phase-function file of type 6 (a bare name is looked up in the phaseFunction folder)");
  sub->add_flag("--sphere", options->sphere, "a sphere target in place of the disk");
  sub->add_flag("--quiet", options->quiet, "no progress bar");
  sub->callback([options] { perform(*options); });
}
