#pragma once
// Where runtime data files (phase-function tables, images) are found.

#include <filesystem>
#include <string>

// Resolves a data file named relative to the working directory, such as
// "phaseFunction/petzold.txt": the working directory first, then the folder of the
// running program (the build copies data/ beside the programs). An absolute path, or
// a name found in neither place, is returned unchanged so that the caller's read
// fails with the name the user gave.
std::filesystem::path resolveDataFile(const std::filesystem::path& name);

// The folder holding the running program.
std::filesystem::path programDirectory();
