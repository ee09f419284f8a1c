#include "common/CommandLine.h"

#include <exception>
#include <iostream>

namespace cli {

int runProgram(CLI::App& app, int argc, char** argv) {
  const std::string name = app.get_name();
  try {
    app.parse(argc, argv);
    std::cout.flush();
    if (!std::cout) {
      std::cerr << name << ": cannot write to standard output\n";
      return 1;
    }
    return 0;
  } catch (const CLI::Success& e) {
    return app.exit(e);  // --help, --version
  } catch (const CLI::ParseError& e) {
    std::cout.flush();
    std::cerr << name << ": " << e.what() << "\n";
    return 2;
  } catch (const CommandFailure& e) {
    std::cout.flush();
    std::cerr << name << ": " << e.what() << "\n";
    return 1;
  } catch (const std::exception& e) {
    std::cout.flush();
    std::cerr << name << ": " << e.what() << "\n";
    return 1;
  }
}

}  // namespace cli
