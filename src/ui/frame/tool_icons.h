#pragma once
#include <QIcon>

namespace trazvik::ui {

// Drawn icons of the zoom group, so they look the same on every desktop.
enum class ZoomIcon { Out, In, Fit };
QIcon zoomIcon(ZoomIcon kind);

}  // namespace trazvik::ui
