#pragma once
#include <QString>

#include <string>

namespace trazvik::ui {

// A text of the program (UTF-8) as a QString.
inline QString qs(const std::string& text) { return QString::fromStdString(text); }

}  // namespace trazvik::ui
