#include "common/CommandLine.h"
#include "pallix/Commands.h"

void addPallixCommands(CLI::App& app) {
  for (const char* name : {"k", "calibrate", "run", "sweep", "phase"}) {
    auto* sub = app.add_subcommand(name, "not available yet");
    std::string n = name;
    sub->callback([n] { throw cli::CommandFailure(n + ": not available yet"); });
  }
}
