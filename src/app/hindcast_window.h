#pragma once
// 検証…: the hindcast of the current table against a catalogue the user chooses. The
// work runs on a thread of its own with a progress bar that can stop it, so the main
// window stays responsive; the result shows as the picture and as a table of quakes,
// and can be saved as JSON, CSV, PNG or SVG.

#include "quakes/hindcast.h"

#include <QDialog>
#include <atomic>
#include <memory>
#include <optional>

class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QTableWidget;
class QThread;

namespace eq {

class Session;

// The overlay's options after its file dialog: the least magnitude and the days after
// the prediction date (0: every quake); false when cancelled.
bool askQuakeOptions(QWidget* parent, double& minMagnitude, int& days);

class HindcastWindow : public QDialog {
  Q_OBJECT
 public:
  HindcastWindow(Session& session, QWidget* parent);
  ~HindcastWindow() override;

  // Starts the hindcast of the table as it is now; does nothing while one runs.
  void start();
  bool running() const { return worker_ != nullptr; }
  const std::optional<Hindcast>& result() const { return result_; }

  QLineEdit* catalogueBox() const { return catalogue_; }
  QTableWidget* table() const { return table_; }
  QLabel* plot() const { return plot_; }
  QLabel* summary() const { return summary_; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void chooseCatalogue();
  void finished(std::optional<Hindcast> report, const QString& error, const QString& note);
  void showResult();
  void stop();

  Session& session_;
  QLineEdit* catalogue_{};
  QDoubleSpinBox* magnitude_{};
  QDoubleSpinBox* tolerance_{};
  QSpinBox* permutations_{};
  QSpinBox* seed_{};
  QPushButton* run_{};
  QPushButton* save_{};
  QProgressBar* progress_{};
  QLabel* summary_{};
  QLabel* plot_{};
  QTableWidget* table_{};
  QImage plotImage_;

  QThread* worker_{};
  std::shared_ptr<std::atomic<bool>> cancel_;
  std::optional<Hindcast> result_;
};

}  // namespace eq
