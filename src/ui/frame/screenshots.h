#pragma once
#include <QString>
#include <QWidget>

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace trazvik::ui {

// Pictures of the program's windows for the documentation and for a person
// checking the program without sitting at it: started with the hidden
// option TrazvikScreenshots='DIR', the program waits until its windows have
// settled, writes one PNG per window into DIR and ends.
class Screenshots {
 public:
  // A window to picture: its file name (without ".png") and how to bring it
  // up; the function returns the widget to grab, or null to skip it.
  using Target = std::pair<std::string, std::function<QWidget*()>>;

  void add(std::string name, std::function<QWidget*()> show) {
    targets_.emplace_back(std::move(name), std::move(show));
  }
  // Takes the pictures after `delayMs` and then quits the application.
  // Failures are written to stderr; the exit code tells whether all went.
  void takeLater(const QString& folder, int delayMs);
  // The pictures now; false when one of them could not be written.
  bool takeNow(const QString& folder);

 private:
  std::vector<Target> targets_;
};

}  // namespace trazvik::ui
