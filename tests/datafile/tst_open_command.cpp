// Command1 end to end on an offscreen window: the dialog, the question, the file's rows
// in the table, and what stays as it was when the user stops or the file cannot be read.

#include "common/form_fixture.h"
#include "datafile/open_command.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace eq;
using namespace eq::test;

namespace {

struct Window : FormFixture {
  // Chooses `path` in the dialog and answers the question.
  void open(const QString& path, MessageAnswer answer = MessageAnswer::Yes) {
    platform.fileDialogAnswers.push_back(path);
    platform.messageAnswers.push_back(answer);
    click(form.Command1);
  }
  void tickAll() {
    for (int r = 1; r <= kRowCount; ++r) form.CheckEQ(r)->setChecked(true);
  }
  QStringList cells() const {
    QStringList out;
    for (int r = 1; r <= kRowCount; ++r) out << rowTexts(form, r);
    return out;
  }
  // Text in every cell, every row ticked, row 4 excluded, a file name shown: the table as one list.
  QStringList markEverything() {
    for (int i = 1; i <= 60; ++i) form.TextEQ(i)->setText("x" + QString::number(i));
    tickAll();
    excludeRow(form, 4);
    form.Label23->setText("before");
    return state();
  }
  QStringList state() const {
    QStringList out = cells() + rowLooks(form);
    for (bool tick : ticks(form)) out << (tick ? "ticked" : "unticked");
    return out << form.Label23->text();
  }
};

const QByteArray kFullFile =
    "1,\"a\",2001,1,1,31.5,130.5\r\n2,\"b\",2002,2,2,32.5,131.5\r\n3,\"c\",2003,3,3,33.5,132.5\r\n"
    "4,\"d\",2004,4,4,34.5,133.5\r\n5,\"e\",2005,5,5,35.5,134.5\r\n6,\"f\",2006,6,6,36.5,135.5\r\n"
    "7,\"g\",2007,7,7,37.5,136.5\r\n8,\"h\",2008,8,8,38.5,137.5\r\n9,\"i\",2009,9,9,39.5,138.5\r\n"
    "10,\"j\",2010,10,10,40.5,139.5\r\n";

}  // namespace

class TestOpenCommand : public QObject {
  Q_OBJECT
 private slots:
  void init() { QVERIFY(dir_.isValid()); }
  void dialogAndQuestion();
  void cancelOrNoChangesNothing_data();
  void cancelOrNoChangesNothing();
  void loadsRowsAndResetsMarks();
  void edgeCases_data();
  void edgeCases();
  void unreadableFileChangesNothing_data();
  void unreadableFileChangesNothing();
  void fileNameWithBackslashBytes();
  void tenMegabyteLine();

 private:
  QString write(const QString& name, const QByteArray& bytes) { return writeFile(dir_.filePath(name), bytes); }
  QTemporaryDir dir_;
};

void TestOpenCommand::dialogAndQuestion() {
  Window w;
  const QString path = write("a.txt", kFullFile);
  w.open(path, MessageAnswer::No);
  QCOMPARE(w.platform.fileDialogs.size(), std::size_t(1));
  const FileDialogRequest& request = w.platform.fileDialogs[0];
  QCOMPARE(request.title, QStringLiteral("噴火データファイルを選択してください"));
  QCOMPARE(request.filter, QStringLiteral("すべてのファイル(*.*)|*.*"));
  QCOMPARE(request.initialPath, QString());
  QVERIFY(request.hideReadOnly);
  QCOMPARE(w.platform.messages.size(), std::size_t(1));
  QCOMPARE(shown(w.platform.messages[0]),
           shown("現在表示データを" + path + "データに置き換えます\n\rいいですか", MessageButtons::YesNo,
                 MessageIcon::Information));

  // The dialog offers the path of its last use again, also after a No.
  w.open(path);
  QCOMPARE(w.platform.fileDialogs[1].initialPath, path);
  QCOMPARE(w.form.CommonDialog1.fileTitle, QStringLiteral("a.txt"));
}

