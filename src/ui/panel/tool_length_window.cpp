#include "panel/tool_length_window.h"

#include "config/flt_edit.h"
#include "dialogs/flt_edit_widget.h"
#include "texts/interfejs.h"

#include "config/number_text.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdio>
#include <optional>

namespace trazvik::ui {

namespace {

QString q(const std::string& text) { return QString::fromStdString(text); }

// A hand-held remote with a lit button: the measurement may be started
// from the machine's remote.
QPixmap remotePicture() {
  QPixmap pixmap(22, 22);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(60, 60, 60), 1.5));
  p.setBrush(QColor(200, 200, 200));
  p.drawRoundedRect(QRectF(6, 2, 10, 18), 3, 3);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(40, 170, 60));
  p.drawEllipse(QPointF(11, 8), 3, 3);
  return pixmap;
}

// A Z zero in hundredths as millimetres in general number form.
QString zeroText(double hundredths) {
  char text[64];
  std::snprintf(text, sizeof text, "%g", hundredths / 100);
  return QString::fromLatin1(text);
}

}  // namespace

ToolLengthWindow::ToolLengthWindow(const texts::tInterfejs& texts, ToolLengthSetup setup, QWidget* parent)
    : QDialog(parent), texts_(texts), setup_(std::move(setup)) {
  setObjectName("TdlugoscForm");
  build();
  tool_->setValue(setup_.distanceMm);
  tool_->changeunit(setup_.unit);
  remoteTimer_ = new QTimer(this);
  remoteTimer_->setObjectName("TimerAutomatPomiarNarz");
  remoteTimer_->setInterval(100);
  connect(remoteTimer_, &QTimer::timeout, this, [this] { remoteTick(); });
  if (setup_.remoteRequest) remoteTimer_->start();
}

void ToolLengthWindow::remoteTick() {
  if (!setup_.remoteRequest) return;
  // Stopped while the request runs: its waits run the event loop.
  remoteTimer_->stop();
  switch (setup_.remoteRequest()) {
    case tRemoteRequest::none: break;
    case tRemoteRequest::measure:
      if (setup_.measure) closeWhen(setup_.measure());
      break;
    case tRemoteRequest::touchMaterial:
      if (setup_.materialSurface) closeWhen(setup_.materialSurface());
      break;
    case tRemoteRequest::ignored: return;  // other machine families: the watch ends
  }
  if (result() != QDialog::Accepted && isVisible()) remoteTimer_->start();
}

void ToolLengthWindow::done(int result) {
  remoteTimer_->stop();
  QDialog::done(result);
}

double ToolLengthWindow::distanceMm() const { return tool_->valueMm(); }

void ToolLengthWindow::build() {
  const auto t = [&](const char* key) { return q(texts_.dajTxt("Dlugosc_narzedzai", key)); };
  setWindowTitle(t("TdlugoscForm.Caption"));
  auto* layout = new QVBoxLayout(this);

  auto* distance = new QHBoxLayout;
  auto* caption = new QLabel(t("labOdlegloscNarzedzieStol.Caption"), this);
  caption->setObjectName("labOdlegloscNarzedzieStol");
  tool_ = new TFltEditU(this, -10000, setup_.maxDistanceMm, 2, setup_.separator);
  tool_->setObjectName("tool");
  auto* unit = new QLabel("[" + q(std::string(config::unitName(setup_.unit))) + "]", this);
  unit->setObjectName("lToolJm");
  distance->addWidget(caption);
  distance->addWidget(tool_);
  distance->addWidget(unit);
  layout->addLayout(distance);

  const auto button = [&](QWidget* parent, const char* name, const QString& text) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
  };
  auto* middle = new QWidget(this);
  middle->setObjectName("pPrzyciskiSrodkowe");
  auto* middleLayout = new QVBoxLayout(middle);
  middleLayout->setContentsMargins(0, 0, 0, 0);
  QPushButton* pomiar = button(middle, "pomiar", t("pomiar.Caption"));
  QPushButton* material = button(middle, "powierzchnia_materialu", t("powierzchnia_materialu.Caption"));
  QPushButton* table = button(middle, "powierzchnia_stolu", t("powierzchnia_stolu.Caption"));
  middleLayout->addWidget(pomiar);
  middleLayout->addWidget(material);
  middleLayout->addWidget(table);
  middleLayout->addWidget(remoteIndicator(middle, "sbWskaznikAkcjiZpilotaJednaGlowica", setup_.remoteSingleHead));
  middle->setVisible(setup_.singleHeadButtons);
  layout->addWidget(middle);
  pomiar->setEnabled(static_cast<bool>(setup_.measure));
  connect(pomiar, &QPushButton::clicked, this, [this] {
    if (setup_.measure) closeWhen(setup_.measure());
  });
  connect(material, &QPushButton::clicked, this, [this] {
    if (setup_.materialSurface) closeWhen(setup_.materialSurface());
  });
  connect(table, &QPushButton::clicked, this, [this] {
    if (setup_.tableSurface) closeWhen(setup_.tableSurface());
  });

  layout->addWidget(buildHeadPanel());

  auto* knifePanel = new QWidget(this);
  knifePanel->setObjectName("pNozOscylacyjny");
  auto* knifeLayout = new QHBoxLayout(knifePanel);
  knifeLayout->setContentsMargins(0, 0, 0, 0);
  knife_ = new TFltEdit(knifePanel, -360, 360, 2, setup_.separator);
  knife_->setObjectName("feOffsetV");
  knife_->setValue(setup_.knifeDegrees);
  knife_->setToolTip(q(setup_.knifeHint));
  knifeLayout->addWidget(knife_);
  knifeLayout->addWidget(new QLabel(QStringLiteral("[°]"), knifePanel));
  knifePanel->setVisible(setup_.hasKnife);
  layout->addWidget(knifePanel);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  QPushButton* ok = button(this, "OK", QStringLiteral("OK"));
  ok->setDefault(true);
  QPushButton* cancel = button(this, "Anuluj", t("Anuluj.Caption"));
  connect(ok, &QPushButton::clicked, this, [this] { okClicked(); });
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  layout->addLayout(buttons);
}

