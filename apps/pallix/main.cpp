// `pallix`: the two-channel instrument simulator without its window.

#include "common/CommandLine.h"
#include "pallix/Commands.h"

int main(int argc, char** argv) {
  CLI::App app{"pallix: Monte Carlo response of a two-channel (a, beta) in-water optical instrument", "pallix"};
  app.set_version_flag("--version", std::string("pallix ") + SUITE_VERSION);
  app.require_subcommand(0, 1);
  addPallixCommands(app);
  return cli::runProgram(app, argc, argv);
}
