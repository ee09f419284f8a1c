#include "pallix/engine/WeightingFunction.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <fstream>
#include <numbers>
#include <sstream>
#include <system_error>

#include "shared/NumberText.h"
#include "shared/RombergIntegral.h"
#include "shared/TextFile.h"

namespace pallix {
namespace {

constexpr double kPi = std::numbers::pi;

double radians(double degrees) { return degrees * kPi / 180.0; }

// A straight edge of a beam in the x-z plane: height = m x + q.
struct Edge {
  double m;
  double q;
  double xAt(double height) const { return (height - q) / m; }
};

struct Point {
  double x;
  double height;
};

Point intersect(const Edge& e1, const Edge& e2) {
  const double x = (e2.q - e1.q) / (e1.m - e2.m);
  return {x, e1.m * x + e1.q};
}

// Path from an element's face to P along the ray from the beam's apex: the distance
// from the apex to P less the apex's distance behind the element, (D/2) / tan(fov),
// taken along the ray. A half angle of 0 puts the apex at infinity: the beam is then
// parallel to the element's axis, and the path from the face (height 0) to P along it is
// the height of P over the axis' z component.
double pathFromElement(Point p, Point apex, double axisX, double axisZ, double diameter, double fov) {
  if (fov == 0.0) return p.height / axisZ;
  const double dx = p.x - apex.x;
  const double dz = p.height - apex.height;
  const double length = std::hypot(dx, dz);
  const double cosine = (axisX * dx + axisZ * dz) / length;
  return length - ((diameter / 2.0) / std::tan(fov)) / cosine;
}

std::string_view trim(std::string_view s) {
  const auto first = s.find_first_not_of(" \t\r\f\v");
  if (first == std::string_view::npos) return {};
  const auto last = s.find_last_not_of(" \t\r\f\v");
  return s.substr(first, last - first + 1);
}

// Splits a line into white-space separated fields.
std::vector<std::string_view> fields(std::string_view line) {
  std::vector<std::string_view> out;
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && std::isspace(static_cast<unsigned char>(line[i]))) ++i;
    std::size_t j = i;
    while (j < line.size() && !std::isspace(static_cast<unsigned char>(line[j]))) ++j;
    if (j > i) out.push_back(line.substr(i, j - i));
    i = j;
  }
  return out;
}

std::optional<double> finiteNumber(std::string_view text) {
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  double value = 0.0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc{} || end != text.data() + text.size() || !std::isfinite(value)) return std::nullopt;
  return value;
}

std::optional<long long> integer(std::string_view text) {
  text = trim(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  long long value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc{} || end != text.data() + text.size() || text.empty()) return std::nullopt;
  return value;
}

// Integral of the natural spline through (x, y) over [x0, x(n-1)].
double integrate(const std::vector<double>& x, const std::vector<double>& y) {
  RombergIntegral ri;
  ri.setGeneralFunctionArray(x, y);
  ri.setIntegralRange(x.front(), x.back());
  return ri.computeGeneralIntegral();
}

}  // namespace

std::array<double, 2> getRsRd(const Control& control, double y) {
  // Element geometry in cm and radians.
  const double Ls = 0.1 * control.BcenterLEDSliderValue;
  const double Ld = 0.1 * control.BcenterSensorSliderValue;
  const double Ds = 0.1 * control.BdiameterLEDSliderValue;
  const double Dd = 0.1 * control.BdiameterSensorSliderValue;
  const double thetaS = radians(control.BthetaLEDSliderValue);
  const double thetaD = radians(control.BthetaSensorSliderValue);
  const double fovS = radians(0.1 * control.BfovLEDSliderValue);
  const double fovD = radians(0.1 * control.BfovSensorSliderValue);

  // The four beam edges. The LED beam leaves the disk at x = -Ls +- Ds/2 tilted
  // towards +x; the detector's field of view from x = Ld -+ Dd/2 tilted towards -x.
  Edge sIn{std::tan(kPi / 2 - thetaS - fovS), 0.0};
  sIn.q = sIn.m * (Ls - Ds / 2);
  Edge sOut{std::tan(kPi / 2 - thetaS + fovS), 0.0};
  sOut.q = sOut.m * (Ls + Ds / 2);
  Edge dIn{std::tan(kPi / 2 + thetaD + fovD), 0.0};
  dIn.q = -dIn.m * (Ld - Dd / 2);
  Edge dOut{std::tan(kPi / 2 + thetaD - fovD), 0.0};
  dOut.q = -dOut.m * (Ld + Dd / 2);

  const Point nearEnd = intersect(sIn, dIn);
  const Point s = intersect(sOut, dIn);
  const Point d = intersect(sIn, dOut);
  const Point farEnd = intersect(sOut, dOut);
  if (y <= nearEnd.height || y >= farEnd.height) return {0.0, 0.0};

  // The overlap's centre at this height: the mean of its two bounding edges.
  double xC = 0.0;
  if (s.height > d.height) {
    if (y <= d.height) xC = 0.5 * (dIn.xAt(y) + sIn.xAt(y));
    else if (y <= s.height) xC = 0.5 * (dIn.xAt(y) + dOut.xAt(y));
    else xC = 0.5 * (dOut.xAt(y) + sOut.xAt(y));
  } else {
    if (y <= s.height) xC = 0.5 * (dIn.xAt(y) + sIn.xAt(y));
    else if (y <= d.height) xC = 0.5 * (sIn.xAt(y) + sOut.xAt(y));
    else xC = 0.5 * (dOut.xAt(y) + sOut.xAt(y));
  }
  const Point p{xC, y};

  const Point apexS = fovS == 0.0 ? Point{0.0, 0.0} : intersect(sIn, sOut);
  const Point apexD = fovD == 0.0 ? Point{0.0, 0.0} : intersect(dIn, dOut);
  const double rs = pathFromElement(p, apexS, std::sin(thetaS), std::cos(thetaS), Ds, fovS);
  const double rd = pathFromElement(p, apexD, -std::sin(thetaD), std::cos(thetaD), Dd, fovD);
  return {rs, rd};
}

