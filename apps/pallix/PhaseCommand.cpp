// `pallix phase`: the phase function dialog's "Get  bb/b  &  draw  p.f." action without
// the window: the same checks and messages, bb/b and the plot array (181 values at 0, 1,
// ..., 180 degrees) for the type and parameters given.
//
// Standard output: "bb/b<TAB>value" and, with --display N, "display" followed by N values
// of the plot array at every 180 / (N - 1) degrees, tab-separated (double form D).
// Standard error: the normalisation message when a table is off by more than 1 %.

#include <fstream>
#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include "common/CommandLine.h"
#include "pallix/Commands.h"
#include "pallix/engine/Control.h"
#include "pallix/engine/PhaseTables.h"
#include "shared/NumberText.h"

namespace {

using namespace pallix;

struct PhaseOptions {
  int type = 0;
  // The dialog's initial field texts.
  PhaseParameters parameters;
  std::string file;
  std::optional<int> display;
};

void draw(const PhaseOptions& options) {
  if (options.display) {
    const int n = *options.display;
    if (n < 2 || n > 181 || 180 % (n - 1) != 0)
      throw cli::CommandFailure("--display " + std::to_string(n) +
                                ": the plot has a value at every degree; give N with 180 / (N - 1) a whole "
                                "number (19 for every 10 degrees, 181 for every degree)");
  }

  // The file of types 5 and 6 is read when the type is chosen, before the draw action.
  std::optional<PhaseFileTable> fileTable;
  if (options.type == 5 || options.type == 6) {
    if (options.type == 6) {
      if (options.file.empty()) throw cli::CommandFailure("type 6 (Import  from  PF  file) needs --file PATH");
      if (!std::ifstream(options.file)) throw cli::CommandFailure("I/O error in reading phase function!");
    }
    try {
      fileTable = readInstrumentPFfile(options.type == 5 ? petzoldFileName() : options.file);
    } catch (const PhaseSettingError& e) {
      std::cerr << "pallix: " << e.what() << '\n';
      throw cli::CommandFailure("Error reading phase function file.");
    }
  }

  PhaseFunctionDrawing drawing;
  try {
    drawing = drawPhaseFunction(options.type, options.parameters, fileTable ? &*fileTable : nullptr);
  } catch (const PhaseSettingError& e) {
    throw cli::CommandFailure(e.what());
  }
  if (drawing.normalised) std::cerr << normalizationMessage(drawing.totalIntegral) << '\n';

  std::cout << "bb/b\t" << numtext::formatD(drawing.bbRatio) << '\n';
  if (options.display) {
    const std::size_t step = 180 / static_cast<std::size_t>(*options.display - 1);
    std::cout << "display";
    for (std::size_t i = 0; i < drawing.plot.size(); i += step) std::cout << '\t' << numtext::formatD(drawing.plot[i]);
    std::cout << '\n';
  }
}

}  // namespace

void addPhaseCommand(CLI::App& app) {
  auto options = std::make_shared<PhaseOptions>();

  CLI::App* sub = app.add_subcommand("phase", "bb/b and the plot of the instrument's phase function");
  sub->add_option("--type", options->type, "phase-function type 0..6 (0 one-term HG, 1 two-term HG, "
                                           "2 Fournier-Forand, 3 isotropic, 4 pure water, 5 Petzold, 6 file)")
      ->check(CLI::Range(0, Control::nPfType - 1));
  sub->add_option("--g", options->parameters.g, "one-term Henyey-Greenstein g (0.925)");
  sub->add_option("--g1", options->parameters.g1, "two-term HG: g of the first term (0.9)");
  sub->add_option("--g2", options->parameters.g2, "two-term HG: g of the second term (-0.2)");
  sub->add_option("--weight", options->parameters.g12Weight, "two-term HG: weight of the first term (0.5)");
  sub->add_option("--junge", options->parameters.JungeCoeff, "Fournier-Forand Junge slope (4.0)");
  sub->add_option("--real-index", options->parameters.realIndex, "Fournier-Forand relative real index (1.15)");
  sub->add_option("--forward-angle", options->parameters.forwardAngle,
                  "Fournier-Forand starting forward angle [degree] (0.01)");
  sub->add_option("--file", options->file, "phase-function file of type 6");
  sub->add_option("--display", options->display, "also print N values of the plot array");
  sub->callback([options] { draw(*options); });
}
