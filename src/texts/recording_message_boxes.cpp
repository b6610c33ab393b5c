#include "texts/recording_message_boxes.h"

namespace trazvik::texts {

void RecordingMessageBoxes::showMessage(const std::string& text, bool error, const std::string& caption) {
  messages_.push_back({text, error, caption});
}

DialogButton RecordingMessageBoxes::confirm(const std::string& question, ButtonSet buttons) {
  Question asked{question, buttons, cautiousAnswer(buttons), false};
  if (!answers_.empty()) {
    const DialogButton prepared = answers_.front();
    answers_.pop_front();
    if (buttons.has(prepared)) {
      asked.answer = prepared;
      asked.answeredFromQueue = true;
    }
  }
  questions_.push_back(asked);
  return asked.answer;
}

void RecordingMessageBoxes::clear() {
  messages_.clear();
  questions_.clear();
  answers_.clear();
}

}  // namespace trazvik::texts
