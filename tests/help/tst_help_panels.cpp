// The help labels of the main window as state machines, driven by clicks from
// start-up: the usage panel (closed / description / steps) and the resolution note.
// The background-map marker is tested with the map buttons it offers.

#include "common/form_fixture.h"

#include <QFontMetrics>
#include <QtTest>

using namespace eq;
using namespace eq::test;

namespace {

// The usage panel's state, read from which of Label25 ... Label29 are visible.
QString panelState(const Form1& form) {
  const bool description = form.Label25->isVisible();
  const int steps = form.Label26->isVisible() + form.Label27->isVisible() + form.Label28->isVisible() +
                    form.Label29->isVisible();
  if (!description && steps == 0) return QStringLiteral("closed");
  if (description && steps == 0) return QStringLiteral("description");
  if (!description && steps == 4) return QStringLiteral("steps");
  return QStringLiteral("mixed");
}

ClickLabel* label(Form1& form, const QString& name) { return form.findChild<ClickLabel*>(name); }

}  // namespace

class TestHelpPanels : public QObject {
  Q_OBJECT
 private slots:
  void usagePanel_data();
  void usagePanel();
  void resolutionNote();
  void helpTextsWrapInsideTheirLabels_data();
  void helpTextsWrapInsideTheirLabels();
};

void TestHelpPanels::usagePanel_data() {
  QTest::addColumn<QStringList>("reach");  // labels clicked from start-up to reach the state
  QTest::addColumn<QString>("from");
  QTest::addColumn<QString>("clicked");
  QTest::addColumn<QString>("to");
  const QStringList closed;
  const QStringList description{"Label24"};
  const QStringList steps{"Label24", "Label25"};
  QTest::newRow("closed, 使い方") << closed << "closed" << "Label24" << "description";
  QTest::newRow("description, 使い方") << description << "description" << "Label24" << "description";
  QTest::newRow("steps, 使い方") << steps << "steps" << "Label24" << "description";
  QTest::newRow("description, description") << description << "description" << "Label25" << "steps";
  for (const char* step : {"Label26", "Label27", "Label28", "Label29"})
    QTest::addRow("steps, %s", step) << steps << "steps" << step << "closed";
}

void TestHelpPanels::usagePanel() {
  QFETCH(QStringList, reach);
  QFETCH(QString, from);
  QFETCH(QString, clicked);
  QFETCH(QString, to);
  FormFixture fx;
  for (const QString& name : reach) click(label(fx.form, name));
  QCOMPARE(panelState(fx.form), from);
  QVERIFY(label(fx.form, clicked)->isVisible());

  click(label(fx.form, clicked));

  QCOMPARE(panelState(fx.form), to);
  // The description and the steps share one place under 使い方.
  QCOMPARE(fx.form.Label25->geometry().topLeft(), fx.form.Label26->geometry().topLeft());
  QVERIFY(fx.platform.messages.empty());
}

void TestHelpPanels::resolutionNote() {
  FormFixture fx;
  const Form1& form = fx.form;
  const auto state = [&] {
    if (form.Label30->isVisible() && !form.Label31->isVisible()) return QStringLiteral("marker");
    if (!form.Label30->isVisible() && form.Label31->isVisible()) return QStringLiteral("note");
    return QStringLiteral("mixed");
  };
  QCOMPARE(state(), QStringLiteral("marker"));
  click(form.Label30);
  QCOMPARE(state(), QStringLiteral("note"));
  click(form.Label31);
  QCOMPARE(state(), QStringLiteral("marker"));
  click(form.Label30);
  QCOMPARE(state(), QStringLiteral("note"));
}

void TestHelpPanels::helpTextsWrapInsideTheirLabels_data() {
  QTest::addColumn<QString>("name");
  for (int i = 25; i <= 29; ++i) QTest::addRow("Label%d", i) << QStringLiteral("Label%1").arg(i);
}

void TestHelpPanels::helpTextsWrapInsideTheirLabels() {
  QFETCH(QString, name);
  FormFixture fx;
  ClickLabel* const help = label(fx.form, name);
  const QRect box = help->contentsRect();
  const QRect needed =
      QFontMetrics(help->font()).boundingRect(box, Qt::TextWordWrap | int(help->alignment()), help->text());
  QVERIFY2(needed.width() <= box.width() && needed.height() <= box.height(),
           qPrintable(QStringLiteral("%1x%2 needed in %3x%4")
                          .arg(needed.width()).arg(needed.height()).arg(box.width()).arg(box.height())));
}

QTEST_MAIN(TestHelpPanels)
#include "tst_help_panels.moc"
