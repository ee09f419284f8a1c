#pragma once
// Settings of the instrument simulator given on the command line.
//
// A settings file holds pairs of lines: the name of a settings field followed by a
// colon ("Nphoton:"), then its value ("20000"); blank lines between pairs are allowed.
// `--set KEY=VALUE` changes one field. Names are those of the settings record
// (`Nphoton`, `w0`, `BfovSensorSliderValue`, ...); values are read as the field's type
// (true/false, integers, decimal numbers, text for `userFile`). Geometry slider values
// must lie within their sliders' bounds.

#include <filesystem>
#include <string>
#include <vector>

#include "pallix/engine/Control.h"

namespace pallixcli {

// Sets one field; raises cli::CommandFailure for an unknown name or a bad value.
void applySetting(pallix::Control& control, const std::string& name, const std::string& value);

// Applies every pair of a settings file; raises cli::CommandFailure naming the file and
// line on any problem.
void applySettingsFile(pallix::Control& control, const std::filesystem::path& file);

// Applies "KEY=VALUE" texts in order.
void applySetOptions(pallix::Control& control, const std::vector<std::string>& assignments);

// The names of every settings field, in the record's order.
std::vector<std::string> settingNames();

}  // namespace pallixcli
