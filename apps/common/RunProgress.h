#pragma once
// A progress bar with an estimate of the time left, drawn on standard error when it is a
// terminal (and not at all otherwise), for the command lines' long runs.
//
//   [##########..............................]  25 %  0:42 left
//
// Lines written to standard output or standard error while the bar is shown would land
// on the bar's line: `outputStream()` and `messageStream()` are streams that take the
// bar off the line before they write (redirect the console channels to them during the
// run); the bar comes back at the next update. `printAbove(line)` writes one line on
// standard output and draws the bar again at once, for callers that report a line right
// after each update.

#include <chrono>
#include <memory>
#include <mutex>
#include <ostream>
#include <string>
#include <string_view>

namespace cli {

class RunProgress {
 public:
  // `enabled` false (--quiet) draws nothing; neither does a standard error that is not a
  // terminal.
  explicit RunProgress(bool enabled);
  ~RunProgress();
  RunProgress(const RunProgress&) = delete;
  RunProgress& operator=(const RunProgress&) = delete;

  bool isActive() const { return enabled_; }

  // `current` of `total` steps done; safe from any thread.
  void update(long long current, long long total);

  // Writes `line` and a line end on standard output (flushed), with the bar taken off
  // the line first and drawn again afterwards; safe from any thread.
  void printAbove(std::string_view line);

  // Takes the bar off the line for good; writes `closingLine` (if any) on standard
  // error in its place.
  void finish(std::string_view closingLine = {});

  // Streams onto standard output and standard error that take the bar off the line
  // before writing.
  std::ostream& outputStream();
  std::ostream& messageStream();

  // The bar's text for `current` of `total` after `elapsedSeconds` (no line control).
  static std::string barText(long long current, long long total, double elapsedSeconds);

 private:
  class ClearingBuffer;
  void drawLocked();
  void eraseLocked();

  bool enabled_;
  bool outputIsTerminal_;
  bool drawn_ = false;
  long long current_ = 0;  // the last update
  long long total_ = 0;
  std::chrono::steady_clock::time_point start_;
  std::mutex mutex_;
  std::unique_ptr<ClearingBuffer> outBuffer_;
  std::unique_ptr<ClearingBuffer> messageBuffer_;
  std::unique_ptr<std::ostream> out_;
  std::unique_ptr<std::ostream> message_;
};

}  // namespace cli
