#include "texts/message_boxes.h"

namespace trazvik::texts {

DialogButton cautiousAnswer(ButtonSet buttons) {
  for (DialogButton b : {DialogButton::Cancel, DialogButton::No, DialogButton::Ok, DialogButton::Yes}) {
    if (buttons.has(b)) return b;
  }
  return DialogButton::Cancel;
}

std::string messageCaption(bool error, const std::optional<std::string>& caption) {
  if (caption) return *caption;
  return error ? "Error" : "Information";
}

}  // namespace trazvik::texts
