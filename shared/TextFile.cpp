#include "shared/TextFile.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <system_error>
#include <unistd.h>

void writeTextFileAtomically(const std::filesystem::path& path, const std::string& contents) {
  const auto dir = path.has_parent_path() ? path.parent_path() : std::filesystem::path(".");
  const auto temp = dir / ("." + path.filename().string() + ".tmp" + std::to_string(::getpid()));
  auto fail = [&](const std::string& why) {
    std::error_code ec;
    std::filesystem::remove(temp, ec);
    throw FileWriteError("cannot write " + path.string() + ": " + why);
  };
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    if (!out) fail(std::strerror(errno));
    out.write(contents.data(), static_cast<std::streamsize>(contents.size()));
    out.flush();
    if (!out) fail(std::strerror(errno));
  }
  std::error_code ec;
  std::filesystem::rename(temp, path, ec);
  if (ec) fail(ec.message());
}
