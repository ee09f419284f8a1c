#include "common/CommandLine.h"
#include "orvel/Commands.h"

void addRunCommand(CLI::App& app) {
  auto* sub = app.add_subcommand("run", "not available yet");
  sub->callback([] { throw cli::CommandFailure("run: not available yet"); });
}
