#include "panel/tool_length_window.h"

#include "config/flt_edit.h"
#include "dialogs/flt_edit_widget.h"
#include "texts/interfejs.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace trazvik::ui {

namespace {

QString q(const std::string& text) { return QString::fromStdString(text); }

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
