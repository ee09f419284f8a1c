#include "pallix/engine/PhaseTables.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "orvel/phase/PhaseFormulas.h"
#include "orvel/phase/PhaseFunctionFile.h"
#include "pallix/engine/Control.h"
#include "shared/DataFiles.h"
#include "shared/NumberText.h"
#include "shared/RombergIntegral.h"
#include "shared/VarnoMathLib.h"

namespace pallix {
namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;
constexpr double kOneOverTwoPi = 0.15915494309189535;  // 1 / (2 pi)
constexpr int kPlotSize = 181;                         // 0, 1, ..., 180 degrees
constexpr double kDegree = std::numbers::pi / 180.0;

// One Romberg integrator loaded with a phase-function table, integrating 2 pi p sin theta
// interval by interval over the table's nodes.
class TableIntegrator {
 public:
  TableIntegrator(std::span<const double> angles, std::span<const double> values)
      : angles_(angles.begin(), angles.end()) {
    ri_.setPhaseFunctionArray(angles_, std::vector<double>(values.begin(), values.end()));
  }

  // 2 pi int_from^to (from <= to), split at every node strictly between the limits.
  double integrate(double from, double to) {
    double sum = 0.0;
    double a = from;
    const auto first = std::upper_bound(angles_.begin(), angles_.end(), from);
    for (auto it = first; it != angles_.end() && *it < to; ++it) {
      sum += piece(a, *it);
      a = *it;
    }
    return sum + piece(a, to);
  }

 private:
  double piece(double a, double b) {
    if (a == b) return 0.0;
    ri_.setIntegralRange(a, b);
    return kTwoPi * ri_.computePFIntegral();
  }

  std::vector<double> angles_;
  RombergIntegral ri_;
};

bool allFinite(std::span<const double> v) {
  return std::all_of(v.begin(), v.end(), [](double d) { return std::isfinite(d); });
}

bool strictlyIncreasing(std::span<const double> v) {
  for (std::size_t i = 1; i < v.size(); ++i) {
    if (!(v[i] > v[i - 1])) return false;
  }
  return true;
}

// Completes a sampling table whose cumulative x and angles y are set: refuses (with
// `refusal`) a cumulative that is not finite and strictly increasing, else adds the
// natural spline of angle over probability and its bracket index.
void finishSampling(PhaseTable& table, const char* refusal) {
  if (!allFinite(table.x) || !strictlyIncreasing(table.x)) throw PhaseSettingError(refusal);
  table.y2 = VarnoMathLib::spline(table.x, table.y, VarnoMathLib::kNaturalEnd, VarnoMathLib::kNaturalEnd);
  table.xIndex = SplineBracketIndex(table.x);
}

// The cumulative table: (0, firstAngle), then (2 pi int_0^angle_i, angle_i) for i >= 1.
void fillCumulative(PhaseTable& table, std::span<const double> angles, std::span<const double> values,
                    double firstAngle) {
  TableIntegrator integrator(angles, values);
  const std::size_t n = angles.size();
  table.x.assign(n, 0.0);
  table.y.assign(angles.begin(), angles.end());
  table.y[0] = firstAngle;
  double cumulative = integrator.integrate(0.0, angles[0]);
  for (std::size_t i = 1; i < n; ++i) {
    cumulative += integrator.integrate(angles[i - 1], angles[i]);
    table.x[i] = cumulative;
  }
  finishSampling(table,
                 "The phase function is not positive at every angle of its table: no sampling table can be made.");
}

double bbHG(double g) {
  if (std::abs(g) < PhaseFormulas::kIsotropicLimitG) return 0.5;
  return (1.0 - g * g) / (2.0 * g) * (1.0 / std::sqrt(1.0 + g * g) - 1.0 / (1.0 + g));
}

// Normalises a table the way the draw action does: when 2 pi times its integral over
// [0, pi] differs from 1 by more than 1 %, every value is divided by it.
struct Normalised {
  std::vector<double> values;
  double totalIntegral;  // 2 pi int_0^pi before normalisation
  bool normalised;
};

Normalised normalise(std::span<const double> angles, std::span<const double> values) {
  if (angles.size() < 2 || angles.size() != values.size() || !allFinite(angles) || !allFinite(values) ||
      !strictlyIncreasing(angles)) {
    throw PhaseSettingError("The phase function table needs two or more strictly increasing angles.");
  }
  Normalised result{std::vector<double>(values.begin(), values.end()), 0.0, false};
  TableIntegrator integrator(angles, values);
  const double all = integrator.integrate(0.0, std::numbers::pi) / kTwoPi;
  result.totalIntegral = kTwoPi * all;
  if (!std::isfinite(all) || !(all > 0.0)) {
    throw PhaseSettingError("The phase function integrates to " + numtext::formatD(result.totalIntegral) +
                            ": it cannot be normalised.");
  }
  if (std::abs(all - kOneOverTwoPi) / kOneOverTwoPi > 0.01) {
    const double factor = all / kOneOverTwoPi;  // = 2 pi all
    for (double& v : result.values) v /= factor;
    result.normalised = true;
  }
  return result;
}

// bb/b of a (normalised) table: 1 - 2 pi int_0^{pi/2}, relative to the exact 1 / (2 pi).
double tableBbRatio(std::span<const double> angles, std::span<const double> values) {
  TableIntegrator integrator(angles, values);
  const double forward = integrator.integrate(0.0, std::numbers::pi / 2.0) / kTwoPi;
  return (kOneOverTwoPi - forward) / kOneOverTwoPi;
}

// The natural spline of a table at 0, 1, ..., 180 degrees.
std::vector<double> tablePlot(std::span<const double> angles, std::span<const double> values) {
  const std::vector<double> y2 = VarnoMathLib::spline(angles, values, VarnoMathLib::kNaturalEnd,
                                                      VarnoMathLib::kNaturalEnd);
  std::vector<double> plot(kPlotSize);
  for (int i = 0; i < kPlotSize; ++i) plot[i] = VarnoMathLib::splint(angles, values, y2, i * kDegree);
  return plot;
}

std::vector<double> fournierForandValues(std::span<const double> angles, const PhaseParameters& p) {
  std::vector<double> values(angles.size());
  for (std::size_t i = 0; i < angles.size(); ++i) {
    values[i] = PhaseFormulas::fournierForand(p.JungeCoeff, p.realIndex, angles[i]);
  }
  return values;
}

}  // namespace

