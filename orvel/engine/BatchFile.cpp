#include "orvel/engine/BatchFile.h"

#include <charconv>
#include <cmath>
#include <fstream>
#include <limits>
#include <map>
#include <sstream>
#include <system_error>
#include <type_traits>
#include <variant>

#include "shared/NumberText.h"
#include "shared/TextFile.h"

namespace orvel {
namespace {

using Member = std::variant<int Control::*, double Control::*, bool Control::*, std::string Control::*>;

constexpr double kInf = std::numeric_limits<double>::infinity();

// One setting of the batch file: its name, where it lives in Control and the closed
// range its numeric values must lie in (`lowExcluded` makes the lower bound open).
struct Entry {
  std::string_view name;
  Member member;
  double low = -kInf;
  double high = kInf;
  bool lowExcluded = false;
};

// The batch file's settings in file order.
const std::vector<Entry>& entries() {
  static const std::vector<Entry> table = {
      {"Nphoton", &Control::Nphoton, 1},
      {"minWeight", &Control::minWeight, 0},
      {"maxScatEvents", &Control::maxScatEvents, 0},
      {"isTargetPresent", &Control::isTargetPresent},
      {"isTargetViewingRadianceSensor", &Control::isTargetViewingRadianceSensor},
      {"isOppositeTargetViewingRadianceSensor", &Control::isOppositeTargetViewingRadianceSensor},
      {"isBackGroundRadianceSensor", &Control::isBackGroundRadianceSensor},
      {"isTargetViewingIrradianceSensor", &Control::isTargetViewingIrradianceSensor},
      {"isOppositeTargetViewingIrradianceSensor", &Control::isOppositeTargetViewingIrradianceSensor},
      {"isReferenceTargetPresent", &Control::isReferenceTargetPresent},
      {"targetRadius", &Control::targetRadius, 0},
      {"targetDepth", &Control::targetDepth},
      {"targetAlbedo", &Control::targetAlbedo, 0, 1},
      {"referenceAlbedo", &Control::referenceAlbedo, 0, 1},
      {"sensorAzimuthAngle", &Control::sensorAzimuthAngle},
      {"sensorZenithAngle", &Control::sensorZenithAngle, 0, 180},
      {"sensorFOV", &Control::sensorFOV, 0, 90, true},
      {"radSensorRadius", &Control::radSensorRadius, 0},
      {"irradianceDiameter", &Control::irradianceDiameter, 0},
      {"radSensorSpacing", &Control::radSensorSpacing, 0},
      {"sensorArrayDistance", &Control::sensorArrayDistance},
      {"NSensor", &Control::NSensor, 1},
      {"LT0distance", &Control::LT0distance, 0},
      {"isBottomInfinite", &Control::isBottomInfinite},
      {"bottomDepth", &Control::bottomDepth, 0},
      {"bottomAlbedo", &Control::bottomAlbedo, 0, 1},
      {"inRadType", &Control::inRadType, 0, Control::nInRadType - 1},
      {"isDiffuseMode", &Control::isDiffuseMode},
      {"isCollimatedMode", &Control::isCollimatedMode},
      {"solarZenithAngle", &Control::solarZenithAngle, 0, 90},
      {"collimationTolerance", &Control::collimationTolerance, 0, 90, true},
      {"cloudCover", &Control::cloudCover, 0, 1},
      {"wavelength", &Control::wavelength, 1},
      {"cardioidalCoeff", &Control::cardioidalCoeff},
      {"cardioidalTotalEd", &Control::cardioidalTotalEd, 0},
      {"cardioidalSkyEdToTotalEd", &Control::cardioidalSkyEdToTotalEd, 0, 1},
      {"c", &Control::c, 0, kInf, true},
      {"w0", &Control::w0, 0, 1},
      {"isWaterIncluded", &Control::isWaterIncluded},
      {"bWater", &Control::bWater, 0},
      {"aWater", &Control::aWater, 0},
      {"pfType", &Control::pfType, 0, Control::nPfType - 1},
      {"userPFfile", &Control::userPFfile},
      {"isPFtruncated", &Control::isPFtruncated},
      {"initialForwardScat", &Control::initialForwardScat, 0, 1},
      {"g", &Control::g, -1, 1},
      {"g1", &Control::g1, -1, 1},
      {"g2", &Control::g2, -1, 1},
      {"g12Weight", &Control::g12Weight, 0, 1},
      {"JungeCoeff", &Control::JungeCoeff},
      {"realIndex", &Control::realIndex},
  };
  return table;
}

const Entry* findEntry(std::string_view name) {
  for (const Entry& entry : entries()) {
    if (entry.name == name) return &entry;
  }
  return nullptr;
}

constexpr std::string_view kUserPFfile = "userPFfile";
constexpr int kImportedPfType = 6;  // "Import  from  PF  file"

std::string_view trimmed(std::string_view text) {
  const auto isBlank = [](char ch) { return ch == ' ' || ch == '\t' || ch == '\r' || ch == '\n'; };
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  return text;
}

std::string inQuotes(std::string_view text) { return "\"" + std::string(text) + "\""; }

[[noreturn]] void refuse(std::string_view name, std::string_view value, std::string_view why) {
  throw SettingError("setting " + std::string(name) + ": " + inQuotes(value) + " " + std::string(why));
}

std::string rangeText(const Entry& entry) {
  const bool isInteger = std::holds_alternative<int Control::*>(entry.member);
  const auto bound = [isInteger](double value) {
    return isInteger ? numtext::formatI(static_cast<long long>(value)) : numtext::formatD(value);
  };
  if (entry.high == kInf) return (entry.lowExcluded ? "greater than " : "at least ") + bound(entry.low);
  return std::string(entry.lowExcluded ? "in (" : "in [") + bound(entry.low) + ", " + bound(entry.high) + "]";
}

void checkRange(const Entry& entry, std::string_view value, double number) {
  const bool belowLow = entry.lowExcluded ? !(number > entry.low) : !(number >= entry.low);
  if (belowLow || !(number <= entry.high)) refuse(entry.name, value, "must be " + rangeText(entry));
}

int parseInt(const Entry& entry, std::string_view value) {
  const std::string_view text = trimmed(value);
  int number = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
  if (text.empty() || error == std::errc::invalid_argument || end != text.data() + text.size()) {
    refuse(entry.name, value, "is not an integer");
  }
  if (error == std::errc::result_out_of_range) refuse(entry.name, value, "is too large an integer");
  checkRange(entry, value, number);
  return number;
}

double parseDouble(const Entry& entry, std::string_view value) {
  const std::string_view text = trimmed(value);
  double number = 0.0;
  const auto [end, error] =
      std::from_chars(text.data(), text.data() + text.size(), number, std::chars_format::general);
  if (text.empty() || error == std::errc::invalid_argument || end != text.data() + text.size()) {
    refuse(entry.name, value, "is not a number");
  }
  if (error == std::errc::result_out_of_range || !std::isfinite(number)) {
    refuse(entry.name, value, "is not a finite number");
  }
  checkRange(entry, value, number);
  return number;
}

bool parseBool(const Entry& entry, std::string_view value) {
  const std::string_view text = trimmed(value);
  if (text == "true") return true;
  if (text == "false") return false;
  refuse(entry.name, value, "is neither true nor false");
}

std::string parseText(const Entry& entry, std::string_view value) {
  // The value is one line of the batch file: a name with a line break in it would
  // split the file's key/value pairs.
  if (value.find_first_of("\r\n") != std::string_view::npos) refuse(entry.name, value, "must be one line");
  return std::string(value);
}

std::string formatValue(const Control& control, const Member& member) {
  return std::visit(
      [&control](auto pointer) -> std::string {
        const auto& value = control.*pointer;
        using Value = std::decay_t<decltype(value)>;
        if constexpr (std::is_same_v<Value, int>) {
          return numtext::formatI(value);
        } else if constexpr (std::is_same_v<Value, double>) {
          return numtext::formatD(value);
        } else if constexpr (std::is_same_v<Value, bool>) {
          return numtext::formatB(value);
        } else {
          return value;
        }
      },
      member);
}

}  // namespace

const std::vector<std::string_view>& batchSettingNames() {
  static const std::vector<std::string_view> names = [] {
    std::vector<std::string_view> list;
    for (const Entry& entry : entries()) list.push_back(entry.name);
    return list;
  }();
  return names;
}

std::string batchFileText(const Control& control) {
  std::string text;
  for (const Entry& entry : entries()) {
    if (entry.name == kUserPFfile && control.pfType != kImportedPfType) continue;
    text += entry.name;
    text += ":\n";
    text += formatValue(control, entry.member);
    text += '\n';
  }
  return text;
}

void saveBatchRun(const std::filesystem::path& fileName, const Control& control) {
  writeTextFileAtomically(fileName, batchFileText(control));
}

void applySetting(Control& control, std::string_view key, std::string_view value) {
  const Entry* entry = findEntry(key);
  if (entry == nullptr) throw SettingError("unknown setting " + inQuotes(key));
  // Parse fully before assigning, so a refused value leaves the record untouched.
  std::visit(
      [&](auto pointer) {
        using Value = std::decay_t<decltype(control.*pointer)>;
        if constexpr (std::is_same_v<Value, int>) control.*pointer = parseInt(*entry, value);
        if constexpr (std::is_same_v<Value, double>) control.*pointer = parseDouble(*entry, value);
        if constexpr (std::is_same_v<Value, bool>) control.*pointer = parseBool(*entry, value);
        if constexpr (std::is_same_v<Value, std::string>) control.*pointer = parseText(*entry, value);
      },
      entry->member);
}

Control parseBatchText(std::string_view text, const Control& base, std::string_view sourceName) {
  Control control = base;
  const auto fail = [&sourceName](std::size_t lineNumber, const std::string& why) -> SettingError {
    return SettingError(std::string(sourceName) + " line " + std::to_string(lineNumber) + ": " + why);
  };

  // Split into lines, dropping the '\r' of a CR LF line end.
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }

