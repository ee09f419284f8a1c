#pragma once
// The phase function of the water as a run and the phase-function preview build it:
// the particle model chosen by `pfType`, pure water mixed with it by scattering
// coefficient, and where a phase-function file named in the settings is read.

#include <filesystem>
#include <memory>
#include <string>

#include "orvel/engine/Control.h"
#include "orvel/phase/DualPhaseFunction.h"
#include "orvel/phase/PhaseFunction.h"

namespace orvel {

// Where a phase-function file named in the settings is read: a bare file name in the
// "phaseFunction" folder (working directory first, then beside the program; a file of
// that name in the working directory itself if neither has it); a path as given.
std::filesystem::path resolvePhaseFunctionFile(const std::string& name);

// The particle (or only) model chosen by control.pfType: 0 one-term Henyey-Greenstein
// (g), 1 two-term (g1, g2, g12Weight), 2 Fournier-Forand (JungeCoeff, realIndex), 3
// isotropic, 4 pure water, 5 Petzold ("petzold.txt"), 6 the table of userPFfile; the
// files are found by resolvePhaseFunctionFile. Throws PhaseFunctionFileError when a
// file cannot be read, VisibilityRunError when type 6 has no file, the type is unknown
// or a file's table is refused (naming the file), and the model's
// std::invalid_argument for parameters out of range.
std::shared_ptr<const PhaseFunction> makeParticlePhaseFunction(const Control& control);

// Pure water's share of the scattering b = w0 c is bWater; the particles scatter the
// rest, w0 c - bWater [1/m] (negative when w0 c is below pure water's scattering).
double particleScattering(const Control& control);

// Pure water (b1 = bWater) mixed with `particles` (b2 = particleScattering, taken as 0
// when negative), truncated at initialForwardScat when isPFtruncated. Throws
// std::invalid_argument as DualPhaseFunction does.
std::shared_ptr<const DualPhaseFunction> makeWaterParticleMixture(const Control& control,
                                                                  const PhaseFunction& particles);

}  // namespace orvel
