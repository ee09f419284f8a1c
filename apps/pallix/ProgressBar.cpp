#include "pallix/ProgressBar.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <string>

namespace pallixcli {

ProgressBar::ProgressBar(bool enabled) : enabled_(enabled && ::isatty(STDERR_FILENO) == 1) {}

ProgressBar::~ProgressBar() { close(); }

void ProgressBar::show(int value) {
  if (!enabled_) return;
  std::lock_guard<std::mutex> lock(mutex_);
  value = std::clamp(value, 0, 100);
  if (value == last_) return;
  last_ = value;
  draw();
  drawn_ = true;
}

void ProgressBar::draw() {
  constexpr int kWidth = 40;
  const int filled = last_ * kWidth / 100;
  const std::string bar = "\r[" + std::string(static_cast<std::size_t>(filled), '#') +
                          std::string(static_cast<std::size_t>(kWidth - filled), ' ') + "] " +
                          std::to_string(last_) + " %";
  std::fputs(bar.c_str(), stderr);
  std::fflush(stderr);
}

void ProgressBar::erase() {
  std::fputs("\r\033[K", stderr);
  std::fflush(stderr);
}

void ProgressBar::close() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (drawn_) {
    std::fputs("\n", stderr);
    std::fflush(stderr);
    drawn_ = false;
  }
  enabled_ = false;
}

}  // namespace pallixcli
