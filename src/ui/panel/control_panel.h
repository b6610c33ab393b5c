// The control panel window: a view over the core's Tster. It runs Tster's
// timer event on a Qt timer at the interval Tster asks for, paints what
// Tster's display values say (coordinates, speed and power, tool, locks,
// caption with the link state, the hidden test panel), and hands the
// operator's keys, mouse presses and slider moves to the panel actions,
// which the program wires to the machine operations.
#pragma once

#include "control/jog_move.h"
#include "control/panel_sliders.h"

#include <QString>
#include <QTimer>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;
class QToolButton;

namespace trazvik {
class Tster;
namespace texts {
class tInterfejs;
}
}  // namespace trazvik

namespace trazvik::ui {

class TFltEditU;

// The motion buttons in the order of the core's jog buttons.
enum class PanelButton { kul, ku, kur, kl, kr, kdl, kd, kdr, kzu, kzd };

// What the operator's input does on the machine. Every action may stay
// unset (nothing is done then).
struct ControlPanelActions {
  // Keys by their key codes (37 Left, 33 Page Up, 96..105 numpad digits,
  // 107/109 numpad + and -, 45 Insert, 17 Ctrl, ...); true when acted on.
  std::function<bool(int keyCode)> keyDown;
  std::function<bool(int keyCode)> keyUp;
  // Left mouse button pressed and released on a motion button.
  std::function<void(PanelButton)> buttonDown;
  std::function<void(PanelButton)> buttonUp;
  // Left press on STOP (before its click).
  std::function<void()> stopPressed;
  // Activation of the panel: no jog, no key remembered.
  std::function<void()> resetJog;
  std::function<void()> toolButton;
  // The feed (mm/min) loaded into the selected speed slot.
  std::function<void(std::int64_t feed)> loadFeed;
  // The status power a slider position stands for, sent to the machine.
  std::function<void(int power)> sendPower;
  // "Ustaw obroty": an error text when the field is not an integer.
  std::function<std::optional<std::string>(const std::string& rpm)> setSpindleSpeed;
  std::function<void()> spindleOn, spindleOff;
  std::function<void(int entry)> activateHead;
  std::function<void()> releaseHead;
  std::function<void(bool on)> vacuum;
  std::function<void(bool on)> dustExtraction;
  std::function<void(int ms)> setPulseTime;
  // Windows and set-up commands of the panel's buttons.
  std::function<void()> home, setZero, checkBase, moveByDelta, toolLength, outputs;
  // Sends the spindle inverter's parameter file.
  std::function<void()> inverterUpload;
};

class ControlPanel : public QWidget {
  Q_OBJECT
 public:
  ControlPanel(Tster& tster, const texts::tInterfejs& texts, QWidget* parent = nullptr);
  ~ControlPanel() override;

  ControlPanelActions& actions() { return actions_; }
  // The machine as the sliders need it (set by the program).
  std::function<panel::tSliderMachine()> sliderMachine;
  // Settings the panel reads: display unit, smoothing, the status' selected slots.
  std::function<int()> unitIndex;
  std::function<bool()> smoothing;
  std::function<int()> selectedSpeedSlot;
  std::function<int()> statusPower;
  // The feed (mm/min) of the controller's selected speed slot as last
  // read; 0 when the slot holds none.
  std::function<std::int64_t()> reportedFeed;
  // The feed (mm/min) an empty slot is given when the panel opens, so that
  // a jog runs at the feed the label shows; 0: none.
  std::function<std::int64_t()> feedForEmptySlot;
  // Run before every timer event (the link's events handed to this thread).
  std::function<void()> beforeStep;

  // The monitoring timer (created stopped; the start-up enables it last).
  void startMonitoring();
  void stopMonitoring();
  bool monitoring() const { return timer_.isActive(); }
  // One timer event now: Tster's step, then the displays.
  void timerEvent();
  // Paints Tster's display values.
  void refresh();

  // Activation and deactivation as the window manager reports them; tests
  // call them directly.
  void activatePanel();
  void deactivatePanel();

  // Keys as the panel sees them before its controls; true when used.
  bool handleKey(int qtKey, Qt::KeyboardModifiers modifiers, bool press, bool autoRepeat);
  // The code of a Qt key (with the keypad modifier) in the panel's key table; 0 when none.
  static int keyCode(int qtKey, Qt::KeyboardModifiers modifiers);

  QWidget* testPanel() const;
  // The large layout with picture buttons for a touch screen (decided by
  // the core's display). Its pictures come from this folder when it holds
  // a full set, else they are drawn.
  void setIconFolder(const QString& folder);
  bool touchLayout() const { return touchLayout_; }
  QSlider* speedSlider() const { return vScroll_; }
  QSlider* powerSlider() const { return pScroll_; }
  // The state of a paused job, shown above the panel's controls; an empty
  // text hides the line.
  void showJobState(const QString& text);
  QString jobState() const;
  // Why the last jog went nowhere and what to do; none hides the line.
  void showJogBlock(tJogBlock block);
  QString jogInfo() const;

 protected:
  void showEvent(QShowEvent* event) override;
  void changeEvent(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void build();
  QWidget* buildCoordinates();
  QWidget* buildJogPad();
  QWidget* buildSliders();
  QWidget* buildButtons();
  QWidget* buildLowerPart();
  QWidget* buildTestPanel();
  QLabel* value(const char* name);
  void speedSliderMoved(int position);
  void powerSliderMoved(int position);
  void setSpeedSliderQuietly(int position);
  // The slider at the controller's feed (or an empty slot given one), and
  // the label telling it even when the position did not change.
  void showSpeedAtActivation(const panel::tSliderMachine& m);
  void showSpeedLabel(int position);
  void applyCaptions();
  void applyLocks();
  void applyTouchLayout(bool on);
  std::string caption(const std::string& key) const;

  Tster& tster_;
  const texts::tInterfejs& texts_;
  ControlPanelActions actions_;
  QTimer timer_;
  bool fromController_ = false;  // the sliders are being set from the status
  std::map<std::string, QLabel*> values_;
  std::map<PanelButton, QToolButton*> motion_;
  QToolButton* stop_ = nullptr;
  QToolButton* tool_ = nullptr;
  QGroupBox* machineGroup_ = nullptr;
  QGroupBox* projectGroup_ = nullptr;
  QGroupBox* speedGroup_ = nullptr;
  QGroupBox* powerGroup_ = nullptr;
  QSlider* vScroll_ = nullptr;
  QSlider* pScroll_ = nullptr;
  QLabel* speedLabel_ = nullptr;
  QLabel* powerLabel_ = nullptr;
  QGroupBox* testPanel_ = nullptr;
  QWidget* lowerPart_ = nullptr;
  std::map<std::string, QCheckBox*> testBits_;
  std::map<std::string, QPushButton*> buttons_;
  QLineEdit* spindleSpeed_ = nullptr;
  QComboBox* heads_ = nullptr;
  QLabel* chosenHead_ = nullptr;
  TFltEditU* pulseTime_ = nullptr;
  QLabel* pulseCaption_ = nullptr;
  QLabel* pulseUnit_ = nullptr;
  QLabel* inverterError_ = nullptr;
  QLabel* controllerWait_ = nullptr;
  QLabel* jobState_ = nullptr;
  QLabel* jogInfo_ = nullptr;
  bool touchLayout_ = false;
  QString iconFolder_;
};

}  // namespace trazvik::ui