PhaseParameters PhaseParameters::fromControl(const Control& c) {
  return {c.g, c.g1, c.g2, c.g12Weight, c.JungeCoeff, c.realIndex, c.forwardAngle};
}

bool PhaseTable::isBuiltFor(int type, const PhaseParameters& p, const std::string& fileName) const {
  if (type != pfType) return false;
  switch (type) {
    case 1:
      return p.g1 == parameters.g1 && p.g2 == parameters.g2 && p.g12Weight == parameters.g12Weight;
    case 2:
      return p.JungeCoeff == parameters.JungeCoeff && p.realIndex == parameters.realIndex &&
             p.forwardAngle == parameters.forwardAngle;
    case 5:
    case 6:
      return fileName == file;
    default:
      return false;
  }
}

double PhaseTable::sample(double xi) const {
  if (clampEnd && xi >= x.back()) return y.back();
  return VarnoMathLib::splint(xIndex, y, y2, xi);  // the bisection's value, in constant time
}

std::string petzoldFileName() { return resolveDataFile("phaseFunction/petzold.txt").string(); }

PhaseFileTable readInstrumentPFfile(const std::string& fileName) {
  // The shared reader, with the instrument's reading of line 2 (the whole line is the count).
  try {
    PhaseFunctionFileTable read = readPhaseFunctionFile(fileName, CountLine::WholeLine);
    return {fileName, std::move(read.fileTheta), std::move(read.fileSPF)};
  } catch (const PhaseFunctionFileError& e) {
    throw PhaseSettingError(e.what());
  }
}

