#include "common/RunProgress.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <streambuf>

namespace cli {

// Forwards to another stream buffer, taking the bar off the line first.
class RunProgress::ClearingBuffer : public std::streambuf {
 public:
  // `clears` false: the target is not the bar's terminal, nothing to take off.
  ClearingBuffer(RunProgress& bar, std::streambuf* target, bool clears)
      : bar_(bar), target_(target), clears_(clears) {}

 protected:
  int_type overflow(int_type ch) override {
    if (traits_type::eq_int_type(ch, traits_type::eof())) return traits_type::not_eof(ch);
    clear();
    return target_->sputc(traits_type::to_char_type(ch));
  }
  std::streamsize xsputn(const char* s, std::streamsize n) override {
    clear();
    return target_->sputn(s, n);
  }
  int sync() override { return target_->pubsync(); }

 private:
  void clear() {
    if (!clears_) return;
    std::lock_guard<std::mutex> lock(bar_.mutex_);
    bar_.eraseLocked();
  }
  RunProgress& bar_;
  std::streambuf* target_;
  bool clears_;
};

RunProgress::RunProgress(bool enabled)
    : enabled_(enabled && ::isatty(STDERR_FILENO) == 1),
      outputIsTerminal_(::isatty(STDOUT_FILENO) == 1),
      start_(std::chrono::steady_clock::now()) {
  outBuffer_ = std::make_unique<ClearingBuffer>(*this, std::cout.rdbuf(), outputIsTerminal_);
  messageBuffer_ = std::make_unique<ClearingBuffer>(*this, std::cerr.rdbuf(), true);
  out_ = std::make_unique<std::ostream>(outBuffer_.get());
  message_ = std::make_unique<std::ostream>(messageBuffer_.get());
}

RunProgress::~RunProgress() { finish(); }

std::ostream& RunProgress::outputStream() { return *out_; }
std::ostream& RunProgress::messageStream() { return *message_; }

std::string RunProgress::barText(long long current, long long total, double elapsedSeconds) {
  constexpr int kWidth = 40;
  const double fraction = total > 0 ? std::clamp(static_cast<double>(current) / static_cast<double>(total), 0.0, 1.0)
                                    : 1.0;
  const int filled = static_cast<int>(fraction * kWidth);
  std::string text = "[" + std::string(static_cast<std::size_t>(filled), '#') +
                     std::string(static_cast<std::size_t>(kWidth - filled), '.') + "] ";
  const int percent = static_cast<int>(fraction * 100.0);
  if (percent < 100) text += ' ';
  if (percent < 10) text += ' ';
  text += std::to_string(percent) + " %";
  if (current > 0 && current < total) {
    // What is left at the pace so far.
    const auto left = static_cast<long long>(elapsedSeconds * static_cast<double>(total - current) /
                                                 static_cast<double>(current) +
                                             0.5);
    const long long seconds = left % 60;
    text += "  " + std::to_string(left / 60) + (seconds < 10 ? ":0" : ":") + std::to_string(seconds) + " left";
  }
  return text;
}

void RunProgress::update(long long current, long long total) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!enabled_) return;
  current_ = current;
  total_ = total;
  std::cout.flush();
  drawLocked();
}

void RunProgress::printAbove(std::string_view line) {
  std::lock_guard<std::mutex> lock(mutex_);
  // Standard output on another device than the bar's terminal cannot land on its line.
  const bool wasDrawn = drawn_;
  if (outputIsTerminal_) eraseLocked();
  std::cout << line << '\n' << std::flush;
  if (enabled_ && wasDrawn && !drawn_) drawLocked();
}

void RunProgress::drawLocked() {
  const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
  const std::string text = "\r" + barText(current_, total_, elapsed) + "\033[K";
  std::fputs(text.c_str(), stderr);
  std::fflush(stderr);
  drawn_ = true;
}

void RunProgress::eraseLocked() {
  if (!drawn_) return;
  std::fputs("\r\033[K", stderr);
  std::fflush(stderr);
  drawn_ = false;
}

void RunProgress::finish(std::string_view closingLine) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!enabled_) return;
  eraseLocked();
  if (!closingLine.empty()) {
    std::fwrite(closingLine.data(), 1, closingLine.size(), stderr);
    std::fputc('\n', stderr);
    std::fflush(stderr);
  }
  enabled_ = false;
}

}  // namespace cli
