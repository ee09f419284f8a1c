#include "pallix/engine/BatchResult.h"

#include "shared/NumberText.h"
#include "shared/TextFile.h"

namespace pallix {
namespace {

void appendBlock(std::string& text, const char* head, double c, const std::vector<double>& w0,
                 const std::vector<double>& values) {
  text += head;
  text += '\n';
  for (std::size_t i = 0; i < w0.size() && i < values.size(); ++i)
    text += numtext::formatS(c) + "\t" + numtext::formatS(w0[i]) + "\t" + numtext::formatS(values[i]) + "\n";
}

}  // namespace

std::string BatchResult::toText() const {
  std::string text;
  if (hasA) appendBlock(text, "c\tw0\tK", c, w0, K);
  if (hasBeta) appendBlock(text, "c\tw0\tbeta", c, w0, beta);
  return text;
}

void BatchResult::save(const std::filesystem::path& file) const { writeTextFileAtomically(file, toText()); }

}  // namespace pallix
