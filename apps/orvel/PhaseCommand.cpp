// `orvel phase`: the phase-function preview behind "Finish  PF setting", from the
// command line.
//
// Builds the phase function a run would use, pure water mixed with the chosen particle
// model by scattering coefficient (water always included), optionally truncated, and
// prints one "key<TAB>value" line each:
//   bb/b                  backscattering ratio of the untruncated mixture (D)
//   percentAngles         the five angles enclosing 10 ... 50 % of the scattering [deg] (S)
//   truncated             true / false
//   truncationIndex       grid index of the cut (0 without truncation)
//   truncationAngle[deg]  the cut angle (D; 0.0 without truncation)
//   F                     the share of scattering the cut removes (D)
//   c'  w0'               the medium after rescaling by F (D; c and w0 without truncation)
//   display               on request, the display curve (D)
// and, on request, writes the "SPF.txt" table to a file.

#include <filesystem>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <system_error>

#include "common/CommandLine.h"
#include "orvel/Commands.h"
#include "orvel/engine/Control.h"
#include "orvel/engine/HomogeneousWater.h"
#include "orvel/engine/ParticlePhaseFunction.h"
#include "orvel/engine/PureWater.h"
#include "orvel/engine/VisibilityRun.h"
#include "orvel/phase/DualPhaseFunction.h"
#include "orvel/phase/PhaseFunctionFile.h"
#include "shared/Console.h"
#include "shared/NumberText.h"
#include "shared/TextFile.h"

namespace {

struct PhaseOptions {
  int pfType;
  double g, g1, g2, g12Weight, JungeCoeff, realIndex;
  std::string file;  // type 6
  double c, w0;
  int wavelength;                   // [nm]
  std::optional<double> truncate;   // forward cut ratio; truncation on when given
  std::string spfFile;              // where to write the SPF table, if anywhere
  int display = 0;                  // number of display values to print, if any

  explicit PhaseOptions(const orvel::Control& initial)
      : pfType(initial.pfType),
        g(initial.g),
        g1(initial.g1),
        g2(initial.g2),
        g12Weight(initial.g12Weight),
        JungeCoeff(initial.JungeCoeff),
        realIndex(initial.realIndex),
        c(initial.c),
        w0(initial.w0),
        wavelength(initial.wavelength) {}
};

// The settings of a run that would use the previewed phase function: water always
// included, truncated when a cut ratio is given.
orvel::Control previewControl(const PhaseOptions& o, double bWater) {
  orvel::Control k;
  k.pfType = o.pfType;
  k.g = o.g;
  k.g1 = o.g1;
  k.g2 = o.g2;
  k.g12Weight = o.g12Weight;
  k.JungeCoeff = o.JungeCoeff;
  k.realIndex = o.realIndex;
  k.userPFfile = o.file;
  k.c = o.c;
  k.w0 = o.w0;
  k.wavelength = o.wavelength;
  k.bWater = bWater;
  k.isWaterIncluded = true;
  k.isPFtruncated = o.truncate.has_value();
  k.initialForwardScat = o.truncate.value_or(orvel::Control{}.initialForwardScat);
  return k;
}

void printLine(const std::string& key, const std::string& value) { console::out(key + "\t" + value); }

void runPhase(const PhaseOptions& o) {
  // The dialog's checks, whatever the type.
  if (o.JungeCoeff < 3.5 || o.JungeCoeff > 5.0) {
    throw cli::CommandFailure("Junge Coefficient should be within 3.5 to 5. Try again please.");
  }
  if (o.realIndex <= 1.0) {
    throw cli::CommandFailure(
        "For all the ocean particles, it is assuemd that real index relative to water must greater than 1.");
  }
  if (o.truncate && !(*o.truncate >= 0.0 && *o.truncate <= 0.9)) {
    throw cli::CommandFailure("Forward Cut Ratio should be within 0 to 0.9.");
  }
  if (!(o.c > 0.0)) throw cli::CommandFailure("phase: the attenuation c must be positive");
  if (!(o.w0 >= 0.0 && o.w0 <= 1.0)) throw cli::CommandFailure("phase: the albedo w0 must lie between 0 and 1");
  if (o.pfType != 6 && !o.file.empty()) throw cli::CommandFailure("phase: --file belongs to type 6");

  // Water always included: b1 = bWater at the wavelength, b2 = the rest of the
  // scattering w0 c.
  const double bWater = orvel::PureWater::scattering(o.wavelength);
  if (!(bWater > 0.0)) {
    throw cli::CommandFailure("phase: no pure-water scattering at " + std::to_string(o.wavelength) +
                              " nm (the table spans 350 to 800 nm)");
  }
  const orvel::Control k = previewControl(o, bWater);
  if (orvel::particleScattering(k) < 0.0) {
    throw cli::CommandFailure("phase: the total scattering w0*c = " + numtext::formatD(o.w0 * o.c) +
                              " 1/m is below the pure-water scattering " + numtext::formatD(bWater) + " 1/m at " +
                              std::to_string(o.wavelength) + " nm");
  }
  if (o.pfType == 6) {
    if (o.file.empty()) throw cli::CommandFailure("phase: type 6 needs a phase-function file (--file PATH)");
    // The file the run would read; a missing one is named as the user gave it.
    std::error_code ignored;
    if (!std::filesystem::is_regular_file(orvel::resolvePhaseFunctionFile(o.file), ignored)) {
      throw cli::CommandFailure("Error in reading phase function file. File not found when loading file " + o.file);
    }
  }

  std::shared_ptr<const DualPhaseFunction> preview;
  try {
    const std::shared_ptr<const PhaseFunction> particles = orvel::makeParticlePhaseFunction(k);
    preview = orvel::makeWaterParticleMixture(k, *particles);
  } catch (const PhaseFunctionFileError& e) {
    throw cli::CommandFailure(std::string("Error in reading phase function file. ") + e.what());
  } catch (const orvel::VisibilityRunError& e) {
    throw cli::CommandFailure(std::string("phase: ") + e.what());
  } catch (const std::invalid_argument& e) {
    throw cli::CommandFailure(std::string("phase: ") + e.what());
  }

  orvel::HomogeneousWater medium(o.c, o.w0);
  if (preview->isTruncated()) medium.adjustMediumProperties(preview->getF());

  printLine("bb/b", numtext::formatD(preview->getBbRatio()));
  std::string angles;
  const auto percentAngles = preview->getPercentScatteringAngles();
  for (double a : percentAngles.value()) angles += "\t" + numtext::formatS(a);
  console::out("percentAngles" + angles);
  printLine("truncated", numtext::formatB(preview->isTruncated()));
  printLine("truncationIndex", numtext::formatI(preview->isTruncated() ? preview->getTruncationIndex() : 0));
  printLine("truncationAngle[deg]",
            numtext::formatD(PhaseFunctionAngles::radiansToDegrees(preview->getTruncationAngle())));
  printLine("F", numtext::formatD(preview->getF()));
  printLine("c'", numtext::formatD(medium.c));
  printLine("w0'", numtext::formatD(medium.w0));
  if (o.display > 0) {
    std::string values;
    for (double v : preview->getSPFarrayForDisplay(o.display)) values += "\t" + numtext::formatD(v);
    console::out("display" + values);
  }
  if (!o.spfFile.empty()) {
    try {
      writeTextFileAtomically(o.spfFile, formatSPFfile(*preview));
    } catch (const FileWriteError& e) {
      throw cli::CommandFailure(std::string("phase: ") + e.what());
    }
  }
}

}  // namespace

