#include "config/flt_edit.h"
#include "config/number_text.h"
#include "config/tdlgkonfig.h"
#include "geometry/units.h"
#include "project/tmdichild.h"
#include "texts/interfejs.h"
#include "base/version_text.h"

#include "dialogs/info_windows.h"

#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QVBoxLayout>

#include <cmath>

namespace trazvik::ui {

namespace {

QString q(const std::string& text) { return QString::fromStdString(text); }

// A length given in millimetres, in the display unit with its name.
QString lengthText(double mm, int unitIndex) {
  const int decimals = config::displayDecimalsForUnit(unitIndex, 2);
  return QString::number(mm / config::unitFactor(unitIndex), 'f', decimals) + " " +
         q(std::string(config::unitName(unitIndex)));
}

QString minutesText(double minutes) {
  if (!std::isfinite(minutes) || minutes < 0) return QStringLiteral("-");
  const long long seconds = std::llround(minutes * 60);
  return QString("%1:%2:%3")
      .arg(seconds / 3600)
      .arg((seconds / 60) % 60, 2, 10, QChar('0'))
      .arg(seconds % 60, 2, 10, QChar('0'));
}

}  // namespace

InfoRows jobInfoRows(const TMDIChild& project, const texts::tInterfejs& texts, int unitIndex,
                     const std::string& settingsFile) {
  const TDlgkonfig& k = project.konfig();
  const double scale = k.real("skala") / 100.0;
  const int type = project.ImportFileType;
  InfoRows rows;
  rows.emplace_back(q(texts.dajTxt("Info", "labPlik.Caption")), q(project.sciezka));
  rows.emplace_back(q(texts.dajTxt("Info", "labDlugoscCiecia.Caption")),
                    lengthText(project.total_lenwork * scale, unitIndex));
  rows.emplace_back(q(texts.dajTxt("Info", "labDlugoscPrzejazdow.Caption")),
                    lengthText(project.total_lenprzes * scale, unitIndex));
  rows.emplace_back(q(texts.dajTxt("Info", "labCzas.Caption")), minutesText(project.GetEstimatedCuttingTime()));
  rows.emplace_back(q(texts.dajTxt("Info", "labRozmiar.Caption")),
                    lengthText(toMm(type, project.size_x) * scale, unitIndex) + " x " +
                        lengthText(toMm(type, project.size_y) * scale, unitIndex));
  rows.emplace_back(q(texts.dajTxt("Info", "labKonfiguracja.Caption")), q(settingsFile));
  rows.emplace_back(q(texts.dajTxt("Info", "labSrednica.Caption")),
                    k.flag("doOutline") ? lengthText(k.real("srednica"), unitIndex) : QStringLiteral("-"));
  rows.emplace_back(q(texts.dajTxt("Info", "labPolerowanie.Caption")),
                    k.flag("polerowanie") ? lengthText(k.real("poler_grubosc"), unitIndex) : QStringLiteral("-"));
  rows.emplace_back(q(texts.dajTxt("Info", "labSkala.Caption")), QString::number(k.real("skala")) + " %");
  if (type == 3) {
    const tMinMax& e = project.GcodPar;
    rows.emplace_back(q(texts.dajTxt("Info", "labZakresGcode.Caption")),
                      QString("X %1 .. %2   Y %3 .. %4   Z %5 .. %6")
                          .arg(lengthText(toMm(type, e.minX), unitIndex), lengthText(toMm(type, e.maxX), unitIndex),
                               lengthText(toMm(type, e.minY), unitIndex), lengthText(toMm(type, e.maxY), unitIndex),
                               lengthText(toMm(type, e.minZ), unitIndex), lengthText(toMm(type, e.maxZ), unitIndex)));
  }
  return rows;
}

InfoRows aboutRows(const MachineInfo& m, const texts::tInterfejs& texts) {
  const QString unknown = q(texts.dajTxt("Universal", "nieznany"));
  const auto orUnknown = [&](const std::string& value) { return value.empty() ? unknown : q(value); };
  InfoRows rows;
  rows.emplace_back(q(texts.dajTxt("About", "labWersja.Caption")), q(base::programVersionText()));
  rows.emplace_back(q(texts.dajTxt("About", "labProducent.Caption")), orUnknown(m.maker));
  rows.emplace_back(q(texts.dajTxt("About", "labModel.Caption")), orUnknown(m.model));
  rows.emplace_back(q(texts.dajTxt("About", "labDataProdukcji.Caption")), orUnknown(m.productionDate));
  rows.emplace_back(
      q(texts.dajTxt("About", "labCzasPracy.Caption")),
      m.runningMinutes < 0 ? unknown : QString("%1 h %2 min").arg(m.runningMinutes / 60).arg(m.runningMinutes % 60));
  rows.emplace_back(q(texts.dajTxt("About", "labLiczbaPlikow.Caption")),
                    m.fileCount < 0 ? unknown : QString::number(m.fileCount));
  rows.emplace_back(
      q(texts.dajTxt("About", "labObszarRoboczy.Caption")),
      m.workAreaX <= 0 ? unknown : QString("%1 x %2 x %3 mm").arg(m.workAreaX).arg(m.workAreaY).arg(m.workAreaZ));
  rows.emplace_back(q(texts.dajTxt("About", "labProcesor.Caption")),
                    orUnknown(m.processor.empty() ? m.firmware : m.processor));
  rows.emplace_back(q(texts.dajTxt("About", "labPrzetwornik.Caption")), orUnknown(m.converter));
  rows.emplace_back(q(texts.dajTxt("About", "labKalibracja.Caption")), QString("X %1   Y %2   Z %3")
                                                                           .arg(m.calibration[0], 0, 'f', 8)
                                                                           .arg(m.calibration[1], 0, 'f', 8)
                                                                           .arg(m.calibration[2], 0, 'f', 8));
  return rows;
}

InfoWindow::InfoWindow(const QString& title, const InfoRows& rows, QWidget* parent)
    : QDialog(parent), form_(new QFormLayout) {
  setWindowTitle(title);
  setModal(true);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form_);
  layout->addWidget(buttons);
  setRows(rows);
}