void checkDrawParameters(const PhaseParameters& p) {
  if (!(p.forwardAngle >= 0.001)) {
    throw PhaseSettingError(
        "It will result in difficulty in drawing phase function graph.   0.001 < angle < 1.0 is appropriate.");
  }
  if (!(p.forwardAngle < 1.0)) {
    throw PhaseSettingError("It should be less than 1.0,    0.001 < angle < 1.0 is appropriate.");
  }
  if (!(p.JungeCoeff >= 3.5 && p.JungeCoeff <= 5.0)) {
    throw PhaseSettingError("Junge Coefficient should be within 3.5 to 5.");
  }
  if (!(p.realIndex > 1.0)) throw PhaseSettingError("Real index relative to water must greater than 1.");
}

void checkRunParameters(int pfType, const PhaseParameters& p) {
  if (pfType == 2) checkDrawParameters(p);
}

std::string normalizationMessage(double totalIntegral) {
  return "Normalization error, total integral = " + numtext::formatD(totalIntegral) +
         "  Phase function will be normalized.";
}

std::shared_ptr<const PhaseTable> buildTwoTermHGTable(const PhaseParameters& p) {
  auto table = std::make_shared<PhaseTable>();
  table->pfType = 1;
  table->parameters = p;
  table->clampEnd = false;
  table->x.assign(181, 0.0);
  table->y.assign(181, 0.0);
  for (int i = 1; i <= 180; ++i) {
    table->y[i] = std::numbers::pi * i / 180.0;
    table->x[i] = PhaseFormulas::twoTermHenyeyGreensteinCumulative(p.g1, p.g2, p.g12Weight, table->y[i]);
  }
  finishSampling(*table, "Two term Henyey - Greenstein needs g1 and g2 between -1 and 1 and a weight between 0 and 1.");
  return table;
}

std::vector<double> fournierForandAngles(double forwardAngleDegrees) {
  std::vector<double> angles(181);
  angles[0] = forwardAngleDegrees * kDegree;
  for (int i = 1; i <= 180; ++i) angles[i] = std::numbers::pi * i / 180.0;
  return angles;
}

std::shared_ptr<const PhaseTable> buildFournierForandTable(std::span<const double> angles,
                                                           std::span<const double> values,
                                                           const PhaseParameters& p, double valueScale) {
  auto table = std::make_shared<PhaseTable>();
  table->pfType = 2;
  table->parameters = p;
  table->valueScale = valueScale;
  table->clampEnd = true;
  // Probability 0 maps to the forward angle, so the smallest sampled angles lie near it.
  fillCumulative(*table, angles, values, angles[0]);
  return table;
}

std::shared_ptr<const PhaseTable> buildFileTable(int pfType, const std::string& fileName,
                                                 std::span<const double> angles, std::span<const double> values) {
  if (angles.size() < 2 || angles.size() != values.size() || !strictlyIncreasing(angles)) {
    throw PhaseSettingError("The phase function table needs two or more strictly increasing angles.");
  }
  auto table = std::make_shared<PhaseTable>();
  table->pfType = pfType;
  table->file = fileName;
  table->clampEnd = true;
  table->xPF.assign(angles.begin(), angles.end());
  table->yPF.assign(values.begin(), values.end());
  table->y2PF = VarnoMathLib::spline(table->xPF, table->yPF, VarnoMathLib::kNaturalEnd, VarnoMathLib::kNaturalEnd);
  fillCumulative(*table, angles, values, 0.0);
  return table;
}

namespace {

// The Fournier-Forand table at its angles, normalised as the draw action does.
struct FournierForandTable {
  std::vector<double> angles;
  Normalised n;
  // The factor the normalised values carry over the expression.
  double valueScale() const { return n.normalised ? 1.0 / n.totalIntegral : 1.0; }
};

FournierForandTable normalisedFournierForand(const PhaseParameters& p) {
  std::vector<double> angles = fournierForandAngles(p.forwardAngle);
  Normalised n = normalise(angles, fournierForandValues(angles, p));
  return {std::move(angles), std::move(n)};
}

std::shared_ptr<const PhaseTable> buildFournierForandTable(const FournierForandTable& ff, const PhaseParameters& p) {
  return buildFournierForandTable(ff.angles, ff.n.values, p, ff.valueScale());
}

// A file table (type 5 or 6) normalised, and its sampling table.
struct NormalisedFileTable {
  Normalised n;
  std::shared_ptr<const PhaseTable> table;
};

NormalisedFileTable normalisedFileTable(int pfType, const std::string& fileName, std::span<const double> angles,
                                        std::span<const double> values) {
  Normalised n = normalise(angles, values);
  auto table = buildFileTable(pfType, fileName, angles, n.values);
  return {std::move(n), std::move(table)};
}

}  // namespace

