#include "texts/console_message_boxes.h"

#include <algorithm>
#include <cctype>
#include <istream>
#include <ostream>

namespace trazvik::texts {
namespace {

struct ButtonWords {
  DialogButton button;
  const char* label;
  const char* shortWord;
  const char* longWord;
};

constexpr ButtonWords kButtons[] = {
    {DialogButton::Yes, "[y]es", "y", "yes"},
    {DialogButton::No, "[n]o", "n", "no"},
    {DialogButton::Ok, "[o]k", "o", "ok"},
    {DialogButton::Cancel, "[c]ancel", "c", "cancel"},
};

std::string trimmedLower(const std::string& line) {
  std::string word;
  for (char c : line) {
    if (!std::isspace(static_cast<unsigned char>(c)))
      word += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  return word;
}

std::string buttonName(DialogButton button) {
  for (const ButtonWords& words : kButtons) {
    if (words.button == button) return words.longWord;
  }
  return "cancel";
}

}  // namespace

std::string consoleLineBreaks(const std::string& text) {
  std::string result;
  result.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    const bool pair = i + 1 < text.size() && ((c == '\r' && text[i + 1] == '\n') || (c == '\n' && text[i + 1] == '\r'));
    if (pair) {
      result += '\n';
      ++i;
    } else {
      result += (c == '\r') ? '\n' : c;
    }
  }
  return result;
}

ConsoleMessageBoxes::ConsoleMessageBoxes(std::ostream& out, std::ostream& err, std::istream* in)
    : out_(out), err_(err), in_(in) {}

void ConsoleMessageBoxes::showMessage(const std::string& text, bool error, const std::string& caption) {
  std::ostream& stream = error ? err_ : out_;
  stream << caption << ": " << consoleLineBreaks(text) << '\n';
  stream.flush();
}

DialogButton ConsoleMessageBoxes::confirm(const std::string& question, ButtonSet buttons) {
  std::string choices;
  for (const ButtonWords& words : kButtons) {
    if (!buttons.has(words.button)) continue;
    if (!choices.empty()) choices += '/';
    choices += words.label;
  }
  for (int attempt = 0; attempt < 3 && in_; ++attempt) {
    out_ << consoleLineBreaks(question) << " " << choices << ": " << std::flush;
    std::string line;
    if (!std::getline(*in_, line)) break;
    const std::string word = trimmedLower(line);
    for (const ButtonWords& words : kButtons) {
      if (buttons.has(words.button) && (word == words.shortWord || word == words.longWord)) return words.button;
    }
  }
  const DialogButton answer = cautiousAnswer(buttons);
  if (!in_) out_ << consoleLineBreaks(question) << " " << choices << ": ";
  out_ << "(no answer: " << buttonName(answer) << ")\n" << std::flush;
  return answer;
}

}  // namespace trazvik::texts
