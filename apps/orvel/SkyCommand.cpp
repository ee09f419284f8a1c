// `orvel sky`: the incident light above the sea surface for the settings of a run.
//
// Prints, one "name<TAB>value" line each: the direct, diffuse and total downwelling
// irradiance (W/m^2/nm), the sky-to-total ratio as the environment dialog shows it, the
// solar model's scale factor, and on request the normalised sky radiance (1/sr) of one
// sky direction.

#include <memory>
#include <numbers>
#include <string>

#include "common/CommandLine.h"
#include "orvel/Commands.h"
#include "orvel/engine/CardioidalRadiance.h"
#include "orvel/engine/Control.h"
#include "orvel/engine/GreggCarderIrradiance.h"
#include "orvel/engine/SolarRadiance.h"
#include "shared/Console.h"
#include "shared/NumberText.h"

namespace {

struct SkyOptions {
  std::string model = "solar";
  int wavelength;         // [nm]
  double zenith;          // solar zenith angle [degree]
  double cloud;           // [0, 1]
  double total;           // simple model: total irradiance [W/m^2/nm]
  double ratio;           // simple model: sky share of the total
  double coeff;           // simple model: cardioidal coefficient C
  double skyTheta = 0.0;  // sky zenith angle [degree]
  double skyPhi = 0.0;    // sky azimuth [degree], 0 towards the sun

  explicit SkyOptions(const orvel::Control& initial)
      : wavelength(initial.wavelength),
        zenith(initial.solarZenithAngle),
        cloud(initial.cloudCover),
        total(initial.cardioidalTotalEd),
        ratio(initial.cardioidalSkyEdToTotalEd),
        coeff(initial.cardioidalCoeff) {}
};

void printLine(const char* name, const std::string& value) { console::out(std::string(name) + "\t" + value); }

void printIrradiances(const orvel::IncidentRadiance& light) {
  const double Edir = light.getDirectEd();
  const double Edif = light.getDiffuseEd();
  const double Ed = Edir + Edif;
  printLine("Edir", numtext::formatD(Edir));
  printLine("Edif", numtext::formatD(Edif));
  printLine("Ed", numtext::formatD(Ed));
  printLine("ratio", numtext::formatS(Edif / Ed));
}

}  // namespace

void addSkyCommand(CLI::App& app) {
  auto options = std::make_shared<SkyOptions>(orvel::Control{});
  auto* sub = app.add_subcommand("sky", "incident light above the sea surface: irradiances and sky radiance");
  sub->add_option("--model", options->model,
                  "solar (clear-sky irradiance and Harrison-Coombes sky) or simple")
      ->check(CLI::IsMember({"solar", "simple"}))
      ->capture_default_str();
  sub->add_option("--wavelength", options->wavelength, "wavelength [nm], 350 to 801 for the solar model")
      ->capture_default_str();
  sub->add_option("--zenith", options->zenith, "solar zenith angle in air [degree]")
      ->check(CLI::Range(0.0, 90.0))
      ->capture_default_str();
  auto* cloud = sub->add_option("--cloud", options->cloud, "cloud cover fraction (solar model)")
                    ->check(CLI::Range(0.0, 1.0))
                    ->capture_default_str();
  auto* total =
      sub->add_option("--total", options->total, "total irradiance above water [W/m^2/nm] (simple model)")
          ->check(CLI::PositiveNumber)
          ->default_str(numtext::formatD(options->total));
  auto* ratio = sub->add_option("--ratio", options->ratio, "sky share of the total irradiance (simple model)")
                    ->check(CLI::Range(0.0, 1.0))
                    ->default_str(numtext::formatD(options->ratio));
  auto* coeff = sub->add_option("--coeff", options->coeff,
                                "cardioidal coefficient C in Lo(1 + C cos theta), at least -1 (simple model)")
                    ->capture_default_str();
  auto* skyTheta =
      sub->add_option("--sky-theta", options->skyTheta, "zenith angle of a sky direction [degree]")
          ->check(CLI::Range(0.0, 90.0));
  sub->add_option("--sky-phi", options->skyPhi, "azimuth of that sky direction [degree], 0 towards the sun")
      ->needs(skyTheta)
      ->capture_default_str();

  sub->callback([options, cloud, total, ratio, coeff, skyTheta] {
    const SkyOptions& o = *options;
    constexpr double kDegree = std::numbers::pi / 180.0;
    std::unique_ptr<orvel::IncidentRadiance> light;
    if (o.model == "solar") {
      if (total->count() + ratio->count() + coeff->count() > 0) {
        throw cli::CommandFailure(
            "sky: --total, --ratio and --coeff belong to the simple model (--model simple)");
      }
      if (!orvel::GreggCarderIrradiance::isWavelengthInRange(o.wavelength)) {
        throw cli::CommandFailure(std::string(orvel::kWavelengthRangeMessage));
      }
      auto solar = std::make_unique<orvel::SolarRadiance>(o.wavelength, o.zenith, o.cloud);
      printIrradiances(*solar);
      printLine("scaleFactor", numtext::formatD(solar->getScaleFactor()));
      light = std::move(solar);
    } else {
      if (cloud->count() > 0) {
        throw cli::CommandFailure("sky: --cloud belongs to the solar model");
      }
      try {
        light = std::make_unique<orvel::CardioidalRadiance>(
            orvel::CardioidalRadiance::fromTotalEd(o.wavelength, o.coeff, o.total, o.ratio));
      } catch (const orvel::CardioidalCoefficientError& e) {
        throw cli::CommandFailure(std::string("sky: ") + e.what());
      }
      printIrradiances(*light);
    }
    if (skyTheta->count() > 0) {
      printLine("skyRadiance",
                numtext::formatD(light->getNormalizedSkyRadiance(o.skyTheta * kDegree, o.skyPhi * kDegree)));
    }
  });
}