void TestOpenCommand::cancelOrNoChangesNothing_data() {
  QTest::addColumn<bool>("cancel");
  QTest::newRow("cancel in the dialog") << true;
  QTest::newRow("No to the question") << false;
}

void TestOpenCommand::cancelOrNoChangesNothing() {
  QFETCH(bool, cancel);
  Window w;
  const QStringList before = w.markEverything();
  if (cancel) {
    w.platform.fileDialogAnswers.push_back(std::nullopt);
    click(w.form.Command1);
  } else {
    w.open(write("a.txt", kFullFile), MessageAnswer::No);
  }
  QCOMPARE(w.state(), before);
  QCOMPARE(w.platform.messages.size(), std::size_t(cancel ? 0 : 1));
  QCOMPARE(w.form.VolcanoName[1], QString());
  if (cancel) QCOMPARE(w.form.CommonDialog1.fileName, QString());
}

void TestOpenCommand::loadsRowsAndResetsMarks() {
  Window w;
  w.markEverything();
  w.open(write("full.txt", kFullFile));
  QCOMPARE(rowTexts(w.form, 1), (QStringList{"a", "2001", "1", "1", "31.5", "130.5"}));
  QCOMPARE(rowTexts(w.form, 10), (QStringList{"j", "2010", "10", "10", "40.5", "139.5"}));
  QCOMPARE(ticks(w.form), QList<bool>(10, false));
  QCOMPARE(rowLooks(w.form), QStringList(kRowCount, "usable"));
  QCOMPARE(w.form.Label23->text(), QStringLiteral("full.txt"));
  QCOMPARE(w.form.VolcanoLatitude[3], 33.5f);
  QCOMPARE(w.platform.messages.size(), std::size_t(1));  // the question only

  // Rows after a shorter file's last line keep their text.
  for (int i = 19; i <= 24; ++i) w.form.TextEQ(i)->setText("x" + QString::number(i));
  w.tickAll();
  w.open(write("three.txt", kFullFile.left(kFullFile.indexOf("4,"))));
  QCOMPARE(rowTexts(w.form, 3), (QStringList{"c", "2003", "3", "3", "33.5", "132.5"}));
  QCOMPARE(rowTexts(w.form, 4), (QStringList{"x19", "x20", "x21", "x22", "x23", "x24"}));
  QCOMPARE(ticks(w.form), QList<bool>(10, false));
}

// Each case first loads the full file, so the per-row arrays hold its values; then the
// case's file. Row 1 and row 2 are compared.
void TestOpenCommand::edgeCases_data() {
  QTest::addColumn<QByteArray>("file");
  QTest::addColumn<QStringList>("row1");
  QTest::addColumn<QStringList>("row2");
  const QStringList fullRow1{"a", "2001", "1", "1", "31.5", "130.5"};
  const QStringList fullRow2{"b", "2002", "2", "2", "32.5", "131.5"};
  QTest::newRow("zeros show empty, minus kept, 7 digits")
      << QByteArray("1,\"z\",0,-1,0,-12.25,123.456789\r\n") << QStringList{"z", "", "-1", "", "-12.25", "123.4568"}
      << fullRow2;
  QTest::newRow("saved empty row") << QByteArray("1,\"\",0,0,0,0,0\r\n") << QStringList(6, "") << fullRow2;
  QTest::newRow("name 0 is empty") << QByteArray("1,\"0\",1,2,3,4,5\r\n") << QStringList{"", "1", "2", "3", "4", "5"}
                                   << fullRow2;
  QTest::newRow("empty line keeps the row's values")
      << QByteArray("\r\n2,\"q\",1,2,3,4,5\r\n") << fullRow1 << QStringList{"q", "1", "2", "3", "4", "5"};
  QTest::newRow("short line and bad numbers keep theirs")
      << QByteArray("1,\"s\",1e39\r\n2,\"t\",x,,2,1e39,-1e39\r\n") << QStringList{"s", "2001", "1", "1", "31.5", "130.5"}
      << QStringList{"t", "2002", "2", "2", "32.5", "131.5"};
  QTest::newRow("lone quote keeps the name") << QByteArray("1,\",9,9,9,9,9\r\n")
                                             << QStringList{"a", "9", "9", "9", "9", "9"} << fullRow2;
  QTest::newRow("Shift-JIS names") << QByteArray("1,\"\x8D\xF7\x93\x87\x95\x5C\x83\x5C\x87\x40\x87\x8A\",1914,1,12,"
                                                 "31.585,130.657\r\n")
                                   << QStringList{"桜島表ソ①㈱", "1914", "1", "12", "31.585", "130.657"} << fullRow2;
  QTest::newRow("UTF-8 with mark") << QByteArray("\xEF\xBB\xBF" "1,\"\xE8\xA1\xA8\",1,2,3,4,5\r\n")
                                   << QStringList{"表", "1", "2", "3", "4", "5"} << fullRow2;
  QTest::newRow("empty file") << QByteArray() << fullRow1 << fullRow2;
}

