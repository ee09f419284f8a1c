#pragma once
// Checks a line of program output against a form with placeholders, without std::regex:
//   {n}  a decimal number as the programs print it ("0.25", "1.0E-4", "-3.5")
//   {c}  a count printed as a double ("1234.0")
// Everything else in the form must match literally. For example
//   matchesForm("starting photons = 100 captured number = 17.0",
//               "starting photons = 100 captured number = {c}")

#include <charconv>
#include <cmath>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace testsupport {

inline bool isPrintedNumber(std::string_view s) {
  if (s.empty()) return false;
  double value = 0.0;
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
  return ec == std::errc{} && end == s.data() + s.size() && std::isfinite(value);
}

inline bool isPrintedCount(std::string_view s) {
  if (s.size() < 3 || s.substr(s.size() - 2) != ".0") return false;
  for (char ch : s.substr(0, s.size() - 2))
    if (ch < '0' || ch > '9') return false;
  return true;
}

inline bool matchesForm(std::string_view text, std::string_view form) {
  // Split the form into literal pieces and placeholders.
  struct Piece {
    bool placeholder;
    char kind;
    std::string_view literal;
  };
  std::vector<Piece> pieces;
  while (!form.empty()) {
    const auto open = form.find('{');
    if (open == std::string_view::npos || open + 2 >= form.size() || form[open + 2] != '}') {
      pieces.push_back({false, 0, form});
      break;
    }
    if (open > 0) pieces.push_back({false, 0, form.substr(0, open)});
    pieces.push_back({true, form[open + 1], {}});
    form.remove_prefix(open + 3);
  }
  for (std::size_t i = 0; i < pieces.size(); ++i) {
    const Piece& p = pieces[i];
    if (!p.placeholder) {
      if (text.substr(0, p.literal.size()) != p.literal) return false;
      text.remove_prefix(p.literal.size());
      continue;
    }
    // The field runs to the next literal piece, or to the end.
    std::size_t end = text.size();
    if (i + 1 < pieces.size() && !pieces[i + 1].placeholder) {
      end = text.find(pieces[i + 1].literal);
      if (end == std::string_view::npos) return false;
    }
    const std::string_view field = text.substr(0, end);
    if (p.kind == 'n' ? !isPrintedNumber(field) : !isPrintedCount(field)) return false;
    text.remove_prefix(end);
  }
  return text.empty();
}

}  // namespace testsupport
