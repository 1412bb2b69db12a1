#pragma once

#include "platform/controls.h"

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace agendia::platform {

// The lookups of a FormWindow's controls collection, for adapters that keep
// their controls (`ControlT`, a Control) in one vector in the design's order.

// The control at `index`, or nullptr when `index` is outside the collection.
template <typename ControlT>
ControlT* ControlAtIndex(const std::vector<std::unique_ptr<ControlT>>& controls, int index) {
  if (index < 0 || static_cast<std::size_t>(index) >= controls.size()) return nullptr;
  return controls[static_cast<std::size_t>(index)].get();
}

// The first control named `name` (names compare exactly), or nullptr.
template <typename ControlT>
ControlT* ControlNamed(const std::vector<std::unique_ptr<ControlT>>& controls, const std::string& name) {
  for (const auto& control : controls) {
    if (control->Name() == name) return control.get();
  }
  return nullptr;
}

}  // namespace agendia::platform
