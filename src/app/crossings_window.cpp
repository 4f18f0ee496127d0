#include "app/crossings_window.h"

#include "session/analysis_commands.h"
#include "session/session.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace eq {

CrossingsWindow::CrossingsWindow(Session& session, QWidget* parent) : QDialog(parent), session_(session) {
  setWindowTitle(QStringLiteral("交点一覧"));
  auto* layout = new QVBoxLayout(this);
  summary_ = new QLabel(this);
  summary_->setWordWrap(true);
  layout->addWidget(summary_);
  table_ = new QTableWidget(this);
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->verticalHeader()->setVisible(false);
  layout->addWidget(table_);
  auto* buttons = new QDialogButtonBox(this);
  QPushButton* copy = buttons->addButton(QStringLiteral("タブ区切りでコピー"), QDialogButtonBox::ActionRole);
  QPushButton* close = buttons->addButton(QStringLiteral("閉じる"), QDialogButtonBox::RejectRole);
  connect(copy, &QPushButton::clicked, this, [this] { copyCrossingList(session_); });
  connect(close, &QPushButton::clicked, this, &QDialog::close);
  layout->addWidget(buttons);
  resize(720, 420);
  refresh();
}

void CrossingsWindow::refresh() {
  const std::vector<CrossingLine> lines = crossingList(session_);
  const QStringList header = crossingListHeader();
  table_->clear();
  table_->setColumnCount(static_cast<int>(header.size()));
  table_->setHorizontalHeaderLabels(header);
  table_->setRowCount(static_cast<int>(lines.size()));
  for (int r = 0; r < static_cast<int>(lines.size()); ++r) {
    const QStringList& cells = lines[static_cast<std::size_t>(r)].cells;
    for (int c = 0; c < static_cast<int>(cells.size()); ++c) {
      auto* item = new QTableWidgetItem(cells[c]);
      if (c != 1 && c != 3) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      table_->setItem(r, c, item);
    }
  }
  table_->resizeColumnsToContents();
  summary_->setText(
      lines.empty()
          ? QStringLiteral("交わる円はありません（描画した円が二つ以上あり、互いに交わるか接するときに交点ができます）。")
          : QStringLiteral("描画した円の交点 %1 個。支持数は、その点で交わる二つの円に、点から %2 km 以内を通る"
                           "ほかの円の数を加えたものです。多くの円が集まる場所を示すだけで、地震を予知するものではありません。")
                .arg(lines.size())
                .arg(session_.analysis.toleranceKm));
}

}  // namespace eq