QWidget* ToolLengthWindow::remoteIndicator(QWidget* parent, const char* name, bool shown) {
  auto* indicator = new QLabel(parent);
  indicator->setObjectName(name);
  indicator->setPixmap(remotePicture());
  indicator->setToolTip(q(texts_.dajTxt("Dlugosc_narzedzai", "AkcjaZpilota")));
  indicator->setVisible(shown);
  return indicator;
}

QWidget* ToolLengthWindow::buildHeadPanel() {
  const auto t = [&](const char* key) { return q(texts_.dajTxt("Dlugosc_narzedzai", key)); };
  auto* panel = new QWidget(this);
  panel->setObjectName("pWieloGlowicowy");
  auto* grid = new QGridLayout(panel);
  grid->setContentsMargins(0, 0, 0, 0);

  headChecks_ = new QListWidget(panel);
  headChecks_->setObjectName("clbGlowica");
  headZeros_ = new QListWidget(panel);
  headZeros_->setObjectName("lbGlowicaDlugosc");
  headZeros_->setSelectionMode(QAbstractItemView::NoSelection);
  const QString head = q(texts_.dajTxt("Configuration", "lGlowica.caption"));
  const int heads = std::clamp(setup_.headCount, 0, 3);
  for (int i = 0; i < heads; ++i) {
    auto* item = new QListWidgetItem(head + " " + QString::number(i + 1), headChecks_);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
    item->setCheckState(Qt::Unchecked);
  }
  // Three rows whether filled yet or not.
  const int row = std::max(headChecks_->sizeHintForRow(0), headChecks_->fontMetrics().height() + 4);
  for (QListWidget* list : {headChecks_, headZeros_}) list->setFixedHeight(row * 3 + 2 * list->frameWidth() + 4);
  grid->addWidget(headChecks_, 0, 0, 4, 1);
  grid->addWidget(headZeros_, 0, 1, 4, 1);

  const auto button = [&](const char* name, const QString& text) {
    auto* b = new QPushButton(text, panel);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
  };
  QPushButton* measure = button("btnPomiarNarzedziaWybranychGlowic", t("btnPomiarNarzedziaWybranychGlowic.caption"));
  measure->setEnabled(static_cast<bool>(setup_.measureHeads));
  connect(measure, &QPushButton::clicked, this, [this] { measureCheckedHeads(); });
  QPushButton* material = button("btnFrezNaPowMat", t("powierzchnia_materialu.Caption"));
  connect(material, &QPushButton::clicked, this, [this] {
    if (setup_.materialSurface) closeWhen(setup_.materialSurface());
  });
  // The selected head's tool on the table, as on a single-head machine.
  QPushButton* table = button("btnFrezNaPowStolu", t("powierzchnia_stolu.Caption"));
  connect(table, &QPushButton::clicked, this, [this] {
    if (setup_.tableSurface) closeWhen(setup_.tableSurface());
  });
  auto* manual = new QToolButton(panel);
  manual->setObjectName(QString::fromUtf8("sbRęczneUstDlNarz"));
  manual->setText(t("btnUstawDlugosc3Narzedzi.caption") + QStringLiteral("…"));
  manual->setCheckable(true);
  grid->addWidget(measure, 0, 2);
  grid->addWidget(material, 1, 2);
  grid->addWidget(table, 2, 2);
  auto* lowRow = new QHBoxLayout;
  lowRow->addWidget(manual);
  lowRow->addStretch(1);
  lowRow->addWidget(remoteIndicator(panel, "sbWskaznikAkcjiZpilotaWieleGlowic", setup_.remoteMultiHead));
  grid->addLayout(lowRow, 3, 2);

  manualPanel_ = buildManualPanel(panel);
  grid->addWidget(manualPanel_, 4, 0, 1, 3);
  connect(manual, &QToolButton::toggled, manualPanel_, &QWidget::setVisible);
  panel->setVisible(setup_.headCount >= 2);
  refreshHeadZeros();
  return panel;
}

