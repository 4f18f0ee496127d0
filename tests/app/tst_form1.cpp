// The main window: controls, captions, start-up state, focus order, the table
// commands driven by clicks, and the shared procedures' failure paths.

#include "common/form_fixture.h"
#include "map/picture_box.h"

#include <QtTest>
#include <memory>

namespace eq {

using namespace test;

class TestForm1 : public QObject {
  Q_OBJECT
 private slots:
  void init() { fx = std::make_unique<FormFixture>(); }
  void cleanup() { fx.reset(); }

  void captions_data();
  void captions();
  void geometry_data();
  void geometry();
  void windowTitleSizeAndCentre();
  void startUpVisibility_data();
  void startUpVisibility();
  void startUpState();
  void appearance();
  void focusOrder();

  void clearCommandRestoresStartUpTable();
  void selectAllTicksOnlyUsableRows();
  void failedProceduresKeepTheirResults();
  void closingEndsReferenceWindow();

 private:
  QWidget* control(const QString& name) const { return fx->form.findChild<QWidget*>(name); }

  std::unique_ptr<FormFixture> fx;
};

void TestForm1::captions_data() {
  QTest::addColumn<QString>("name");
  QTest::addColumn<QString>("caption");
  const QString w = QStringLiteral("\u3000");  // ideographic space
  const QList<QPair<QString, QString>> captions{
      {"Command1", "噴火データファイルを開く"}, {"Command2", "噴火データ保存"}, {"Command3", "印刷"},
      {"Command4", "描画する"}, {"Command5", "噴火データクリヤ"}, {"Command6", "描画クリヤ"},
      {"Command7", "背景地図" + w + "表示"}, {"Command8", "背景地図非表示"}, {"Command9", "タイトルコメント"},
      {"Label1", "噴火データ"}, {"Label2", "No."}, {"Label3", "火山名"},
      {"Label4", "噴火年" + w + "  " + w + "月 " + w + w + w + "日"}, {"Label5", "北緯" + w + " " + w + w + "東経"},
      {"Label10", "5"}, {"Label15", "10"}, {"Label16", "地震予測年"}, {"Label17", "年"},
      {"Label20", "噴火データの中に、地震予測年より未来のデータがあります。計算対象から除外しました。"},
      {"Label21", "描画データ数 "},  // with its trailing blank
      {"Label22", "(データの直接入力可)"}, {"Label23", ""}, {"Label24", "使い方"},
      {"Label26", "(1)噴火データをテキストボックスに直接入力する、あるいは作成済み噴火データファイルを開く。" +
                      w + w + w + w},
      {"Label29", "(4)「描画する」ボタンをクリックする。"}, {"Label30", "!"},
      {"Label31", "解像度1680×1050以上で使用してください"}, {"Label33", "引用文献"}, {"Label34", "(°)"},
      {"Label36", "すべて選択"}, {"Label37", ""}};
  for (const auto& [name, caption] : captions) QTest::newRow(qPrintable(name)) << name << caption;
}

void TestForm1::captions() {
  QFETCH(QString, name);
  QFETCH(QString, caption);
  QWidget* widget = control(name);
  QVERIFY(widget);
  if (auto* label = qobject_cast<QLabel*>(widget)) QCOMPARE(label->text(), caption);
  else QCOMPARE(qobject_cast<QPushButton*>(widget)->text(), caption);
}

// Pixel rectangles at 15 twips per pixel, worked out by hand from the twips.
void TestForm1::geometry_data() {
  QTest::addColumn<QString>("name");
  QTest::addColumn<QRect>("pixels");
  const QList<QPair<QString, QRect>> rects{
      {"Picture1", {453, 60, 1200, 853}}, {"Command1", {240, 96, 161, 33}}, {"Command4", {66, 712, 105, 33}},
      {"Command3", {206, 711, 80, 34}}, {"Command9", {619, 15, 87, 33}},
      // Both background-map buttons lie under the marker Label32.
      {"Command7", {25, 50, 102, 24}}, {"Command8", {25, 50, 102, 24}}, {"Label32", {25, 50, 20, 18}},
      {"TextEQ(1)", {64, 192, 121, 25}}, {"TextEQ(6)", {384, 192, 49, 25}}, {"TextEQ(55)", {64, 552, 121, 25}},
      {"TextEQ(21)", {248, 312, 33, 25}}, {"TextEQ(61)", {192, 664, 73, 25}}, {"TextEQ(63)", {336, 664, 41, 25}},
      {"CheckEQ(1)", {16, 197, 11, 12}}, {"CheckEQ(10)", {17, 557, 12, 13}},
      {"Label29", {88, 898, 217, 25}},  // moved by start-up
      {"Label20", {112, 768, 233, 25}}};
  for (const auto& [name, rect] : rects) QTest::newRow(qPrintable(name)) << name << rect;
}

void TestForm1::geometry() {
  QFETCH(QString, name);
  QFETCH(QRect, pixels);
  QWidget* widget = control(name);
  QVERIFY(widget);
  QCOMPARE(widget->geometry(), pixels);
}

void TestForm1::windowTitleSizeAndCentre() {
  QCOMPARE(fx->form.windowTitle(), QStringLiteral("地震サークル(噴火が前兆となる地震)"));
  QCOMPARE(fx->form.frameGeometry().size(), QSize(1680, 1007));  // 25200 x 15100 twips
  QVERIFY(isCentred(&fx->form));
}

void TestForm1::startUpVisibility_data() {
  QTest::addColumn<QString>("name");
  QTest::addColumn<bool>("visible");
  for (const char* hidden :
       {"Label20", "Label21", "Label25", "Label26", "Label27", "Label28", "Label29", "Label31", "Command7", "Command8"})
    QTest::newRow(hidden) << hidden << false;
  for (const char* shown : {"Label24", "Label33", "Label36", "Label30", "Label32", "Label37", "Label23", "Command1",
                            "Command4", "Command9", "Picture1", "TextEQ(63)", "CheckEQ(10)"})
    QTest::newRow(shown) << shown << true;
}

void TestForm1::startUpVisibility() {
  QFETCH(QString, name);
  QFETCH(bool, visible);
  QCOMPARE(control(name)->isVisible(), visible);
}

void TestForm1::startUpState() {
  const Form1& form = fx->form;
  QCOMPARE(form.DrawnCount, int16_t{0});
  QCOMPARE(form.ShowBackgroundMap, int16_t{1});
  QVERIFY(form.TitleComment.isEmpty());
  QVERIFY(form.existingForm2() && !form.existingForm2()->isVisible());
  for (int i = 1; i <= 63; ++i) QVERIFY(form.TextEQ(i)->text().isEmpty());
  QCOMPARE(rowLooks(form), QStringList(kRowCount, "usable"));
  QCOMPARE(ticks(form), QList<bool>(kRowCount, false));
  for (int i = 61; i <= 63; ++i) QVERIFY(form.TextEQ(i)->isEnabled() && backColor(form.TextEQ(i)) == kUsableBack);
  QVERIFY(form.Picture1->sheet().isEmpty());
  QCOMPARE(form.focusWidget(), static_cast<QWidget*>(form.Picture1));
}

void TestForm1::appearance() {
  const Form1& form = fx->form;
  const auto back = [](QWidget* w) { return w->palette().color(QPalette::Window); };
  const auto fore = [](QWidget* w) { return w->palette().color(QPalette::WindowText); };
  QCOMPARE(back(form.Label1), QColor(192, 192, 255));
  QVERIFY(form.Label1->autoFillBackground());
  QCOMPARE(back(form.Label36), QColor(128, 128, 255));
  QCOMPARE(back(form.Label20), QColor(255, 192, 255));
  QCOMPARE(back(form.Label24), QColor(255, 192, 128));
  QCOMPARE(back(form.Label33), QColor(128, 255, 255));
  QCOMPARE(back(form.Label30), QColor(192, 192, 0));
  QCOMPARE(back(form.Label32), QColor(255, 128, 255));
  QCOMPARE(fore(form.Label23), QColor(0, 0, 255));
  QCOMPARE(fore(form.Label37), QColor(255, 0, 0));
  QCOMPARE(form.Label21->font().pointSizeF(), 9.75);
  QCOMPARE(form.Label36->font().pointSizeF(), 6.75);
  QCOMPARE(form.Label34->font().pointSizeF(), 8.25);
  QVERIFY(form.Label30->font().bold());
  QCOMPARE(form.Label30->font().pointSizeF(), 14.25);
  QVERIFY(form.Label30->font().families().contains(QStringLiteral("ＭＳ Ｐゴシック")));
  QVERIFY(form.Label2->alignment() & Qt::AlignHCenter);
  QVERIFY(form.Label4->alignment() & Qt::AlignLeft);
  QVERIFY(form.Label20->alignment() & Qt::AlignLeft);
  // Long captions wrap inside their rectangles; the headings stay on one line.
  QVERIFY(form.Label20->wordWrap() && form.Label25->wordWrap() && form.Label26->wordWrap());
  QVERIFY(!form.Label4->wordWrap());
}

void TestForm1::focusOrder() {
  const Form1& form = fx->form;
  QList<QWidget*> expected{form.Picture1, form.Command1, form.Command2};
  for (int row = 1; row <= 10; ++row) {
    expected << form.CheckEQ(row);
    for (int f = 1; f <= 6; ++f) expected << form.TextEQ(fieldIndex(row, f));
  }
  expected << form.TextEQ(61) << form.TextEQ(62) << form.TextEQ(63) << form.Command4 << form.Command5
           << form.Command6 << form.Command3 << form.Command7 << form.Command8 << form.Command9;
  QList<QWidget*> chain;
  QWidget* w = form.Picture1;
  do {
    if (w->focusPolicy() & Qt::TabFocus) chain << w;
    w = w->nextInFocusChain();
  } while (w != form.Picture1 && chain.size() <= expected.size());
  QCOMPARE(chain, expected);
  for (QLabel* label : form.findChildren<QLabel*>()) QVERIFY(!(label->focusPolicy() & Qt::TabFocus));
}

void TestForm1::clearCommandRestoresStartUpTable() {
  Form1& form = fx->form;
  for (int row = 1; row <= 10; ++row) fillRow(form, row, {"山" + QString::number(row), "2000", "1", "2", "35", "139"});
  setPredictionDate(form, "2024", "5", "1");
  form.CheckEQ(2)->setChecked(true);
  form.CheckEQ(7)->setChecked(true);
  excludeRow(form, 7);
  form.Label20->setVisible(true);
  form.Label23->setText("file.txt");
  form.EruptionYear[3] = 1914;

  click(form.Command5);

  for (int row = 1; row <= 10; ++row) QCOMPARE(rowTexts(form, row), QStringList(6, QString()));
  QCOMPARE(ticks(form), QList<bool>(kRowCount, false));
  QCOMPARE(rowLooks(form), QStringList(kRowCount, "usable"));
  QCOMPARE(form.RowBaseIndex, int16_t{61});
  // What the clear leaves alone.
  QCOMPARE(QStringList({form.TextEQ(61)->text(), form.TextEQ(62)->text(), form.TextEQ(63)->text()}),
           QStringList({"2024", "5", "1"}));
  QVERIFY(form.Label20->isVisible());
  QCOMPARE(form.Label23->text(), QStringLiteral("file.txt"));
  QCOMPARE(form.EruptionYear[3], 1914.0f);
  QVERIFY(fx->platform.messages.empty());
}

void TestForm1::selectAllTicksOnlyUsableRows() {
  Form1& form = fx->form;
  form.CheckEQ(3)->setChecked(true);
  excludeRow(form, 3);  // excluded and ticked
  excludeRow(form, 5);  // excluded and unticked
  click(form.Label36);
  click(form.Label36);  // twice is once
  QList<bool> expected(kRowCount, true);
  expected[4] = false;
  QCOMPARE(ticks(form), expected);
  QCOMPARE(rowLook(form, 3), QStringLiteral("excluded"));
  QCOMPARE(rowLook(form, 5), QStringLiteral("excluded"));
  // Clicking near the label but outside it does nothing.
  form.CheckEQ(1)->setChecked(false);
  QTest::mouseClick(form.Label36, Qt::LeftButton, {}, QPoint(-3, -3));
  QVERIFY(!form.CheckEQ(1)->isChecked());
}

// JulianDay writes month 0 back as 7; a step that fails leaves the earlier result.
void TestForm1::failedProceduresKeepTheirResults() {
  Form1& form = fx->form;
  form.CalcYear = 2000;
  form.CalcMonth = 0;
  form.CalcDay = 0;
  QVERIFY(form.JulianDay());
  QCOMPARE(form.CalcMonth, 7.0);
  QVERIFY(std::fabs(form.DayNumber - 51738.95) < 1e-6);  // 2000-7-0
  const double dayNumber = form.DayNumber;
  form.CalcYear = std::numeric_limits<double>::max();
  form.CalcMonth = 1;
  QVERIFY(!form.JulianDay());
  QCOMPARE(form.DayNumber, dayNumber);

  form.PredictionDayNumber = 60322.41 + 365.25;
  form.EruptionDayNumber = 60322.41;
  QVERIFY(form.PlotRadius());
  QVERIFY(std::fabs(form.RadiusKm - 438.4195) < 1e-4);
  form.EruptionDayNumber = form.PredictionDayNumber;
  QVERIFY(!form.PlotRadius());
  QVERIFY(std::fabs(form.RadiusKm - 438.4195) < 1e-4);
}

void TestForm1::closingEndsReferenceWindow() {
  QPointer<Form2> second = fx->form.existingForm2();
  QVERIFY(second);
  fx->form.close();
  QVERIFY(second.isNull());
}

}  // namespace eq

QTEST_MAIN(eq::TestForm1)
#include "tst_form1.moc"
