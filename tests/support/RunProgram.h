#pragma once
// Runs a command-line program as a user would and captures what it prints.

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>
#include <cstdlib>
#include <sys/wait.h>
#include <unistd.h>

namespace testsupport {

struct ProgramResult {
  int status = -1;          // exit status; -1 when the program did not exit normally
  std::string out;          // standard output
  std::string err;          // standard error
};

inline std::string readWholeFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// A fresh, empty folder removed at the end of the test.
class TempDir {
 public:
  TempDir() {
    std::random_device rd;
    path_ = std::filesystem::temp_directory_path() /
            ("suite-test-" + std::to_string(::getpid()) + "-" + std::to_string(rd()));
    std::filesystem::create_directories(path_);
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

// Quotes one argument for /bin/sh.
inline std::string shellQuote(const std::string& s) {
  std::ostringstream q;
  q << '\'';
  for (char c : s) {
    if (c == '\'') q << "'\\''";
    else q << c;
  }
  q << '\'';
  return q.str();
}

// Runs `program args...` in `workDir` (the current folder when empty), standard input closed.
inline ProgramResult runProgram(const std::string& program, const std::vector<std::string>& args,
                                const std::filesystem::path& workDir = {}) {
  TempDir capture;
  std::ostringstream cmd;
  if (!workDir.empty()) cmd << "cd " << shellQuote(workDir.string()) << " && ";
  cmd << shellQuote(program);
  for (const auto& a : args) cmd << ' ' << shellQuote(a);
  cmd << " </dev/null >" << shellQuote((capture / "out").string()) << " 2>"
      << shellQuote((capture / "err").string());
  int raw = std::system(cmd.str().c_str());
  ProgramResult r;
  r.status = (raw != -1 && WIFEXITED(raw)) ? WEXITSTATUS(raw) : -1;
  r.out = readWholeFile(capture / "out");
  r.err = readWholeFile(capture / "err");
  return r;
}

}  // namespace testsupport
