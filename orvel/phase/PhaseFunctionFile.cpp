#include "orvel/phase/PhaseFunctionFile.h"

#include <charconv>
#include <cmath>
#include <fstream>
#include <optional>
#include <string_view>

#include "shared/Console.h"
#include "shared/NumberText.h"

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\f' || c == '\v'; }

// The white-space-separated tokens of a line.
std::vector<std::string_view> tokens(std::string_view line) {
  std::vector<std::string_view> result;
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && isBlank(line[i])) ++i;
    const std::size_t start = i;
    while (i < line.size() && !isBlank(line[i])) ++i;
    if (i > start) result.push_back(line.substr(start, i - start));
  }
  return result;
}

std::optional<long long> parseInteger(std::string_view text) {
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  long long value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

// A decimal number that is the whole token and finite.
std::optional<double> parseFiniteNumber(std::string_view text) {
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  double value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || ec != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) {
    return std::nullopt;
  }
  return value;
}

// One line without its line end ("\n" or "\r\n").
bool readLine(std::istream& in, std::string& line) {
  if (!std::getline(in, line)) return false;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return true;
}

}  // namespace

PhaseFunctionFileTable readPhaseFunctionFile(const std::filesystem::path& fileName, CountLine countLine) {
  const std::string name = fileName.string();
  std::error_code ec;
  std::ifstream in;
  if (!std::filesystem::is_directory(fileName, ec)) in.open(fileName, std::ios::binary);
  if (!in) throw PhaseFunctionFileError("File not found when loading file " + name);
  const PhaseFunctionFileError contentError("I/O error whenn loading file " + name);

  std::string line;
  if (!readLine(in, line)) throw contentError;  // title
  if (!readLine(in, line)) throw contentError;  // count
  std::optional<long long> count;
  if (countLine == CountLine::WholeLine) {
    count = parseInteger(line);
  } else if (const auto parts = tokens(line); !parts.empty()) {
    count = parseInteger(parts.front());
  }
  if (!count || *count < 2) throw contentError;
  if (!readLine(in, line)) throw contentError;  // headings

  // The arrays grow line by line, so a huge count in a short file fails at the missing
  // lines instead of allocating for it.
  PhaseFunctionFileTable table;
  for (long long k = 0; k < *count; ++k) {
    if (!readLine(in, line)) throw contentError;
    const auto parts = tokens(line);
    if (parts.size() < 2) throw contentError;
    const auto degrees = parseFiniteNumber(parts[0]);
    const auto value = parseFiniteNumber(parts[1]);
    if (!degrees || !value) throw contentError;
    const double theta = PhaseFunctionAngles::degreesToRadians(*degrees);
    if (!table.fileTheta.empty() && !(theta > table.fileTheta.back())) throw contentError;
    table.fileTheta.push_back(theta);
    table.fileSPF.push_back(*value);
  }
  return table;
}

bool readPFfile(const std::filesystem::path& fileName, std::vector<double>& fileTheta, std::vector<double>& fileSPF) {
  try {
    auto table = readPhaseFunctionFile(fileName, CountLine::FirstToken);
    fileTheta = std::move(table.fileTheta);
    fileSPF = std::move(table.fileSPF);
    return true;
  } catch (const PhaseFunctionFileError& e) {
    console::message(e.what());
    return false;
  }
}

std::string formatSPFfile(const PhaseFunction& model) {
  const auto table = model.getSPFarrays();
  std::string text = "radian\tdegree\tspf\tcumulSPF\n";
  for (std::size_t i = 0; i < PhaseFunctionAngles::kAngleCount; ++i) {
    text += numtext::formatS(table[0][i]) + '\t' +
            numtext::formatS(PhaseFunctionAngles::radiansToDegrees(table[0][i])) + '\t' +
            numtext::formatS(table[1][i]) + '\t' + numtext::formatS(table[2][i]) + '\n';
  }
  return text;
}
