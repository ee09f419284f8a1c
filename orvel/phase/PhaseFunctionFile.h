#pragma once
// The phase-function text file, read by both programs, and "SPF.txt", the table the
// visibility simulator saves.
//
// Phase-function file, one record per line:
//   line 1          a title, not read
//   line 2          N, the number of data lines
//   line 3          column headings, not read
//   lines 4..N+3    angle [deg], white space, value (any unit); further tokens ignored
//   after N+3       not read
// Angles must increase strictly. The reader converts them to radians.
//
// "SPF.txt": the heading line "radian\tdegree\tspf\tcumulSPF", then for each of the 150
// grid angles the angle in radians, in degrees, beta and P, tab-separated, each in the
// single-precision number form.

#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "orvel/phase/PhaseFunction.h"

// A failed read; what() is the message to show: "File not found when loading file <name>"
// or "I/O error whenn loading file <name>".
class PhaseFunctionFileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct PhaseFunctionFileTable {
  std::vector<double> fileTheta;  // angles [rad]
  std::vector<double> fileSPF;    // values as read
};

// How line 2 is read: the visibility simulator takes its first white-space-separated
// token (so "55 points" is read as 55); the instrument simulator requires the whole line
// to be the integer.
enum class CountLine { FirstToken, WholeLine };

// Reads a phase-function file. Raises PhaseFunctionFileError when the file cannot be
// opened ("File not found ...") or its content is not a table ("I/O error ..."): a missing
// line, a count that is not an integer or is below 2, a data line without two numbers,
// fewer data lines than the count, a value that is not a finite number, or angles that
// do not increase strictly.
PhaseFunctionFileTable readPhaseFunctionFile(const std::filesystem::path& fileName,
                                             CountLine countLine = CountLine::FirstToken);

// The visibility simulator's reader: on success replaces `fileTheta` (radians) and
// `fileSPF` and returns true; on failure writes the message to the message console,
// leaves both arrays as they were, and returns false.
bool readPFfile(const std::filesystem::path& fileName, std::vector<double>& fileTheta, std::vector<double>& fileSPF);

// The text of "SPF.txt" for `model` (its untruncated tables).
std::string formatSPFfile(const PhaseFunction& model);
