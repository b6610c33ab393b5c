#pragma once

namespace trazvik::ui {

// What the project windows show, chosen in the View menu: one of direction,
// order and layers, and the entry points on or off.
struct ViewOptions {
  enum class Mode { Direction, Order, Layers };
  Mode mode = Mode::Layers;
  bool entryPoints = true;
};

}  // namespace trazvik::ui