double integratePhaseTable(std::span<const double> angles, std::span<const double> values, double from,
                           double to) {
  TableIntegrator integrator(angles, values);
  return from <= to ? integrator.integrate(from, to) : -integrator.integrate(to, from);
}

double fournierForandScale(const PhaseParameters& p) {
  return normalisedFournierForand(p).valueScale();
}

PhaseFunctionDrawing drawPhaseFunction(int pfType, const PhaseParameters& p, const PhaseFileTable* fileTable) {
  checkDrawParameters(p);
  PhaseFunctionDrawing d;
  d.plot.resize(kPlotSize);
  switch (pfType) {
    case 0:
      for (int i = 0; i < kPlotSize; ++i) d.plot[i] = PhaseFormulas::henyeyGreenstein(p.g, i * kDegree);
      d.bbRatio = bbHG(p.g);
      break;
    case 1:
      for (int i = 0; i < kPlotSize; ++i) {
        d.plot[i] = PhaseFormulas::twoTermHenyeyGreenstein(p.g1, p.g2, p.g12Weight, i * kDegree);
      }
      d.bbRatio = p.g12Weight * bbHG(p.g1) + (1.0 - p.g12Weight) * bbHG(p.g2);
      d.table = buildTwoTermHGTable(p);
      break;
    case 3:
      std::fill(d.plot.begin(), d.plot.end(), PhaseFormulas::isotropic());
      d.bbRatio = 0.5;
      break;
    case 4:
      for (int i = 0; i < kPlotSize; ++i) d.plot[i] = PhaseFormulas::pureWater(i * kDegree);
      d.bbRatio = 0.5;
      break;
    case 2: {
      const FournierForandTable ff = normalisedFournierForand(p);
      d.normalised = ff.n.normalised;
      d.totalIntegral = ff.n.totalIntegral;
      d.bbRatio = tableBbRatio(ff.angles, ff.n.values);
      d.table = buildFournierForandTable(ff, p);
      d.plot = tablePlot(ff.angles, ff.n.values);
      break;
    }
    case 5:
    case 6: {
      if (fileTable == nullptr) throw PhaseSettingError("Phase function file is not read.");
      NormalisedFileTable f = normalisedFileTable(pfType, fileTable->file, fileTable->angles, fileTable->values);
      d.normalised = f.n.normalised;
      d.totalIntegral = f.n.totalIntegral;
      d.bbRatio = tableBbRatio(fileTable->angles, f.n.values);
      d.table = std::move(f.table);
      d.plot = tablePlot(fileTable->angles, f.n.values);
      break;
    }
    default:
      throw PhaseSettingError("Unknown phase function type " + std::to_string(pfType) + ".");
  }
  return d;
}

std::shared_ptr<const PhaseTable> buildRunTable(int pfType, const PhaseParameters& p, const std::string& userFile) {
  checkRunParameters(pfType, p);
  switch (pfType) {
    case 1:
      return buildTwoTermHGTable(p);
    case 2:
      return buildFournierForandTable(normalisedFournierForand(p), p);
    case 5:
    case 6: {
      const std::string fileName = pfType == 5 ? petzoldFileName() : userFile;
      if (fileName.empty()) throw PhaseSettingError("No phase function file is chosen for \"Import  from  PF  file\".");
      const PhaseFileTable file = readInstrumentPFfile(fileName);
      return normalisedFileTable(pfType, fileName, file.angles, file.values).table;
    }
    default:
      return nullptr;
  }
}

}  // namespace pallix
