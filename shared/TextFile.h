#pragma once
// Whole-file text writes: a file is written completely or not at all.

#include <filesystem>
#include <stdexcept>
#include <string>

// Raised when a file cannot be written; what() names the file and the reason.
class FileWriteError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Writes `contents` to a temporary file beside `path`, then renames it onto `path`.
// On any failure the temporary file is removed, `path` is left as it was, and
// FileWriteError is raised.
void writeTextFileAtomically(const std::filesystem::path& path, const std::string& contents);