void addPhaseCommand(CLI::App& app) {
  const orvel::Control initial;
  auto options = std::make_shared<PhaseOptions>(initial);
  auto* sub = app.add_subcommand(
      "phase", "phase-function preview: pure water plus a particle model, bb/b, percent angles, truncation");
  sub->add_option("--type", options->pfType,
                  "particle phase function: 0 one-term HG, 1 two-term HG, 2 Fournier-Forand, 3 isotropic, "
                  "4 pure water, 5 Petzold, 6 file")
      ->check(CLI::Range(0, 6))
      ->capture_default_str();
  sub->add_option("--g", options->g, "one-term Henyey-Greenstein asymmetry")->default_str(numtext::formatD(initial.g));
  sub->add_option("--g1", options->g1, "two-term HG: first asymmetry")->default_str(numtext::formatD(initial.g1));
  sub->add_option("--g2", options->g2, "two-term HG: second asymmetry")->default_str(numtext::formatD(initial.g2));
  sub->add_option("--weight", options->g12Weight, "two-term HG: weight w of w HG1 + (1 - w) HG2")
      ->default_str(numtext::formatD(initial.g12Weight));
  sub->add_option("--junge", options->JungeCoeff, "Fournier-Forand: slope of the Junge distribution (3.5 to 5)")
      ->default_str(numtext::formatD(initial.JungeCoeff));
  sub->add_option("--real-index", options->realIndex, "Fournier-Forand: real index relative to water (> 1)")
      ->default_str(numtext::formatD(initial.realIndex));
  sub->add_option("--file", options->file, "phase-function file for type 6");
  sub->add_option("--c", options->c, "beam attenuation c [1/m]")->default_str(numtext::formatD(initial.c));
  sub->add_option("--w0", options->w0, "single-scattering albedo")->default_str(numtext::formatD(initial.w0));
  sub->add_option("--wavelength", options->wavelength, "wavelength [nm] of the pure-water scattering")
      ->capture_default_str();
  sub->add_option("--truncate", options->truncate, "truncate the forward peak with this cut ratio (0 to 0.9)");
  sub->add_option("--spf", options->spfFile, "also write the SPF table to this file");
  sub->add_option("--display", options->display, "also print this many display values over 0 to 180 degrees")
      ->check(CLI::Range(1, 100000));
  sub->callback([options] { runPhase(*options); });
}
