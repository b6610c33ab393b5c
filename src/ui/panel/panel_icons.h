// The pictures of the control panel's touch layout: the eight direction
// arrows, the two Z arrows, the tool's lamp and STOP. Drawn here unless
// the program's icon folder holds a full set of its own.
#pragma once

#include <QIcon>
#include <QString>

#include <map>
#include <optional>

namespace trazvik::ui {

enum class PanelIcon { upLeft, up, upRight, left, right, downLeft, down, downRight, zUp, zDown, tool, stop };

using PanelIcons = std::map<PanelIcon, QIcon>;

// The drawn set, each picture `size` pixels square; the tool's lamp is
// dark when off and lit when its button is checked.
PanelIcons drawnPanelIcons(int size);

// The set from the bitmaps of `folder` ("Arrow66c_U_green.bmp" and the
// others); nothing unless every one of them is there and readable.
std::optional<PanelIcons> panelIconsFromFolder(const QString& folder);

}  // namespace trazvik::ui
