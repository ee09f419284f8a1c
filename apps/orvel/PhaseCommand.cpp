#include "common/CommandLine.h"
#include "orvel/Commands.h"

void addPhaseCommand(CLI::App& app) {
  auto* sub = app.add_subcommand("phase", "not available yet");
  sub->callback([] { throw cli::CommandFailure("phase: not available yet"); });
}
