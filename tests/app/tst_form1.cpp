// The main window: controls, captions, start-up state, focus order, the table
// commands driven by clicks, and the three shared procedures.

#include "app/eruption_table.h"
#include "app/form1.h"
#include "app/scripted_platform.h"
#include "map/picture_box.h"

#include <QScreen>
#include <QtTest>
#include <cmath>
#include <memory>

namespace eq {

class TestForm1 : public QObject {
  Q_OBJECT
 private slots:
  void init();
  void cleanup();

  void captions_data();
  void captions();
  void geometry_data();
  void geometry();
  void windowSizeAndCentre();
  void startUpVisibility_data();
  void startUpVisibility();
  void startUpState();
  void appearance();
  void focusOrder();

  void clearCommandRestoresStartUpTable();
  void selectAllTicksOnlyUsableRows();
  void selectAllTwiceIsOnce();

  void julianDayMonthZero();
  void plotRadiusFailureKeepsRadius();
  void plotXY();
  void closingEndsReferenceWindow();

 private:
  QWidget* control(const char* name) const { return form->findChild<QWidget*>(QString::fromLatin1(name)); }
  void fillRow(int row, const QStringList& fields);

  std::unique_ptr<ScriptedPlatform> platform;
  std::unique_ptr<Form1> form;
};

void TestForm1::init() {
  platform = std::make_unique<ScriptedPlatform>();
  form = std::make_unique<Form1>(*platform);
  form->Form_Load();
}

void TestForm1::cleanup() {
  form.reset();
  platform.reset();
}

void TestForm1::fillRow(int row, const QStringList& fields) {
  for (int f = 0; f < 6; ++f) form->TextEQ(fieldIndex(row, f + 1))->setText(fields.value(f));
}

void TestForm1::captions_data() {
  QTest::addColumn<QString>("name");
  QTest::addColumn<QString>("caption");
  const QString w = QStringLiteral("\u3000");  // ideographic space
  QTest::newRow("Command1") << "Command1" << "噴火データファイルを開く";
  QTest::newRow("Command2") << "Command2" << "噴火データ保存";
  QTest::newRow("Command3") << "Command3" << "印刷";
  QTest::newRow("Command4") << "Command4" << "描画する";
  QTest::newRow("Command5") << "Command5" << "噴火データクリヤ";
  QTest::newRow("Command6") << "Command6" << "描画クリヤ";
  QTest::newRow("Command7") << "Command7" << "背景地図" + w + "表示";
  QTest::newRow("Command8") << "Command8" << "背景地図非表示";
  QTest::newRow("Command9") << "Command9" << "タイトルコメント";
  QTest::newRow("Label1") << "Label1" << "噴火データ";
  QTest::newRow("Label2") << "Label2" << "No.";
  QTest::newRow("Label3") << "Label3" << "火山名";
  QTest::newRow("Label4") << "Label4" << "噴火年" + w + "  " + w + "月 " + w + w + w + "日";
  QTest::newRow("Label5") << "Label5" << "北緯" + w + " " + w + w + "東経";
  QTest::newRow("Label10") << "Label10" << "5";
  QTest::newRow("Label15") << "Label15" << "10";
  QTest::newRow("Label16") << "Label16" << "地震予測年";
  QTest::newRow("Label17") << "Label17" << "年";
  QTest::newRow("Label20") << "Label20"
                           << "噴火データの中に、地震予測年より未来のデータがあります。計算対象から除外しました。";
  QTest::newRow("Label21 has its trailing blank") << "Label21" << "描画データ数 ";
  QTest::newRow("Label22") << "Label22" << "(データの直接入力可)";
  QTest::newRow("Label23 is cleared") << "Label23" << "";
  QTest::newRow("Label24") << "Label24" << "使い方";
  QTest::newRow("Label26 ends in four ideographic spaces")
      << "Label26" << "(1)噴火データをテキストボックスに直接入力する、あるいは作成済み噴火データファイルを開く。" + w + w +
                          w + w;
  QTest::newRow("Label29") << "Label29" << "(4)「描画する」ボタンをクリックする。";
  QTest::newRow("Label30") << "Label30" << "!";
  QTest::newRow("Label31") << "Label31" << "解像度1680×1050以上で使用してください";
  QTest::newRow("Label33") << "Label33" << "引用文献";
  QTest::newRow("Label34") << "Label34" << "(°)";
  QTest::newRow("Label36") << "Label36" << "すべて選択";
  QTest::newRow("Label37") << "Label37" << "";
}

void TestForm1::captions() {
  QFETCH(QString, name);
  QFETCH(QString, caption);
  QWidget* widget = control(name.toLatin1().constData());
  QVERIFY(widget);
  if (auto* label = qobject_cast<QLabel*>(widget)) QCOMPARE(label->text(), caption);
  else QCOMPARE(qobject_cast<QPushButton*>(widget)->text(), caption);
}

// Pixel rectangles at 15 twips per pixel, worked out by hand from the twips.
void TestForm1::geometry_data() {
  QTest::addColumn<QString>("name");
  QTest::addColumn<QRect>("pixels");
  QTest::newRow("Picture1") << "Picture1" << QRect(453, 60, 1200, 853);
  QTest::newRow("Command1") << "Command1" << QRect(240, 96, 161, 33);
  QTest::newRow("Command4") << "Command4" << QRect(66, 712, 105, 33);
  QTest::newRow("Command3") << "Command3" << QRect(206, 711, 80, 34);
  QTest::newRow("Command9") << "Command9" << QRect(619, 15, 87, 33);
  QTest::newRow("Command7 under the marker") << "Command7" << QRect(25, 50, 102, 24);
  QTest::newRow("Command8 under the marker") << "Command8" << QRect(25, 50, 102, 24);
  QTest::newRow("Label32 marker") << "Label32" << QRect(25, 50, 20, 18);
  QTest::newRow("row 1 name") << "TextEQ(1)" << QRect(64, 192, 121, 25);
  QTest::newRow("row 1 longitude") << "TextEQ(6)" << QRect(384, 192, 49, 25);
  QTest::newRow("row 10 name") << "TextEQ(55)" << QRect(64, 552, 121, 25);
  QTest::newRow("row 4 month") << "TextEQ(21)" << QRect(248, 312, 33, 25);
  QTest::newRow("prediction year") << "TextEQ(61)" << QRect(192, 664, 73, 25);
  QTest::newRow("prediction day") << "TextEQ(63)" << QRect(336, 664, 41, 25);
  QTest::newRow("check 1") << "CheckEQ(1)" << QRect(16, 197, 11, 12);
  QTest::newRow("check 10") << "CheckEQ(10)" << QRect(17, 557, 12, 13);
  QTest::newRow("help step 4 moved by start-up") << "Label29" << QRect(88, 898, 217, 25);
  QTest::newRow("Label20") << "Label20" << QRect(112, 768, 233, 25);
}

void TestForm1::geometry() {
  QFETCH(QString, name);
  QFETCH(QRect, pixels);
  QWidget* widget = control(name.toLatin1().constData());
  QVERIFY(widget);
  QCOMPARE(widget->geometry(), pixels);
}

void TestForm1::windowSizeAndCentre() {
  QCOMPARE(form->windowTitle(), QStringLiteral("地震サークル(噴火が前兆となる地震)"));
  QCOMPARE(form->frameGeometry().size(), QSize(1680, 1007));  // 25200 x 15100 twips
  // Centred even when the screen is smaller than the window: the position may be negative.
  const QRect screen = form->screen()->geometry();
  const double left = (screen.width() * 15.0 - 1680 * 15.0) / 2 / 15;
  const double top = (screen.height() * 15.0 - 1007 * 15.0) / 2 / 15;
  QCOMPARE(form->frameGeometry().left(), screen.left() + static_cast<int>(std::lround(left)));
  QCOMPARE(form->frameGeometry().top(), screen.top() + static_cast<int>(std::lround(top)));
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
  QCOMPARE(control(name.toLatin1().constData())->isVisible(), visible);
}

void TestForm1::startUpState() {
  QCOMPARE(form->DrawnCount, int16_t{0});
  QCOMPARE(form->ShowBackgroundMap, int16_t{1});
  QVERIFY(form->TitleComment.isEmpty());
  QVERIFY(form->existingForm2() != nullptr);
  QVERIFY(!form->existingForm2()->isVisible());
  for (int i = 1; i <= 63; ++i) {
    QVERIFY(form->TextEQ(i)->text().isEmpty());
    QVERIFY(form->TextEQ(i)->isEnabled());
    QCOMPARE(backColor(form->TextEQ(i)), QColor(255, 255, 255));
  }
  for (int row = 1; row <= 10; ++row) {
    QVERIFY(!form->CheckEQ(row)->isChecked());
    QVERIFY(form->CheckEQ(row)->isEnabled());
    QCOMPARE(form->EruptionYear[row], 0.0f);
    QVERIFY(form->VolcanoName[row].isEmpty());
  }
  QVERIFY(form->Picture1->sheet().isEmpty());
  QCOMPARE(form->focusWidget(), static_cast<QWidget*>(form->Picture1));
}

void TestForm1::appearance() {
  const auto back = [](QWidget* w) { return w->palette().color(QPalette::Window); };
  const auto fore = [](QWidget* w) { return w->palette().color(QPalette::WindowText); };
  QCOMPARE(back(form->Label1), QColor(192, 192, 255));
  QVERIFY(form->Label1->autoFillBackground());
  QCOMPARE(back(form->Label36), QColor(128, 128, 255));
  QCOMPARE(back(form->Label20), QColor(255, 192, 255));
  QCOMPARE(back(form->Label24), QColor(255, 192, 128));
  QCOMPARE(back(form->Label33), QColor(128, 255, 255));
  QCOMPARE(back(form->Label30), QColor(192, 192, 0));
  QCOMPARE(back(form->Label32), QColor(255, 128, 255));
  QCOMPARE(fore(form->Label23), QColor(0, 0, 255));
  QCOMPARE(fore(form->Label37), QColor(255, 0, 0));
  QCOMPARE(form->Label21->font().pointSizeF(), 9.75);
  QCOMPARE(form->Label36->font().pointSizeF(), 6.75);
  QCOMPARE(form->Label34->font().pointSizeF(), 8.25);
  QVERIFY(form->Label30->font().bold());
  QCOMPARE(form->Label30->font().pointSizeF(), 14.25);
  QVERIFY(form->Label30->font().families().contains(QStringLiteral("ＭＳ Ｐゴシック")));
  QVERIFY(form->Label2->alignment() & Qt::AlignHCenter);
  QVERIFY(form->Label4->alignment() & Qt::AlignLeft);
  QVERIFY(form->Label20->alignment() & Qt::AlignLeft);
  // Long captions wrap inside their rectangles; the headings stay on one line.
  QVERIFY(form->Label20->wordWrap());
  QVERIFY(form->Label25->wordWrap());
  QVERIFY(form->Label26->wordWrap());
  QVERIFY(!form->Label4->wordWrap());
}

void TestForm1::focusOrder() {
  QList<QWidget*> expected{form->Picture1, form->Command1, form->Command2};
  for (int row = 1; row <= 10; ++row) {
    expected << form->CheckEQ(row);
    for (int f = 1; f <= 6; ++f) expected << form->TextEQ(fieldIndex(row, f));
  }
  expected << form->TextEQ(61) << form->TextEQ(62) << form->TextEQ(63) << form->Command4 << form->Command5
           << form->Command6 << form->Command3 << form->Command7 << form->Command8 << form->Command9;
  QList<QWidget*> chain;
  QWidget* w = form->Picture1;
  do {
    if (w->focusPolicy() & Qt::TabFocus) chain << w;
    w = w->nextInFocusChain();
  } while (w != form->Picture1 && chain.size() <= expected.size());
  QCOMPARE(chain, expected);
  for (QLabel* label : form->findChildren<QLabel*>()) QVERIFY(!(label->focusPolicy() & Qt::TabFocus));
}

void TestForm1::clearCommandRestoresStartUpTable() {
  for (int row = 1; row <= 10; ++row) fillRow(row, {"山" + QString::number(row), "2000", "1", "2", "35", "139"});
  form->TextEQ(61)->setText("2024");
  form->TextEQ(62)->setText("5");
  form->TextEQ(63)->setText("1");
  form->CheckEQ(2)->setChecked(true);
  form->CheckEQ(7)->setChecked(true);
  excludeRow(*form, 7);
  form->Label20->setVisible(true);
  form->Label23->setText("file.txt");
  form->EruptionYear[3] = 1914;

  QTest::mouseClick(form->Command5, Qt::LeftButton);

  for (int row = 1; row <= 10; ++row) {
    QVERIFY(!form->CheckEQ(row)->isChecked());
    QVERIFY(form->CheckEQ(row)->isEnabled());
    QCOMPARE(backColor(form->CheckEQ(row)), QColor(255, 255, 255));
    for (int f = 1; f <= 6; ++f) {
      QLineEdit* box = form->TextEQ(fieldIndex(row, f));
      QVERIFY(box->text().isEmpty());
      QVERIFY(box->isEnabled());
      QCOMPARE(backColor(box), QColor(255, 255, 255));
    }
  }
  QCOMPARE(form->RowBaseIndex, int16_t{61});
  // What the clear leaves alone.
  QCOMPARE(form->TextEQ(61)->text(), QStringLiteral("2024"));
  QCOMPARE(form->TextEQ(62)->text(), QStringLiteral("5"));
  QCOMPARE(form->TextEQ(63)->text(), QStringLiteral("1"));
  QVERIFY(form->Label20->isVisible());
  QCOMPARE(form->Label23->text(), QStringLiteral("file.txt"));
  QCOMPARE(form->EruptionYear[3], 1914.0f);
  QVERIFY(platform->messages.empty());
}

void TestForm1::selectAllTicksOnlyUsableRows() {
  form->CheckEQ(3)->setChecked(true);
  excludeRow(*form, 3);  // excluded and ticked
  excludeRow(*form, 5);  // excluded and unticked
  QTest::mouseClick(form->Label36, Qt::LeftButton);
  for (int row = 1; row <= 10; ++row) {
    if (row == 5) {
      QVERIFY(!form->CheckEQ(row)->isChecked());
      QVERIFY(!form->CheckEQ(row)->isEnabled());
      QCOMPARE(backColor(form->CheckEQ(row)), QColor(224, 224, 224));
    } else {
      QVERIFY2(form->CheckEQ(row)->isChecked(), qPrintable(QString::number(row)));
    }
  }
  QVERIFY(!form->CheckEQ(3)->isEnabled());
  QCOMPARE(backColor(form->TextEQ(fieldIndex(3, 4))), QColor(224, 224, 224));
}

void TestForm1::selectAllTwiceIsOnce() {
  QTest::mouseClick(form->Label36, Qt::LeftButton);
  QTest::mouseClick(form->Label36, Qt::LeftButton);
  for (int row = 1; row <= 10; ++row) QVERIFY(form->CheckEQ(row)->isChecked());
  // Clicking near the label but outside it does nothing.
  form->CheckEQ(1)->setChecked(false);
  QTest::mouseClick(form->Label36, Qt::LeftButton, {}, QPoint(-3, -3));
  QVERIFY(!form->CheckEQ(1)->isChecked());
}

void TestForm1::julianDayMonthZero() {
  form->CalcYear = 2000;
  form->CalcMonth = 0;
  form->CalcDay = 0;
  QVERIFY(form->JulianDay());
  QCOMPARE(form->CalcMonth, 7.0);  // written back
  QVERIFY(std::fabs(form->DayNumber - 51738.95) < 1e-6);
  form->CalcYear = std::numeric_limits<double>::max();
  form->CalcMonth = 1;
  QVERIFY(!form->JulianDay());
  QVERIFY(std::fabs(form->DayNumber - 51738.95) < 1e-6);  // kept
}

void TestForm1::plotRadiusFailureKeepsRadius() {
  form->PredictionDayNumber = 60322.41 + 365.25;
  form->EruptionDayNumber = 60322.41;
  QVERIFY(form->PlotRadius());
  QVERIFY(std::fabs(form->RadiusKm - 438.4195) < 1e-4);
  form->EruptionDayNumber = form->PredictionDayNumber;
  QVERIFY(!form->PlotRadius());
  QVERIFY(std::fabs(form->RadiusKm - 438.4195) < 1e-4);
}

void TestForm1::plotXY() {
  form->Latitude = 0;
  form->Longitude = 0;
  QVERIFY(form->PlotXY());
  QVERIFY(std::fabs(form->MapX - -36084.4) < 0.05);
  QVERIFY(std::fabs(form->MapY - 17998.2) < 0.05);
  form->Latitude = 20;
  form->Longitude = 135;
  QVERIFY(form->PlotXY());
  QCOMPARE(form->MapX, 9000.0);
}

void TestForm1::closingEndsReferenceWindow() {
  QPointer<Form2> second = form->existingForm2();
  QVERIFY(second);
  form->close();
  QVERIFY(second.isNull());
}

}  // namespace eq

QTEST_MAIN(eq::TestForm1)
#include "tst_form1.moc"
