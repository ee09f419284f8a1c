// `orvel`: the visibility simulator without its window.

#include "common/CommandLine.h"
#include "orvel/Commands.h"

int main(int argc, char** argv) {
  CLI::App app{"orvel: Monte Carlo visibility of a submerged target, lit by sun and sky through a flat sea surface", "orvel"};
  app.set_version_flag("--version", std::string("orvel ") + SUITE_VERSION);
  app.require_subcommand(0, 1);
  addPhaseCommand(app);
  addSkyCommand(app);
  addRunCommand(app);
  return cli::runProgram(app, argc, argv);
}
