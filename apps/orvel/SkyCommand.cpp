#include "common/CommandLine.h"
#include "orvel/Commands.h"

void addSkyCommand(CLI::App& app) {
  auto* sub = app.add_subcommand("sky", "not available yet");
  sub->callback([] { throw cli::CommandFailure("sky: not available yet"); });
}
