#include "orvel/engine/ResultReport.h"

#include <cmath>
#include <cstddef>
#include <initializer_list>
#include <string>

#include "shared/Console.h"
#include "shared/NumberText.h"
#include "shared/TextFile.h"

namespace orvel {
namespace {

using numtext::formatD;
using numtext::formatI;
using numtext::formatS;

// Element i of one array's values; an empty array (did not run) reads as 0.
class ArrayValues {
 public:
  ArrayValues(const std::vector<double>& values, int nSensor, const char* name) : values_(values) {
    if (!values.empty() && values.size() != static_cast<std::size_t>(nSensor)) {
      throw std::invalid_argument(std::string("result array ") + name + " has " +
                                  std::to_string(values.size()) + " values for " + std::to_string(nSensor) +
                                  " sensors");
    }
  }
  double operator[](int i) const { return values_.empty() ? 0.0 : values_[static_cast<std::size_t>(i)]; }

 private:
  const std::vector<double>& values_;
};

std::string joinTabs(std::initializer_list<std::string> fields) {
  std::string line;
  bool first = true;
  for (const std::string& field : fields) {
    if (!first) line += '\t';
    line += field;
    first = false;
  }
  return line;
}

// A fixed text that carries its own line feed: the line, then an empty line.
void addWithLineFeed(std::vector<std::string>& lines, std::string line) {
  lines.push_back(std::move(line));
  lines.emplace_back();
}

std::string joinLines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) {
    text += line;
    text += '\n';
  }
  return text;
}

}  // namespace

double reportDistance(const Control& control, int i) {
  // The first sensor sits LT0distance millimetres from the target centre; the others are
  // spaced radSensorSpacing optical depths apart from the centre.
  return i == 0 ? control.LT0distance * 0.001 * control.c : i * control.radSensorSpacing;
}

double contrast(double a, double b) { return std::fabs(a - b) / (a + b); }

std::vector<std::string> resultReportLines(const VisibilityResults& results) {
  const Control& control = results.control;
  const int n = control.NSensor;
  const ArrayValues lt(results.radTarget, n, "radTarget");
  const ArrayValues lop(results.radOppositeTarget, n, "radOppositeTarget");
  const ArrayValues lb(results.radBackGround, n, "radBackGround");
  const ArrayValues lr(results.radReferenceTarget, n, "radReferenceTarget");
  const ArrayValues e(results.irradTarget, n, "irradTarget");
  const ArrayValues eop(results.irradOppositeTarget, n, "irradOppositeTarget");

  std::vector<std::string> lines;
  lines.emplace_back("r[od]\tC_back(r)\tC_ref(r)");
  for (int i = 0; i < n; ++i) {
    lines.push_back(joinTabs({formatS(reportDistance(control, i)), formatS(contrast(lt[i], lb[i])),
                              formatS(contrast(lt[i], lr[i]))}));
  }
  lines.emplace_back("r[od]\tL_target(r)\tL_op_tar(r)\tE(r)\tE_op(r)\tL_back(r)\tL_ref(r)");
  for (int i = 0; i < n; ++i) {
    // The two irradiances come before the background and reference radiances.
    lines.push_back(joinTabs({formatS(reportDistance(control, i)), formatS(lt[i]), formatS(lop[i]),
                              formatS(e[i]), formatS(eop[i]), formatS(lb[i]), formatS(lr[i])}));
  }
  if (control.isLambertianTest && control.isTargetPresent) {
    lines.emplace_back("Lambertian Test");
    lines.emplace_back("angle\tphotons");
    for (const LambertianCone& cone : results.lambertianCones) {
      lines.push_back(joinTabs({formatS(cone.angle), control.isLambertianPhotons ? formatI(cone.photons)
                                                                                 : formatD(cone.weight)}));
    }
  }
  if (control.isSPFTest) {
    lines.emplace_back("Scattering Test");
    lines.emplace_back("angle\tphotons\tspf");
    for (const ScatteringCone& cone : results.scatteringCones) {
      lines.push_back(joinTabs({formatS(cone.angle), formatI(cone.photons), formatS(cone.spf)}));
    }
  }
  return lines;
}