  std::map<std::string_view, std::size_t> seenOnLine;
  bool anySetting = false;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string_view keyLine = trimmed(lines[i]);
    const std::size_t keyNumber = i + 1;
    if (keyLine.empty()) continue;
    if (keyLine.back() != ':') {
      throw fail(keyNumber, "expected a setting name followed by a colon, such as \"Nphoton:\", found " +
                                inQuotes(keyLine));
    }
    const std::string_view key = trimmed(keyLine.substr(0, keyLine.size() - 1));
    if (findEntry(key) == nullptr) throw fail(keyNumber, "unknown setting " + inQuotes(key));
    if (const auto seen = seenOnLine.find(key); seen != seenOnLine.end()) {
      throw fail(keyNumber, "setting " + std::string(key) + " is given again (first on line " +
                                std::to_string(seen->second) + ")");
    }
    seenOnLine.emplace(key, keyNumber);
    if (i + 1 >= lines.size()) throw fail(keyNumber, "setting " + std::string(key) + " has no value line");
    ++i;
    anySetting = true;
    try {
      applySetting(control, key, lines[i]);
    } catch (const SettingError& error) {
      throw fail(i + 1, error.what());
    }
  }
  if (!anySetting) throw SettingError(std::string(sourceName) + ": no settings found");
  return control;
}

Control readBatchFile(const std::filesystem::path& path, const Control& base) {
  std::error_code ignored;
  std::ifstream in(path, std::ios::binary);
  if (!in || std::filesystem::is_directory(path, ignored)) throw SettingError("cannot read batch file " + inQuotes(path.string()));
  std::ostringstream contents;
  contents << in.rdbuf();
  if (in.bad()) throw SettingError("cannot read batch file " + inQuotes(path.string()));
  return parseBatchText(contents.str(), base, path.string());
}

}  // namespace orvel
