#include "app/hindcast_window.h"

#include "quakes/hindcast_report.h"
#include "session/messages.h"
#include "session/quake_commands.h"
#include "session/session.h"
#include "sheet/sheet_renderer.h"

#include <QCloseEvent>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QThread>
#include <QVBoxLayout>

namespace eq {
namespace {

QString kmText(const std::optional<double>& km) { return km ? QString::number(*km, 'f', 1) : QStringLiteral("-"); }

}  // namespace

bool askQuakeOptions(QWidget* parent, double& minMagnitude, int& days) {
  QDialog dialog(parent);
  dialog.setWindowTitle(QStringLiteral("地震カタログを重ねる"));
  auto* form = new QFormLayout(&dialog);
  auto* magnitude = new QDoubleSpinBox(&dialog);
  magnitude->setRange(-2, 10);
  magnitude->setDecimals(1);
  magnitude->setSingleStep(0.1);
  magnitude->setValue(minMagnitude);
  auto* period = new QSpinBox(&dialog);
  period->setRange(0, 3660000);
  period->setSpecialValueText(QStringLiteral("全期間"));
  period->setSuffix(QStringLiteral(" 日"));
  period->setValue(days);
  form->addRow(QStringLiteral("最小マグニチュード:"), magnitude);
  form->addRow(QStringLiteral("予測年月日から:"), period);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("重ねる"));
  buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("キャンセル"));
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  form->addRow(buttons);
  if (dialog.exec() != QDialog::Accepted) return false;
  minMagnitude = magnitude->value();
  days = period->value();
  return true;
}

HindcastWindow::HindcastWindow(Session& session, QWidget* parent) : QDialog(parent), session_(session) {
  setWindowTitle(QStringLiteral("検証 (ハインドキャスト)"));
  auto* layout = new QVBoxLayout(this);
  auto* intro = new QLabel(QStringLiteral(
      "いまの表のチェックした噴火で、カタログの地震ごとにその日付を予測年月日として円を描き、地震の震央で円の線が"
      "何本交わっていたかを数えます。日付を入れ替えた偶然と比べます。円は予報ではありません。"), this);
  intro->setWordWrap(true);
  layout->addWidget(intro);

  auto* form = new QFormLayout;
  auto* file = new QHBoxLayout;
  catalogue_ = new QLineEdit(session_.analysis.quakeCatalogueFile, this);
  auto* choose = new QPushButton(QStringLiteral("選ぶ…"), this);
  file->addWidget(catalogue_);
  file->addWidget(choose);
  form->addRow(QStringLiteral("地震カタログ:"), file);
  auto* options = new QHBoxLayout;
  magnitude_ = new QDoubleSpinBox(this);
  magnitude_->setRange(-2, 10);
  magnitude_->setDecimals(1);
  magnitude_->setSingleStep(0.1);
  magnitude_->setValue(session_.analysis.quakes.minMagnitude);
  tolerance_ = new QDoubleSpinBox(this);
  tolerance_->setRange(0, 20000);
  tolerance_->setDecimals(0);
  tolerance_->setSuffix(QStringLiteral(" km"));
  tolerance_->setValue(session_.analysis.toleranceKm);
  permutations_ = new QSpinBox(this);
  permutations_->setRange(1, kMostPermutations);
  permutations_->setValue(kDefaultPermutations);
  seed_ = new QSpinBox(this);
  seed_->setRange(0, 2147483647);
  seed_->setValue(static_cast<int>(kDefaultSeed));
  for (const auto& [label, box] : {std::pair<QString, QWidget*>{QStringLiteral("最小マグニチュード"), magnitude_},
                                   {QStringLiteral("許容距離"), tolerance_},
                                   {QStringLiteral("日付の入れ替え回数"), permutations_},
                                   {QStringLiteral("乱数の種"), seed_}}) {
    options->addWidget(new QLabel(label, this));
    options->addWidget(box);
  }
  options->addStretch();
  form->addRow(QStringLiteral("条件:"), options);
  layout->addLayout(form);

  auto* controls = new QHBoxLayout;
  run_ = new QPushButton(QStringLiteral("検証する"), this);
  run_->setDefault(true);
  progress_ = new QProgressBar(this);
  progress_->setRange(0, 100);
  save_ = new QPushButton(QStringLiteral("結果を保存…"), this);
  save_->setEnabled(false);
  auto* close = new QPushButton(QStringLiteral("閉じる"), this);
  controls->addWidget(run_);
  controls->addWidget(progress_, 1);
  controls->addWidget(save_);
  controls->addWidget(close);
  layout->addLayout(controls);

  summary_ = new QLabel(this);
  summary_->setWordWrap(true);
  summary_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  layout->addWidget(summary_);
  auto* tabs = new QTabWidget(this);
  plot_ = new QLabel(this);
  plot_->setAlignment(Qt::AlignCenter);
  plot_->setMinimumSize(400, 285);
  plot_->setStyleSheet(QStringLiteral("background: white"));
  table_ = new QTableWidget(this);
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->verticalHeader()->setVisible(false);
  tabs->addTab(plot_, QStringLiteral("図"));
  tabs->addTab(table_, QStringLiteral("地震ごとの表"));
  layout->addWidget(tabs, 1);

  connect(choose, &QPushButton::clicked, this, &HindcastWindow::chooseCatalogue);
  connect(run_, &QPushButton::clicked, this, [this] { running() ? stop() : start(); });
  connect(save_, &QPushButton::clicked, this, [this] {
    if (result_) saveHindcastReport(session_, *result_);
  });
  connect(close, &QPushButton::clicked, this, &QDialog::close);
  resize(1100, 700);
}

