#pragma once
#include "no_qt.h"

#include <optional>
#include <string>

namespace trazvik::texts {

// The buttons of a confirmation box.
enum class DialogButton : unsigned { Ok = 1, Cancel = 2, Yes = 4, No = 8 };

// A set of buttons offered by a confirmation box.
class ButtonSet {
 public:
  constexpr ButtonSet() = default;
  constexpr ButtonSet(std::initializer_list<DialogButton> buttons) {
    for (DialogButton b : buttons) bits_ |= static_cast<unsigned>(b);
  }
  constexpr bool has(DialogButton button) const { return (bits_ & static_cast<unsigned>(button)) != 0; }
  constexpr bool empty() const { return bits_ == 0; }
  constexpr bool operator==(const ButtonSet&) const = default;

  static constexpr ButtonSet yesNo() { return {DialogButton::Yes, DialogButton::No}; }
  static constexpr ButtonSet yesNoCancel() { return {DialogButton::Yes, DialogButton::No, DialogButton::Cancel}; }
  static constexpr ButtonSet okCancel() { return {DialogButton::Ok, DialogButton::Cancel}; }

 private:
  unsigned bits_ = 0;
};

// The answer a box gives when the operator cannot be asked: the most
// cautious button of the set (Cancel, then No, then OK).
DialogButton cautiousAnswer(ButtonSet buttons);

// The caption of a message box: the given one, else "Error" for an error and
// "Information" otherwise.
std::string messageCaption(bool error, const std::optional<std::string>& caption);

// How the operator sees messages and answers questions. The desktop program
// shows modal dialogs, the CLI prints to the console, tests record.
class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;

  // A message with one OK button; returns when the operator has seen it.
  // `caption` is already resolved (see messageCaption).
  virtual void showMessage(const std::string& text, bool error, const std::string& caption) = 0;

  // A question with the given buttons; returns the button pressed, which is
  // always one of `buttons`.
  virtual DialogButton confirm(const std::string& question, ButtonSet buttons) = 0;
};

}  // namespace trazvik::texts
