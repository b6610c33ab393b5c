// Small read-only windows: the job information of a project, the About box
// with the program's version and the machine's own data, and the log viewer
// of the monthly event logs.
#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>

#include <array>
#include <string>
#include <utility>
#include <vector>

class QFormLayout;
class QLabel;
class QListWidget;
class QPlainTextEdit;

namespace trazvik {
class TMDIChild;
namespace texts {
class tInterfejs;
}
}  // namespace trazvik

namespace trazvik::ui {

// Label and value pairs, as the information windows show them.
using InfoRows = std::vector<std::pair<QString, QString>>;

// The rows of the job information window for a loaded project: file name,
// cutting and travel lengths, estimated time, size, settings file, tool
// diameter, finishing allowance, scale and, for a G-code program, its extents.
InfoRows jobInfoRows(const TMDIChild& project, const texts::tInterfejs& texts, int unitIndex,
                     const std::string& settingsFile);

class InfoWindow : public QDialog {
  Q_OBJECT
 public:
  InfoWindow(const QString& title, const InfoRows& rows, QWidget* parent = nullptr);
  void setRows(const InfoRows& rows);
  QString valueOf(const QString& label) const;

 private:
  QFormLayout* form_;
};

// What the About box shows of the machine (read from the controller).
struct MachineInfo {
  std::string maker, model, productionDate, firmware;
  int runningMinutes = -1;  // -1: not known
  int fileCount = -1;
  double workAreaX = 0, workAreaY = 0, workAreaZ = 0;  // millimetres, 0: not known
  std::string processor, converter;
  std::array<double, 3> calibration{1, 1, 1};
};

InfoRows aboutRows(const MachineInfo& machine, const texts::tInterfejs& texts);

// The log viewer: the text logs of `folder`, the newest preselected.
class LogViewer : public QDialog {
  Q_OBJECT
 public:
  LogViewer(const QString& folder, const texts::tInterfejs& texts, QWidget* parent = nullptr);

  QListWidget* list() const { return list_; }
  QString shownText() const;
  // Copies the shown lines, each followed by CR LF, to the clipboard.
  void copyToClipboard() const;
  // The log names of the folder (prefix "Log_", a year and month, ".txt"), sorted.
  static QStringList logNames(const QString& folder);

 private:
  void showLog(const QString& name);

  QString folder_;
  QListWidget* list_;
  QPlainTextEdit* text_;
};

}  // namespace trazvik::ui