std::vector<std::string> conditionsReportLines(const VisibilityResults& results) {
  const Control& control = results.control;
  std::vector<std::string> lines;
  addWithLineFeed(lines, "Target(Disk) Visibility Simulation:");
  lines.push_back("Nphoton\t" + formatI(control.Nphoton));
  lines.push_back("c[1/m]\t" + formatD(control.c));
  lines.push_back("w0(SSA)\t" + formatD(control.w0));
  if (control.isWaterIncluded) {
    // The text names 550 nm whatever the wavelength; the values are the run's own.
    lines.push_back("Sea water of a(550nm) = " + formatS(control.aWater) + " and b(550nm) = " +
                    formatS(control.bWater) + " is included.");
    lines.emplace_back("second component:");
  }
  if (control.pfType < 0 || control.pfType >= Control::nPfType) {
    throw std::invalid_argument("phase-function type " + std::to_string(control.pfType) + " does not exist");
  }
  lines.push_back("Phase function is " + std::string(Control::pfName[static_cast<std::size_t>(control.pfType)]));
  switch (control.pfType) {
    case 0:
      addWithLineFeed(lines, "g(H-G)\t" + formatS(control.g));
      break;
    case 1:
      lines.push_back("g1(H-G)\t" + formatS(control.g1));
      lines.push_back("g2(H-G)\t" + formatS(control.g2));
      addWithLineFeed(lines, "g12Weight\t" + formatS(control.g12Weight));
      break;
    case 2:
      lines.push_back("JungeCoeff\t" + formatS(control.JungeCoeff));
      addWithLineFeed(lines, "realIndex\t" + formatS(control.realIndex));
      break;
    case 3:
      addWithLineFeed(lines, "Isotropic scattering is used.");
      break;
    case 4:
      addWithLineFeed(lines, "Pure water scattering is used.");
      break;
    case 5:
      addWithLineFeed(lines, "Petzold's average scattering is used.");
      break;
    default:
      addWithLineFeed(lines, "User supplied scattering in file " + control.userPFfile + " is used.");
      break;
  }
  lines.push_back("(bb/b)ratio\t" + formatS(results.bbRatio));
  if (control.isBottomInfinite) {
    lines.emplace_back("bottomDepth[m]\tInfinite");
    lines.emplace_back("bottomDepth[o.d.]\tInfinite");
  } else {
    lines.push_back("bottomDepth[m]\t" + formatS(control.bottomDepth));
    lines.push_back("bottomDepth[o.d.]\t" + formatS(control.bottomDepth * control.c));
    lines.push_back("bottomAlbedo\t" + formatS(control.bottomAlbedo));
  }
  if (control.isTargetPresent) {
    lines.push_back("targetRadius[m]\t" + formatS(control.targetRadius));
    lines.push_back("targetDepth[m]\t" + formatS(control.targetDepth));
    lines.push_back("targetAlbedo\t" + formatS(control.targetAlbedo));
  }
  if (control.isReferenceTargetPresent) {
    lines.push_back("referenceAlbedo\t" + formatD(control.referenceAlbedo));
  }
  lines.push_back("sensorAzimuthAngle\t" + formatD(control.sensorAzimuthAngle));
  lines.push_back("sensorZenithAngle\t" + formatD(control.sensorZenithAngle));
  addWithLineFeed(lines, "elapsed time\t" + formatI(results.elapsedSeconds));
  return lines;
}

void printResult(const VisibilityResults& results) {
  for (const std::string& line : resultReportLines(results)) console::out(line);
}

void printConditions(const VisibilityResults& results) {
  for (const std::string& line : conditionsReportLines(results)) console::out(line);
}

std::string savedReportText(const VisibilityResults& results) {
  return joinLines(conditionsReportLines(results)) + joinLines(resultReportLines(results));
}

void saveResultReport(const std::filesystem::path& path, const VisibilityResults* lastRun) {
  if (lastRun == nullptr) {
    throw NothingToSaveError("Nothing to save: no Monte Carlo run has finished yet. Run a simulation first.");
  }
  writeTextFileAtomically(path, savedReportText(*lastRun));
}

}  // namespace orvel
