#pragma once
// The batch-run parameter file of the visibility simulator, and settings given by name.
//
// The file holds the run parameters as pairs of lines: the setting's name followed by
// a colon ("Nphoton:"), then its value ("20000"). Integers are printed in decimal,
// floating values as the shortest decimal that reads back to the same double
// ("1.0E-10", "0.016748976535290592"), booleans as "true" / "false", the user
// phase-function file name as it is. The 51 settings are written in a fixed order;
// "userPFfile:" only when `pfType` is 6 (imported phase function), so a file has 102
// lines, or 100 otherwise.
//
// Not in the file: isDisk, nWater, the test and trace switches, bbRatio,
// nSPFdisplayAngles and the two name tables.

#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "orvel/engine/Control.h"

namespace orvel {

// A setting name, a value or a batch-file line that cannot be used; what() says which
// and, for a file, names the file and the line number.
class SettingError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The names of the batch-file settings in file order (without the colon).
const std::vector<std::string_view>& batchSettingNames();

// The batch-file contents for `control`, every line ended by '\n'.
std::string batchFileText(const Control& control);

// Writes the batch file, completely or not at all; raises FileWriteError on failure.
void saveBatchRun(const std::filesystem::path& fileName, const Control& control);

// Sets the batch-file setting `key` (a name from batchSettingNames(), case as written)
// from the text `value`, read as that setting's type. Raises SettingError for an
// unknown key, a value that does not parse as a whole, a floating value that is not
// finite, or a value outside the setting's range (counts >= 1, `pfType` 0 to 6,
// `inRadType` 0 or 1, `c` > 0, `w0`, albedos and fractions in [0, 1], ...).
// `control` is left unchanged when an error is raised.
void applySetting(Control& control, std::string_view key, std::string_view value);

// Reads batch-file text (as batchFileText writes it) on top of `base`: every pair of
// lines sets one setting; settings the text does not name keep their value from
// `base`. Blank lines where a key is expected are skipped; a value line is taken as it
// is (a trailing '\r' is dropped). Raises SettingError "<sourceName> line <n>: ..." for
// a line that is not a key, an unknown key, a key given twice, a key without a value
// line, or a value applySetting refuses, and "<sourceName>: no settings found" for a
// text that names no setting at all.
Control parseBatchText(std::string_view text, const Control& base, std::string_view sourceName);

// Reads the batch file `path` on top of `base` (see parseBatchText). The file is only
// read. Raises SettingError when it cannot be read.
Control readBatchFile(const std::filesystem::path& path, const Control& base);

}  // namespace orvel
