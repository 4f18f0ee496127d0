#pragma once
// 交点一覧: the last Draw's crossing points as a table, best supported first, with a
// button that copies them as tab-separated text. It shows the session; a new Draw
// refreshes it.

#include <QDialog>

class QLabel;
class QTableWidget;

namespace eq {

class Session;

class CrossingsWindow : public QDialog {
  Q_OBJECT
 public:
  CrossingsWindow(Session& session, QWidget* parent);

  void refresh();
  QTableWidget* table() const { return table_; }

 private:
  Session& session_;
  QLabel* summary_{};
  QTableWidget* table_{};
};

}  // namespace eq