HindcastWindow::~HindcastWindow() { stop(); }

void HindcastWindow::chooseCatalogue() {
  if (const std::optional<QString> path = askQuakeCatalogue(session_)) catalogue_->setText(*path);
}

void HindcastWindow::start() {
  if (running()) return;
  const QString path = catalogue_->text();
  if (path.isEmpty()) {
    warnUser(session_, QStringLiteral("地震カタログを選んでください。"));
    return;
  }
  DrawInputs inputs = hindcastInputs(session_);
  inputs.toleranceKm = tolerance_->value();
  HindcastOptions options;
  options.minMagnitude = magnitude_->value();
  options.permutations = permutations_->value();
  options.seed = static_cast<std::uint64_t>(seed_->value());
  cancel_ = std::make_shared<std::atomic<bool>>(false);
  auto cancel = cancel_;
  worker_ = QThread::create([this, path, inputs, options, cancel] {
    std::optional<Hindcast> report;
    QString error;
    const CatalogueLoad load = loadQuakeCatalogue(path);
    if (load.catalogue) {
      report = runHindcast(inputs, load.catalogue->quakes, options, [this, cancel](double done) {
        QMetaObject::invokeMethod(progress_, "setValue", Qt::QueuedConnection, Q_ARG(int, static_cast<int>(done * 100)));
        return !*cancel;
      });
    } else {
      error = load.error;
    }
    QMetaObject::invokeMethod(this, [this, report = std::move(report), error, note = load.note]() mutable {
      finished(std::move(report), error, note);
    }, Qt::QueuedConnection);
  });
  run_->setText(QStringLiteral("中止"));
  progress_->setValue(0);
  summary_->setText(QStringLiteral("検証しています…"));
  worker_->start();
}

void HindcastWindow::stop() {
  if (!worker_) return;
  *cancel_ = true;
  worker_->wait();
  delete worker_;
  worker_ = nullptr;
  run_->setText(QStringLiteral("検証する"));
}

void HindcastWindow::finished(std::optional<Hindcast> report, const QString& error, const QString& note) {
  if (worker_) {
    worker_->wait();
    delete worker_;
    worker_ = nullptr;
  }
  run_->setText(QStringLiteral("検証する"));
  if (!error.isEmpty()) {
    summary_->clear();
    progress_->setValue(0);
    warnUser(session_, error);
    return;
  }
  if (!report) {
    summary_->setText(QStringLiteral("中止しました。"));
    progress_->setValue(0);
    return;
  }
  progress_->setValue(100);
  result_ = std::move(report);
  showResult();
  if (!note.isEmpty()) summary_->setText(summary_->text() + QLatin1Char('\n') + note.section(QLatin1Char('\n'), 0, 0));
}

void HindcastWindow::showResult() {
  const Hindcast& r = *result_;
  save_->setEnabled(true);
  QString text = QString::fromStdString(hindcastSummary(r));
  if (r.offSheet) text += QStringLiteral("。図の外の地震 %1件は数えていません").arg(r.offSheet);
  summary_->setText(text + QStringLiteral("。"));
  const Sheet sheet = hindcastPlot(r);
  const QImage none;
  plotImage_ = renderSheetImage({sheet, none});
  plot_->setPixmap(QPixmap::fromImage(plotImage_.scaled(plot_->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation)));

  const QStringList header{QStringLiteral("ID"), QStringLiteral("日付 (日本時間)"), QStringLiteral("緯度"),
                           QStringLiteral("経度"), QStringLiteral("M"), QStringLiteral("最も近い円の線 (km)"),
                           QStringLiteral("最も近い交点 (km)"), QStringLiteral("支持数")};
  table_->clear();
  table_->setColumnCount(static_cast<int>(header.size()));
  table_->setHorizontalHeaderLabels(header);
  table_->setRowCount(static_cast<int>(r.quakes.size()));
  for (int row = 0; row < static_cast<int>(r.quakes.size()); ++row) {
    const HindcastQuake& q = r.quakes[static_cast<std::size_t>(row)];
    const QStringList cells{QString::fromStdString(q.quake.id), QString::fromStdString(isoDateText(q.quake.japanDate)),
                            QString::number(q.quake.latitude, 'f', 3), QString::number(q.quake.longitude, 'f', 3),
                            QString::number(q.quake.magnitude, 'f', 1), kmText(q.numbers.nearestCircleKm),
                            kmText(q.numbers.nearestCrossingKm), QString::number(q.numbers.support)};
    for (int c = 0; c < static_cast<int>(cells.size()); ++c) {
      auto* item = new QTableWidgetItem(cells[c]);
      if (c >= 2) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      table_->setItem(row, c, item);
    }
  }
  table_->resizeColumnsToContents();
}

void HindcastWindow::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  if (!plotImage_.isNull()) {
    plot_->setPixmap(QPixmap::fromImage(plotImage_.scaled(plot_->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation)));
  }
}

void HindcastWindow::closeEvent(QCloseEvent* event) {
  stop();
  QDialog::closeEvent(event);
}

}  // namespace eq
