#pragma once
// The subcommands of the `orvel` command line; each file adds its own.

#include <CLI/CLI.hpp>

void addPhaseCommand(CLI::App& app);  // phase-function preview (PhaseCommand.cpp)
void addSkyCommand(CLI::App& app);    // incident light above the surface (SkyCommand.cpp)
void addRunCommand(CLI::App& app);    // a whole visibility run (RunCommand.cpp)
