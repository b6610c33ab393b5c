// The control panel's "Set project zero": the base points window over the
// session's list of remembered points, the zero sent to the controller and
// the active project checked against it.
#include "control/project_zero.h"
#include "frame/machine_session.h"
#include "frame/main_window.h"
#include "machine/link_state.h"
#include "machine/plot_state.h"
#include "panel/base_points_window.h"
#include "panel/control_panel.h"
#include "project/project_window.h"

namespace trazvik::ui {

namespace {

std::filesystem::path basePointsFile(const ProgramContext& context) {
  return std::filesystem::path(context.frame.dataDirectory()) / kBasePointsFile;
}

}  // namespace

void MachineSession::loadBasePoints() {
  std::string error;
  basePointsLoaded_ = basePoints_.load(basePointsFile(context_), &error);
  if (!basePointsLoaded_) context_.texts().messageBox(error, true);
}

void MachineSession::saveBasePoints() {
  if (!basePointsLoaded_) return;
  std::string error;
  if (!basePoints_.save(basePointsFile(context_), &error)) context_.texts().messageBox(error, true);
}

void MachineSession::attachSetZero() {
  panelWindow_->actions().setZero = [this] {
    const tControlSettings& cs = control_->context.settings;
    BasePointsSetup setup;
    setup.unit = cs.unitIndex;
    setup.separator = context_.settings().decimalSeparator();
    setup.workArea = machine_.link.secondWorkArea;
    setup.headCount = context_.settings().machine().headCount;
    setup.selectedHead = machine_.status.selectedZ;
    for (std::size_t i = 0; i < setup.headOffsets.size(); ++i)
      setup.headOffsets[i] = {cs.headOffsets[i].x, cs.headOffsets[i].y};
    setup.currentPosition = [this]() -> std::optional<std::array<double, 2>> {
      tMachineOps& ops = connection_->ops();
      if (!ops.linkUp()) return std::nullopt;
      ops.status.readPositions();
      if (!ops.status.lastReadAnswered()) return std::nullopt;
      return std::array<double, 2>{ops.st.abspos.x / 100, ops.st.abspos.y / 100};
    };
    tProjectZeroHooks hooks;
    hooks.chooseZero = [this, setup]() mutable -> std::optional<std::array<double, 2>> {
      setup.zeroX = machine_.status.pos0.x / 100;
      setup.zeroY = machine_.status.pos0.y / 100;
      BasePointsWindow window(basePoints_, context_.texts(), setup, panelWindow_.get());
      if (window.exec() != QDialog::Accepted) return std::nullopt;
      return std::array<double, 2>{window.zeroX(), window.zeroY()};
    };
    hooks.panelTimer = [this](bool on) { control_->panel.setTimerEnabled(on); };
    hooks.hourglass = control_->context.mainWindow.hourglass;
    hooks.errorBox = [this](const std::string& text) { context_.texts().messageBox(text, true); };
    ProjectWindow* active = main_.activeProjectWindow();
    setbazaClick(connection_->ops(), active ? &active->project() : nullptr, context_.settings(), context_.texts(),
                 machine_.link.secondWorkArea, hooks);
    if (panelWindow_) panelWindow_->refresh();
  };
}

}  // namespace trazvik::ui
