#pragma once
#include "texts/message_boxes.h"

#include <iosfwd>

namespace trazvik::texts {

// Message boxes on a text console (the CLI): information goes to `out`,
// errors to `err`, each as "Caption: text". A question is asked on `out` and
// answered by a line from `in` ("y", "yes", "n", "no", "o", "ok", "c",
// "cancel", letter case ignored). Without an input stream, at the end of the
// input or after three answers that fit none of the buttons, the cautious
// answer (Cancel, then No) is taken and said.
class ConsoleMessageBoxes : public MessageBoxes {
 public:
  ConsoleMessageBoxes(std::ostream& out, std::ostream& err, std::istream* in);

  void showMessage(const std::string& text, bool error, const std::string& caption) override;
  DialogButton confirm(const std::string& question, ButtonSet buttons) override;

 private:
  std::ostream& out_;
  std::ostream& err_;
  std::istream* in_;
};

// Turns the line breaks the program puts into its messages ("\r\n", "\n\r",
// a lone "\r") into plain "\n" for a terminal.
std::string consoleLineBreaks(const std::string& text);

}  // namespace trazvik::texts
