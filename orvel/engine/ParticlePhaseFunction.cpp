#include "orvel/engine/ParticlePhaseFunction.h"

#include <algorithm>
#include <stdexcept>
#include <system_error>

#include "orvel/engine/VisibilityRun.h"
#include "orvel/phase/FileSuppliedPF.h"
#include "orvel/phase/FournierForand.h"
#include "orvel/phase/IsotropicPF.h"
#include "orvel/phase/OneTermHenyeyGreenstein.h"
#include "orvel/phase/PetzoldPF.h"
#include "orvel/phase/PhaseFunctionFile.h"
#include "orvel/phase/PureWaterPF.h"
#include "orvel/phase/TwoTermHenyeyGreenstein.h"
#include "shared/DataFiles.h"

namespace orvel {

namespace {

// The model of a phase-function file's table, or VisibilityRunError naming the file
// when the model refuses the table.
template <class Model>
std::shared_ptr<const PhaseFunction> modelFromFile(const std::string& name) {
  const std::filesystem::path path = resolvePhaseFunctionFile(name);
  const PhaseFunctionFileTable table = readPhaseFunctionFile(path);
  try {
    return std::make_shared<Model>(table.fileTheta, table.fileSPF);
  } catch (const std::invalid_argument& error) {
    throw VisibilityRunError("phase-function file " + path.string() + ": " + error.what());
  }
}

}  // namespace

std::filesystem::path resolvePhaseFunctionFile(const std::string& name) {
  const std::filesystem::path given(name);
  if (given.has_parent_path() || given.is_absolute()) return given;
  const std::filesystem::path inFolder = std::filesystem::path("phaseFunction") / given;
  const std::filesystem::path resolved = resolveDataFile(inFolder);
  std::error_code ignored;
  if (std::filesystem::is_regular_file(resolved, ignored)) return resolved;
  if (std::filesystem::is_regular_file(given, ignored)) return given;
  return inFolder;  // not found: the reader's message names the folder it belongs in
}

std::shared_ptr<const PhaseFunction> makeParticlePhaseFunction(const Control& control) {
  switch (control.pfType) {
    case 0: return std::make_shared<OneTermHenyeyGreenstein>(control.g);
    case 1: return std::make_shared<TwoTermHenyeyGreenstein>(control.g1, control.g2, control.g12Weight);
    case 2: return std::make_shared<FournierForand>(control.JungeCoeff, control.realIndex);
    case 3: return std::make_shared<IsotropicPF>();
    case 4: return std::make_shared<PureWaterPF>();
    case 5: return modelFromFile<PetzoldPF>("petzold.txt");
    case 6:
      if (control.userPFfile.empty()) {
        throw VisibilityRunError("phase function type 6 needs a phase-function file (userPFfile is empty)");
      }
      return modelFromFile<FileSuppliedPF>(control.userPFfile);
    default:
      throw VisibilityRunError("unknown phase function type " + std::to_string(control.pfType));
  }
}

double particleScattering(const Control& control) { return control.w0 * control.c - control.bWater; }

std::shared_ptr<const DualPhaseFunction> makeWaterParticleMixture(const Control& control,
                                                                  const PhaseFunction& particles) {
  // The particles cannot scatter a negative amount: below pure water's scattering the
  // mixture is pure water's phase function.
  const double b2 = std::max(particleScattering(control), 0.0);
  return std::make_shared<DualPhaseFunction>(PureWaterPF(), particles, control.bWater, b2, control.isPFtruncated,
                                             control.initialForwardScat);
}

}  // namespace orvel
