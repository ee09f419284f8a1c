#include "pallix/Commands.h"

void addPallixCommands(CLI::App& app) {
  addRunCommands(app);
  addPhaseCommand(app);
}