void TestOpenCommand::edgeCases() {
  QFETCH(QByteArray, file);
  QFETCH(QStringList, row1);
  QFETCH(QStringList, row2);
  Window w;
  w.open(write("full.txt", kFullFile));
  w.tickAll();
  w.open(write("case.txt", file));
  QCOMPARE(rowTexts(w.form, 1), row1);
  QCOMPARE(rowTexts(w.form, 2), row2);
  QCOMPARE(ticks(w.form), QList<bool>(10, false));
  QCOMPARE(w.form.Label23->text(), QStringLiteral("case.txt"));
  QCOMPARE(w.platform.messages.size(), std::size_t(2));  // the two questions
}

void TestOpenCommand::unreadableFileChangesNothing_data() {
  QTest::addColumn<QString>("path");
  QTest::newRow("missing") << dir_.filePath("missing.txt");
  QTest::newRow("a folder") << dir_.path();
  if (QFile::exists("/dev/zero")) QTest::newRow("never ends a line") << QStringLiteral("/dev/zero");
}

void TestOpenCommand::unreadableFileChangesNothing() {
  QFETCH(QString, path);
  Window w;
  const QStringList before = w.markEverything();
  w.open(path);
  QCOMPARE(w.state(), before);
  QCOMPARE(w.platform.messages.size(), std::size_t(2));
  const ScriptedPlatform::Message& message = w.platform.messages[1];
  QCOMPARE(message.caption, QStringLiteral("メッセージ"));
  QCOMPARE(message.buttons, MessageButtons::Ok);
  QVERIFY2(message.text.contains(path) && message.text.contains(QStringLiteral("読み込めません")),
           qPrintable(message.text));
}

void TestOpenCommand::fileNameWithBackslashBytes() {
  Window w;
  w.open(write("表ソ十能予.txt", "1,\"\x95\x5C\",1,2,3,4,5\r\n"));
  QCOMPARE(w.form.Label23->text(), QStringLiteral("表ソ十能予.txt"));
  QCOMPARE(w.form.TextEQ(1)->text(), QStringLiteral("表"));
}

void TestOpenCommand::tenMegabyteLine() {
  Window w;
  const QByteArray line = "1,\"" + QByteArray(10 * 1024 * 1024, 'x') + "\",1,2,3,4,5";
  const LoadResult result = loadEruptionDataFile(w.form, write("long.txt", line + "\r\n2,\"b\",1,1,1,1,1"));
  QVERIFY(result.ok);
  QCOMPARE(result.rowsRead, 2);
  QCOMPARE(w.form.VolcanoName[1].size(), qsizetype(10 * 1024 * 1024));
  QCOMPARE(rowTexts(w.form, 1).mid(1), (QStringList{"1", "2", "3", "4", "5"}));
}

QTEST_MAIN(TestOpenCommand)
#include "tst_open_command.moc"
