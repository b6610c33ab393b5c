#pragma once
#include "texts/message_boxes.h"

#include <deque>
#include <vector>

namespace trazvik::texts {

// Message boxes for tests: every message and question is recorded, and
// questions are answered from a queue of prepared answers. A question with
// no prepared answer, or whose prepared answer is not among its buttons,
// gets the cautious answer and is marked unanswered, so a test sees both.
class RecordingMessageBoxes : public MessageBoxes {
 public:
  struct Message {
    std::string text;
    bool error = false;
    std::string caption;
  };
  struct Question {
    std::string text;
    ButtonSet buttons;
    DialogButton answer = DialogButton::Cancel;
    bool answeredFromQueue = false;
  };

  void showMessage(const std::string& text, bool error, const std::string& caption) override;
  DialogButton confirm(const std::string& question, ButtonSet buttons) override;

  // The next question is answered with `button`.
  void prepareAnswer(DialogButton button) { answers_.push_back(button); }

  const std::vector<Message>& messages() const { return messages_; }
  const std::vector<Question>& questions() const { return questions_; }
  void clear();

 private:
  std::vector<Message> messages_;
  std::vector<Question> questions_;
  std::deque<DialogButton> answers_;
};

}  // namespace trazvik::texts
