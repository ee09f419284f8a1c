#include "pallix/SettingsInput.h"

#include <charconv>
#include <cmath>
#include <fstream>
#include <limits>
#include <optional>
#include <sstream>
#include <string_view>
#include <system_error>
#include <variant>

#include "common/CommandLine.h"

namespace pallixcli {
namespace {

using pallix::Control;

using Field = std::variant<bool Control::*, std::int64_t Control::*, int Control::*, double Control::*,
                           std::string Control::*>;

struct Setting {
  const char* name;
  Field field;
  int min = std::numeric_limits<int>::min();  // bounds of an integer field
  int max = std::numeric_limits<int>::max();
};

#define PALLIX_SETTING(name) Setting{#name, &Control::name}
#define PALLIX_SLIDER(name) Setting{#name "SliderValue", &Control::name##SliderValue, Control::name##SliderMin, Control::name##SliderMax}

const std::vector<Setting>& settings() {
  static const std::vector<Setting> table = {
      PALLIX_SETTING(isRunForK),
      PALLIX_SETTING(isRunForBetaCalibration),
      PALLIX_SETTING(isBatchRun),
      PALLIX_SETTING(Nphoton),
      PALLIX_SETTING(minWeight),
      PALLIX_SETTING(nMaxScat),
      PALLIX_SETTING(c),
      PALLIX_SETTING(w0),
      PALLIX_SETTING(nWater),
      Setting{"pfType", &Control::pfType, 0, Control::nPfType - 1},
      PALLIX_SETTING(userFile),
      PALLIX_SETTING(bbRatio),
      PALLIX_SETTING(g),
      PALLIX_SETTING(g1),
      PALLIX_SETTING(g2),
      PALLIX_SETTING(g12Weight),
      PALLIX_SETTING(JungeCoeff),
      PALLIX_SETTING(forwardAngle),
      PALLIX_SETTING(realIndex),
      PALLIX_SETTING(pallixRadius),
      PALLIX_SETTING(aHeight),
      PALLIX_SETTING(diffuserAlbedo),
      PALLIX_SETTING(bottomPlateAlbedo),
      Setting{"sourceType", &Control::sourceType, 0, 1},
      Setting{"detectorType", &Control::detectorType, 0, 1},
      PALLIX_SETTING(startDiffuser),
      PALLIX_SETTING(endDiffuser),
      PALLIX_SETTING(intervalDiffuser),
      PALLIX_SETTING(betaRepetition),
      PALLIX_SETTING(startw0),
      PALLIX_SETTING(endw0),
      PALLIX_SETTING(intervalw0),
      PALLIX_SLIDER(AthetaLED),
      PALLIX_SLIDER(AthetaSensor),
      PALLIX_SLIDER(BthetaLED),
      PALLIX_SLIDER(BthetaSensor),
      PALLIX_SLIDER(AcenterLED),
      PALLIX_SLIDER(AcenterSensor),
      PALLIX_SLIDER(BcenterLED),
      PALLIX_SLIDER(BcenterSensor),
      PALLIX_SLIDER(AdiameterLED),
      PALLIX_SLIDER(AdiameterSensor),
      PALLIX_SLIDER(BdiameterLED),
      PALLIX_SLIDER(BdiameterSensor),
      PALLIX_SLIDER(AfovLED),
      PALLIX_SLIDER(AfovSensor),
      PALLIX_SLIDER(BfovLED),
      PALLIX_SLIDER(BfovSensor),
  };
  return table;
}

#undef PALLIX_SETTING
#undef PALLIX_SLIDER

std::string_view trim(std::string_view s) {
  const auto first = s.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) return {};
  return s.substr(first, s.find_last_not_of(" \t\r") - first + 1);
}

template <class T>
std::optional<T> parseNumber(std::string_view text) {
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  T value{};
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || ec != std::errc{} || end != text.data() + text.size()) return std::nullopt;
  if constexpr (std::is_floating_point_v<T>) {
    if (!std::isfinite(value)) return std::nullopt;
  }
  return value;
}

[[noreturn]] void badValue(const std::string& name, std::string_view value, const char* expected) {
  throw cli::CommandFailure("setting " + name + ": \"" + std::string(value) + "\" is not " + expected);
}

}  // namespace

void applySetting(Control& control, const std::string& name, const std::string& rawValue) {
  const std::string_view value = trim(rawValue);
  for (const Setting& s : settings()) {
    if (name != s.name) continue;
    std::visit(
        [&](auto member) {
          using T = std::remove_reference_t<decltype(control.*member)>;
          if constexpr (std::is_same_v<T, bool>) {
            if (value == "true") control.*member = true;
            else if (value == "false") control.*member = false;
            else badValue(name, value, "true or false");
          } else if constexpr (std::is_same_v<T, std::string>) {
            control.*member = std::string(value);
          } else if constexpr (std::is_same_v<T, int>) {
            const auto v = parseNumber<int>(value);
            if (!v) badValue(name, value, "an integer");
            if (*v < s.min || *v > s.max)
              throw cli::CommandFailure("setting " + name + ": " + std::to_string(*v) + " is outside " +
                                        std::to_string(s.min) + ".." + std::to_string(s.max));
            control.*member = *v;
          } else if constexpr (std::is_same_v<T, std::int64_t>) {
            const auto v = parseNumber<std::int64_t>(value);
            if (!v) badValue(name, value, "an integer");
            control.*member = *v;
          } else {
            const auto v = parseNumber<double>(value);
            if (!v) badValue(name, value, "a number");
            control.*member = *v;
          }
        },
        s.field);
    return;
  }
  throw cli::CommandFailure("unknown setting \"" + name + "\"");
}

void applySettingsFile(Control& control, const std::filesystem::path& file) {
  std::ifstream in(file);
  if (!in) throw cli::CommandFailure("cannot read settings file " + file.string());
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  if (in.bad()) throw cli::CommandFailure("cannot read settings file " + file.string());

  std::size_t i = 0;
  while (i < lines.size()) {
    const std::string_view key = trim(lines[i]);
    if (key.empty()) {
      ++i;
      continue;
    }
    const std::string where = file.string() + " line " + std::to_string(i + 1);
    if (key.back() != ':') throw cli::CommandFailure(where + ": expected a setting name followed by ':'");
    if (i + 1 >= lines.size()) throw cli::CommandFailure(where + ": no value after " + std::string(key));
    const std::string name(trim(key.substr(0, key.size() - 1)));
    try {
      applySetting(control, name, lines[i + 1]);
    } catch (const cli::CommandFailure& e) {
      throw cli::CommandFailure(where + ": " + e.what());
    }
    i += 2;
  }
}

void applySetOptions(Control& control, const std::vector<std::string>& assignments) {
  for (const std::string& a : assignments) {
    const auto eq = a.find('=');
    if (eq == std::string::npos) throw cli::CommandFailure("--set " + a + ": expected KEY=VALUE");
    applySetting(control, std::string(trim(std::string_view(a).substr(0, eq))), a.substr(eq + 1));
  }
}

std::vector<std::string> settingNames() {
  std::vector<std::string> names;
  for (const Setting& s : settings()) names.emplace_back(s.name);
  return names;
}

}  // namespace pallixcli
