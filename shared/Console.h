#pragma once
// The console of both programs.
//
// Two channels, each a whole line at a time and safe to use from several threads:
//   out      the console tables and reports (standard output by default)
//   message  the library's warnings and diagnostics ("norm of the direction vector is
//            not 1.0", "Warning in Romberg integral: Too many steps.", ...; standard
//            error by default)
// A window program or a test can redirect either channel for a while.

#include <ostream>
#include <sstream>
#include <string>
#include <string_view>

namespace console {

// Writes `line` and a line end to the output channel.
void out(std::string_view line);
// Writes `line` and a line end to the message channel.
void message(std::string_view line);

// Redirects the channels while it lives; the previous streams come back afterwards.
class Redirect {
 public:
  Redirect(std::ostream* outStream, std::ostream* messageStream);
  ~Redirect();
  Redirect(const Redirect&) = delete;
  Redirect& operator=(const Redirect&) = delete;

 private:
  std::ostream* previousOut_;
  std::ostream* previousMessage_;
};

// Collects both channels into strings while it lives (for tests).
class Capture {
 public:
  Capture() : redirect_(&out_, &message_) {}
  std::string out() const { return out_.str(); }
  std::string messages() const { return message_.str(); }

 private:
  std::ostringstream out_;
  std::ostringstream message_;
  Redirect redirect_;
};

}  // namespace console
