// The help labels of the main window as state machines, driven by clicks from
// start-up: the usage panel (closed / description / steps), the resolution note
// and the background-map marker.

#include "app/form1.h"
#include "app/scripted_platform.h"

#include <QFontMetrics>
#include <QtTest>
#include <memory>

using namespace eq;

namespace {

void click(QWidget* widget) { QTest::mouseClick(widget, Qt::LeftButton, {}, widget->rect().center()); }

// The usage panel's state, read from which of Label25 ... Label29 are visible.
QString panelState(const Form1& form) {
  const bool description = form.Label25->isVisible();
  const bool steps[] = {form.Label26->isVisible(), form.Label27->isVisible(), form.Label28->isVisible(),
                        form.Label29->isVisible()};
  const bool allSteps = steps[0] && steps[1] && steps[2] && steps[3];
  const bool noSteps = !steps[0] && !steps[1] && !steps[2] && !steps[3];
  if (!description && noSteps) return QStringLiteral("closed");
  if (description && noSteps) return QStringLiteral("description");
  if (!description && allSteps) return QStringLiteral("steps");
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
  void backgroundMapMarker_data();
  void backgroundMapMarker();
  void markerFollowsTheSetting();
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
    QTest::newRow(qPrintable(QStringLiteral("steps, %1").arg(QLatin1String(step)))) << steps << "steps" << step
                                                                                  << "closed";
}

void TestHelpPanels::usagePanel() {
  QFETCH(QStringList, reach);
  QFETCH(QString, from);
  QFETCH(QString, clicked);
  QFETCH(QString, to);
  ScriptedPlatform platform;
  Form1 form(platform);
  form.Label24->setObjectName("Label24");
  form.Label25->setObjectName("Label25");
  form.Label26->setObjectName("Label26");
  form.Label27->setObjectName("Label27");
  form.Label28->setObjectName("Label28");
  form.Label29->setObjectName("Label29");
  form.Form_Load();
  for (const QString& name : reach) click(label(form, name));
  QCOMPARE(panelState(form), from);
  QVERIFY(label(form, clicked)->isVisible());

  click(label(form, clicked));

  QCOMPARE(panelState(form), to);
  // The description and the steps share one place under 使い方.
  QCOMPARE(form.Label25->geometry().topLeft(), form.Label26->geometry().topLeft());
  QVERIFY(platform.messages.empty());
}

void TestHelpPanels::resolutionNote() {
  ScriptedPlatform platform;
  Form1 form(platform);
  form.Form_Load();
  const auto state = [&] {
    if (form.Label30->isVisible() && !form.Label31->isVisible()) return QStringLiteral("marker");
    if (!form.Label30->isVisible() && form.Label31->isVisible()) return QStringLiteral("note");
    return QStringLiteral("mixed");
  };
  QCOMPARE(state(), QStringLiteral("marker"));
  click(form.Label30);
  QCOMPARE(state(), QStringLiteral("note"));
  QCOMPARE(form.Label31->text(), QStringLiteral("解像度1680×1050以上で使用してください"));
  click(form.Label31);
  QCOMPARE(state(), QStringLiteral("marker"));
  click(form.Label30);
  QCOMPARE(state(), QStringLiteral("note"));
}

void TestHelpPanels::backgroundMapMarker_data() {
  QTest::addColumn<int>("flag");
  QTest::addColumn<bool>("command7");
  QTest::addColumn<bool>("command8");
  QTest::newRow("map on: offers 背景地図非表示") << 1 << false << true;
  QTest::newRow("map off: offers 背景地図　表示") << 0 << true << false;
}

void TestHelpPanels::backgroundMapMarker() {
  QFETCH(int, flag);
  QFETCH(bool, command7);
  QFETCH(bool, command8);
  ScriptedPlatform platform;
  Form1 form(platform);
  form.Form_Load();
  QVERIFY(form.Label32->isVisible());
  QVERIFY(!form.Command7->isVisible() && !form.Command8->isVisible());
  form.ShowBackgroundMap = int16_t(flag);

  click(form.Label32);

  QCOMPARE(form.Command7->isVisible(), command7);
  QCOMPARE(form.Command8->isVisible(), command8);
  QVERIFY(!form.Label32->isVisible());
  QCOMPARE(int(form.ShowBackgroundMap), flag);
  QVERIFY(platform.messages.empty());
}

void TestHelpPanels::markerFollowsTheSetting() {
  // From start-up the map is on; switching it off makes the marker offer it back.
  ScriptedPlatform platform;
  platform.messageAnswers = {MessageAnswer::Yes, MessageAnswer::Yes};
  Form1 form(platform);
  form.Form_Load();
  click(form.Label32);
  QVERIFY(form.Command8->isVisible());
  click(form.Command8);
  QCOMPARE(int(form.ShowBackgroundMap), 0);
  QVERIFY(form.Label32->isVisible());
  click(form.Label32);
  QVERIFY(form.Command7->isVisible());
  QVERIFY(!form.Command8->isVisible());
  click(form.Command7);
  QCOMPARE(int(form.ShowBackgroundMap), 1);
  click(form.Label32);
  QVERIFY(form.Command8->isVisible());
}

void TestHelpPanels::helpTextsWrapInsideTheirLabels_data() {
  QTest::addColumn<int>("index");
  for (int i = 25; i <= 29; ++i) QTest::newRow(qPrintable(QStringLiteral("Label%1").arg(i))) << i;
}

void TestHelpPanels::helpTextsWrapInsideTheirLabels() {
  QFETCH(int, index);
  ScriptedPlatform platform;
  Form1 form(platform);
  form.Form_Load();
  ClickLabel* const labels[] = {form.Label25, form.Label26, form.Label27, form.Label28, form.Label29};
  ClickLabel* const help = labels[index - 25];
  const QRect box = help->contentsRect();
  const QRect needed = QFontMetrics(help->font()).boundingRect(
      box, Qt::TextWordWrap | int(help->alignment()), help->text());
  QVERIFY2(needed.width() <= box.width() && needed.height() <= box.height(),
           qPrintable(QStringLiteral("%1x%2 needed in %3x%4")
                          .arg(needed.width()).arg(needed.height()).arg(box.width()).arg(box.height())));
  if (index == 25 || index == 26) QVERIFY(help->wordWrap());
}

QTEST_MAIN(TestHelpPanels)
#include "tst_help_panels.moc"
