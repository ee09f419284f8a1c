#include "shared/Console.h"

#include <iostream>
#include <mutex>

namespace console {
namespace {

std::mutex& consoleMutex() {
  static std::mutex m;
  return m;
}
std::ostream* outStream = &std::cout;
std::ostream* messageStream = &std::cerr;

void writeLine(std::ostream* stream, std::string_view line) {
  std::lock_guard<std::mutex> lock(consoleMutex());
  stream->write(line.data(), static_cast<std::streamsize>(line.size()));
  stream->put('\n');
}

}  // namespace

void out(std::string_view line) { writeLine(outStream, line); }
void message(std::string_view line) { writeLine(messageStream, line); }

Redirect::Redirect(std::ostream* newOut, std::ostream* newMessage) {
  std::lock_guard<std::mutex> lock(consoleMutex());
  previousOut_ = outStream;
  previousMessage_ = messageStream;
  outStream = newOut;
  messageStream = newMessage;
}

Redirect::~Redirect() {
  std::lock_guard<std::mutex> lock(consoleMutex());
  outStream = previousOut_;
  messageStream = previousMessage_;
}

}  // namespace console
