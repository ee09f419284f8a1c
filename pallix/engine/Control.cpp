#include "pallix/engine/Control.h"

namespace pallix {

Control& globalControl() {
  static Control control;
  return control;
}

std::mutex& globalControlMutex() {
  static std::mutex mutex;
  return mutex;
}

Control snapshotGlobalControl() {
  std::lock_guard<std::mutex> lock(globalControlMutex());
  return globalControl();
}

}  // namespace pallix
