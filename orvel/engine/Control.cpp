#include "orvel/engine/Control.h"

#include <string>

#include "shared/Console.h"
#include "shared/NumberText.h"

namespace orvel {

void Control::writePhotonEvent(std::string_view text) { console::out(text); }

void Control::writePhotonInfo(std::string_view text, const Vec3& position) {
  std::string line(text);
  line += ' ';
  line += numtext::formatS(position[0]);
  line += '\t';
  line += numtext::formatS(position[1]);
  line += '\t';
  line += numtext::formatS(position[2]);
  console::out(line);
}

Control& globalControl() {
  static Control control;
  return control;
}

}  // namespace orvel
