#pragma once
// Conventions shared by the command-line programs: results on standard output,
// messages on standard error, a non-zero exit status with a one-line reason on any
// error.

#include <stdexcept>
#include <string>

#include <CLI/CLI.hpp>

namespace cli {

// A failure the user should read: printed as one line, exit status 1.
class CommandFailure : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Parses the command line and runs the chosen subcommand's callback. Returns the
// process exit status: 0 on success, 1 on a failure (printed as "<program>: <reason>"),
// 2 on a command-line error (unknown option, unparsable number).
int runProgram(CLI::App& app, int argc, char** argv);

}  // namespace cli