void InfoWindow::setRows(const InfoRows& rows) {
  while (form_->rowCount() > 0) form_->removeRow(0);
  for (const auto& [label, value] : rows) {
    auto* shown = new QLabel(value, this);
    shown->setTextInteractionFlags(Qt::TextSelectableByMouse);
    form_->addRow(label, shown);
  }
}

QString InfoWindow::valueOf(const QString& label) const {
  for (int row = 0; row < form_->rowCount(); ++row) {
    auto* name = qobject_cast<QLabel*>(form_->itemAt(row, QFormLayout::LabelRole)->widget());
    auto* value = qobject_cast<QLabel*>(form_->itemAt(row, QFormLayout::FieldRole)->widget());
    if (name && value && name->text() == label) return value->text();
  }
  return {};
}

LogViewer::LogViewer(const QString& folder, const texts::tInterfejs& texts, QWidget* parent)
    : QDialog(parent), folder_(folder), list_(new QListWidget(this)), text_(new QPlainTextEdit(this)) {
  setObjectName("FormLogViewer");
  setModal(true);
  setWindowTitle(q(texts.dajTxt("FormLogViewer", "FormLogViewer.Caption")));
  text_->setReadOnly(true);
  text_->setLineWrapMode(QPlainTextEdit::NoWrap);
  list_->setObjectName("LogFileList");
  list_->addItems(logNames(folder));
  auto* copy = new QPushButton(q(texts.dajTxt("FormLogViewer", "btnCopyToClipBoard.Caption")), this);
  copy->setObjectName("btnCopyToClipBoard");
  auto* close = new QPushButton(q(texts.dajTxt("FormLogViewer", "btnClose.Caption")), this);
  close->setObjectName("btnClose");
  connect(copy, &QPushButton::clicked, this, &LogViewer::copyToClipboard);
  connect(close, &QPushButton::clicked, this, &QDialog::accept);
  connect(list_, &QListWidget::currentTextChanged, this, &LogViewer::showLog);

  auto* side = new QVBoxLayout;
  side->addWidget(new QLabel(q(texts.dajTxt("FormLogViewer", "labLogsList.Caption")), this));
  side->addWidget(list_);
  auto* top = new QHBoxLayout;
  top->addLayout(side, 1);
  top->addWidget(text_, 4);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(copy);
  buttons->addWidget(close);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addLayout(buttons);
  resize(820, 480);
  if (list_->count() > 0) list_->setCurrentRow(list_->count() - 1);
}

QStringList LogViewer::logNames(const QString& folder) {
  static const QRegularExpression name(QStringLiteral("^Log_\\d{4}_\\d{2}\\.txt$"));
  QStringList names = QDir(folder).entryList({QStringLiteral("Log_*.txt")}, QDir::Files, QDir::Name);
  names.removeIf([](const QString& n) { return !name.match(n).hasMatch(); });
  return names;
}

// Logs are 8-bit text in the system's code page; a log bigger than a few
// megabytes is shown from its end, so the viewer stays quick.
void LogViewer::showLog(const QString& name) {
  constexpr qint64 kShownBytes = 4 << 20;
  QFile file(QDir(folder_).filePath(name));
  if (!file.open(QIODevice::ReadOnly)) {
    text_->setPlainText(file.errorString());
    return;
  }
  if (file.size() > kShownBytes) file.seek(file.size() - kShownBytes);
  QString content = QString::fromLocal8Bit(file.readAll());
  content.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  text_->setPlainText(content);
}

QString LogViewer::shownText() const { return text_->toPlainText(); }

void LogViewer::copyToClipboard() const {
  QStringList shown = shownText().split('\n');
  if (!shown.isEmpty() && shown.back().isEmpty()) shown.removeLast();
  QString lines;
  for (const QString& line : shown) lines += line + QStringLiteral("\r\n");
  QApplication::clipboard()->setText(lines);
}

}  // namespace trazvik::ui
