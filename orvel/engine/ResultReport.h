#pragma once
// The result and conditions reports of a visibility run, and the saved report file.
//
// Result report: the contrast of the target against its background and against the
// reference disk, then the radiances and irradiances of every array, against the
// distance from the target in optical depths. Conditions report: the settings that
// define the run. The saved report is the conditions report followed by the result
// report. Lines are returned without line ends; a file ends every line with '\n'.

#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "orvel/engine/VisibilityResults.h"

namespace orvel {

// Raised when the report is to be saved before any run has produced results.
class NothingToSaveError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Distance of sensor `i` from the target centre in optical depths, as reported:
// r(0) = LT0distance [mm] x 0.001 x c; r(i) = i x radSensorSpacing for i >= 1.
double reportDistance(const Control& control, int i);

// Michelson contrast |a - b| / (a + b), in double precision. 1.0 when exactly one of the
// two is 0 and NaN when both are (0 / 0): the report prints these as they come.
double contrast(double a, double b);

// The lines of the result report (first line "r[od]\tC_back(r)\tC_ref(r)").
std::vector<std::string> resultReportLines(const VisibilityResults& results);

// The lines of the conditions report (first line "Target(Disk) Visibility Simulation:",
// then an empty line).
std::vector<std::string> conditionsReportLines(const VisibilityResults& results);

// Write the reports to the console output channel, one line at a time.
void printResult(const VisibilityResults& results);
void printConditions(const VisibilityResults& results);

// The saved report: conditions then results, every line ended by '\n'.
std::string savedReportText(const VisibilityResults& results);

// The save command: writes the saved report to `path`, completely or not at all.
// `lastRun` is the last finished run, or nullptr when there has been none: then
// NothingToSaveError is raised and nothing is written. A write failure raises
// FileWriteError (shared/TextFile.h) and leaves any existing file as it was.
void saveResultReport(const std::filesystem::path& path, const VisibilityResults* lastRun);

}  // namespace orvel
