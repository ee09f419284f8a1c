#pragma once
// A progress bar on standard error, drawn only when standard error is a terminal.

#include <mutex>

namespace pallixcli {

class ProgressBar {
 public:
  // `enabled` false draws nothing (for --quiet).
  explicit ProgressBar(bool enabled);
  ~ProgressBar();
  ProgressBar(const ProgressBar&) = delete;
  ProgressBar& operator=(const ProgressBar&) = delete;

  // Shows `value` of 0..100; safe from any thread.
  void show(int value);
  // Ends the bar's line (once).
  void close();

  // Runs `print` (which writes whole lines to standard output) with the bar taken off
  // the terminal line first and drawn again afterwards.
  template <class Print>
  void printAbove(const Print& print) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (drawn_) erase();
    print();
    if (drawn_) draw();
  }

 private:
  void erase();
  void draw();

  bool enabled_;
  bool drawn_ = false;
  int last_ = -1;
  std::mutex mutex_;
};

}  // namespace pallixcli
