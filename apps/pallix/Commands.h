#pragma once
// The subcommands of the `pallix` command line.

#include <CLI/CLI.hpp>

void addPallixCommands(CLI::App& app);  // k, calibrate, run, sweep, phase