QWidget* ToolLengthWindow::buildManualPanel(QWidget* parent) {
  auto* manual = new QWidget(parent);
  manual->setObjectName("pReczneUstDlNarzWielu");
  auto* row = new QHBoxLayout(manual);
  row->setContentsMargins(0, 0, 0, 0);
  for (std::size_t i = 0; i < typedZeros_.size(); ++i) {
    typedZeros_[i] = new QLineEdit(QStringLiteral("210"), manual);
    typedZeros_[i]->setObjectName(QStringLiteral("eDlugoscNarzedzie%1").arg(i + 1));
    row->addWidget(typedZeros_[i]);
  }
  auto* set = new QPushButton(q(texts_.dajTxt("Dlugosc_narzedzai", "btnUstawDlugosc3Narzedzi.caption")), manual);
  set->setObjectName("btnUstawDlugosc3Narzedzi");
  set->setAutoDefault(false);
  connect(set, &QPushButton::clicked, this, [this] { setTypedHeadZeros(); });
  row->addWidget(set);
  manual->hide();
  return manual;
}

void ToolLengthWindow::refreshHeadZeros() {
  headZeros_->clear();
  if (!setup_.headZeros) return;
  const std::array<double, 3> zeros = setup_.headZeros();
  for (int i = 0; i < std::clamp(setup_.headCount, 0, 3); ++i) headZeros_->addItem(zeroText(zeros[i]));
}

void ToolLengthWindow::measureCheckedHeads() {
  std::array<bool, 3> checked{};
  bool any = false;
  for (int i = 0; i < headChecks_->count() && i < 3; ++i) {
    checked[static_cast<std::size_t>(i)] = headChecks_->item(i)->checkState() == Qt::Checked;
    any = any || checked[static_cast<std::size_t>(i)];
  }
  if (setup_.headCount < 2 || !any || !setup_.measureHeads) {
    QApplication::beep();
    return;
  }
  // Its waits run the event loop: no second measurement meanwhile.
  remoteTimer_->stop();
  setEnabled(false);
  setup_.measureHeads(checked);
  setEnabled(true);
  refreshHeadZeros();
  if (setup_.remoteRequest && isVisible()) remoteTimer_->start();
}

void ToolLengthWindow::setTypedHeadZeros() {
  std::array<double, 3> mm{};
  for (std::size_t i = 0; i < typedZeros_.size(); ++i) {
    const std::string text = typedZeros_[i]->text().trimmed().toStdString();
    const std::optional<double> value = config::parseNumber(text, setup_.separator);
    if (!value) {
      texts_.messageBox("'" + text + "' is not a valid floating point value", true);
      typedZeros_[i]->setFocus();
      return;
    }
    mm[i] = *value;
  }
  if (!setup_.setHeadZeros || !setup_.setHeadZeros(mm)) return;
  refreshHeadZeros();
  if (auto* toggle = findChild<QToolButton*>(QString::fromUtf8("sbRęczneUstDlNarz"))) toggle->setChecked(false);
  manualPanel_->hide();
}

void ToolLengthWindow::okClicked() {
  if (!setup_.ok) return;
  if (setup_.ok(distanceMm())) {
    const double degrees = knife_->value();
    if (setup_.hasKnife && setup_.knifeOffset && (setup_.knifeOffsetRead || degrees != setup_.knifeDegrees))
      setup_.knifeOffset(degrees);
    accept();
    return;
  }
  // Refused: the operator corrects the distance.
  tool_->setFocus();
}

void ToolLengthWindow::closeWhen(bool sent) {
  if (sent) accept();
}

}  // namespace trazvik::ui
