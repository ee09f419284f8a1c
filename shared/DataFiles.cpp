#include "shared/DataFiles.h"

#include <system_error>

std::filesystem::path programDirectory() {
  std::error_code ec;
  auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) return {};
  return exe.parent_path();
}

std::filesystem::path resolveDataFile(const std::filesystem::path& name) {
  std::error_code ec;
  if (name.is_absolute() || std::filesystem::exists(name, ec)) return name;
  const auto besideProgram = programDirectory() / name;
  if (!programDirectory().empty() && std::filesystem::exists(besideProgram, ec)) return besideProgram;
  return name;
}
