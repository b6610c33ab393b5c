// The control panel's own windows in the program's screenshots.
#pragma once

class QWidget;

namespace trazvik::ui {

class MachineSession;
class Screenshots;

// The outputs window, the Move window with its service tests and the tool
// length window (on a multi-head machine with two heads measured and the
// manual panel open). Each opens as the panel's button opens it.
void addPanelScreenshots(Screenshots& screenshots, MachineSession& machine);

}  // namespace trazvik::ui
