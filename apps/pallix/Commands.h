#pragma once
// The subcommands of the `pallix` command line.

#include <CLI/CLI.hpp>

void addPallixCommands(CLI::App& app);  // k, calibrate, run, sweep, phase
void addRunCommands(CLI::App& app);     // k, calibrate, run, sweep (RunCommands.cpp)
void addPhaseCommand(CLI::App& app);    // phase (PhaseCommand.cpp)