std::optional<WeightingTable> parseWeightingTable(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const auto end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  if (lines.size() < 3) return std::nullopt;
  const auto n = integer(lines[1]);
  if (!n || *n < 2 || static_cast<long long>(lines.size()) - 3 < *n) return std::nullopt;

  WeightingTable table;
  const auto count = static_cast<std::size_t>(*n);
  table.distance.reserve(count);
  table.weighting.reserve(count);
  table.relative.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    const auto f = fields(lines[3 + i]);
    if (f.size() != 3) return std::nullopt;
    const auto d = finiteNumber(f[0]);
    const auto w = finiteNumber(f[1]);
    const auto r = finiteNumber(f[2]);
    if (!d || !w || !r) return std::nullopt;
    // The spline of the integration needs strictly increasing distances.
    if (!table.distance.empty() && !(*d > table.distance.back())) return std::nullopt;
    table.distance.push_back(*d);
    table.weighting.push_back(*w);
    table.relative.push_back(*r);
  }
  return table;
}

std::string formatWeightingTable(std::span<const double> x, std::span<const double> y,
                                 std::span<const double> z) {
  std::string text =
      "NO medium weighting function:  cos(theta_d)*(1/rd^2)*del_A^2/A,     (del_Phi/Phi_o)/cos(theta_d)\n";
  text += numtext::formatI(static_cast<long long>(x.size())) + "\n";
  text += "distance[cm]\tweighting\tdP/Po/cos\n";
  for (std::size_t i = 0; i < x.size(); ++i)
    text += numtext::formatD(x[i]) + "\t" + numtext::formatD(y[i]) + "\t" + numtext::formatD(z[i]) + "\n";
  return text;
}

void saveWeighting(const std::filesystem::path& file, std::span<const double> x, std::span<const double> y,
                   std::span<const double> z) {
  writeTextFileAtomically(file, formatWeightingTable(x, y, z));
}

std::string weightingLoadMessage(WeightingLoad result) {
  switch (result) {
    case WeightingLoad::Loaded:
      return "";
    case WeightingLoad::FileNotFound:
      return kWeightingFileNotFoundMessage;
    case WeightingLoad::ReadError:
      return kWeightingReadErrorMessage;
  }
  return kWeightingReadErrorMessage;
}

WeightingLoad readWeightingFile(const std::filesystem::path& file, WeightingTable& table) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(file, ec)) return WeightingLoad::FileNotFound;
  std::ifstream in(file, std::ios::binary);
  if (!in) return WeightingLoad::FileNotFound;
  std::ostringstream contents;
  contents << in.rdbuf();
  if (in.bad()) return WeightingLoad::ReadError;
  auto parsed = parseWeightingTable(contents.str());
  if (!parsed) return WeightingLoad::ReadError;
  table = std::move(*parsed);
  return WeightingLoad::Loaded;
}

WeightingLoad WeightingFunction::computeNewWeighting(const std::filesystem::path& file, const Control& control,
                                                     const LineSink& console) {
  WeightingTable table;
  const WeightingLoad load = readWeightingFile(file, table);
  if (load == WeightingLoad::Loaded) computeNewWeighting(table, control, console);
  return load;
}

void WeightingFunction::computeNewWeighting(const WeightingTable& table, const Control& control,
                                            const LineSink& console) {
  const std::size_t n = table.distance.size();
  std::vector<double> x(n);
  for (std::size_t i = 0; i < n; ++i) x[i] = 0.01 * table.distance[i];  // cm to m

  console("Weighting reference");
  weightingReferenceIntegral_ = integrate(x, table.weighting);
  console("Weighting reference integral = " + numtext::formatD(weightingReferenceIntegral_));
  relativePhiRho_ = integrate(x, table.relative);
  console("Phi_rho = " + numtext::formatD(relativePhiRho_));
  console("Weighting : c = " + numtext::formatD(control.c));

  // Attenuation over the two-way path LED -> overlap -> detector: c [1/m], rs + rd [cm].
  std::vector<double> attenuated(n);
  for (std::size_t i = 0; i < n; ++i) {
    const auto r = getRsRd(control, x[i] / 0.01);
    attenuated[i] = table.weighting[i] * std::exp(-control.c * 0.01 * (r[0] + r[1]));
  }
  weightingIntegral_ = integrate(x, attenuated);
  console("Weighting integral = " + numtext::formatD(weightingIntegral_));
}

bool WeightingFunction::isUsable() const { return weightingIntegral_ > 0.0 && std::isfinite(weightingIntegral_); }

}  // namespace pallix
