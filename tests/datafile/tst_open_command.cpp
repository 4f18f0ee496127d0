// Command1 end to end on an offscreen window: the dialog, the question, the file's rows
// in the table, and what stays as it was when the user stops or the file cannot be read.

#include "app/eruption_table.h"
#include "app/form1.h"
#include "app/scripted_platform.h"
#include "datafile/open_command.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace eq;

namespace {

QByteArray shiftJis(const QString& text) {
  // The test's own encoder, independent of the program's: the characters used here
  // are all in JIS X 0208, whose code page 932 bytes Qt cannot produce by itself,
  // so they are spelled out.
  static const QList<QPair<QString, QByteArray>> table{
      {"桜島", "\x8D\xF7\x93\x87"}, {"表", "\x95\x5C"}, {"ソ", "\x83\x5C"}, {"①", "\x87\x40"}, {"㈱", "\x87\x8A"}};
  QByteArray out;
  for (qsizetype i = 0; i < text.size();) {
    bool found = false;
    for (const auto& [chars, bytes] : table) {
      if (text.mid(i).startsWith(chars)) {
        out += bytes;
        i += chars.size();
        found = true;
        break;
      }
    }
    if (!found) out += text.at(i++).toLatin1();
  }
  return out;
}

struct Window {
  ScriptedPlatform platform;
  Form1 form{platform};
  Window() { form.Form_Load(); }

  // The texts of the sixty table cells.
  QStringList cells() const {
    QStringList out;
    for (int i = 1; i <= 60; ++i) out << form.TextEQ(i)->text();
    return out;
  }
  QStringList row(int r) const { return cells().mid((r - 1) * 6, 6); }
  QList<bool> ticks() const {
    QList<bool> out;
    for (int r = 1; r <= 10; ++r) out << form.CheckEQ(r)->isChecked();
    return out;
  }
  void fillTable(const QString& text) {
    for (int i = 1; i <= 60; ++i) form.TextEQ(i)->setText(text + QString::number(i));
  }
  void tickAll() {
    for (int r = 1; r <= 10; ++r) form.CheckEQ(r)->setChecked(true);
  }
  // Chooses `path` in the dialog and answers the question.
  void open(const QString& path, MessageAnswer answer = MessageAnswer::Yes) {
    platform.fileDialogAnswers.push_back(path);
    platform.messageAnswers.push_back(answer);
    QTest::mouseClick(form.Command1, Qt::LeftButton);
  }
};

QString writeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes) {
  const QString path = dir.filePath(name);
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) qFatal("cannot write %s", qPrintable(path));
  return path;
}

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
  void cancelChangesNothing();
  void noChangesNothing();
  void loadsRowsAndResetsMarks();
  void rowsAfterTheFileKeepTheirText();
  void edgeCases_data();
  void edgeCases();
  void unreadableFileChangesNothing_data();
  void unreadableFileChangesNothing();
  void fileNameWithBackslashBytes();
  void tenMegabyteLine();

 private:
  QTemporaryDir dir_;
};

void TestOpenCommand::dialogAndQuestion() {
  Window w;
  const QString path = writeFile(dir_, "a.txt", kFullFile);
  w.open(path, MessageAnswer::No);
  QCOMPARE(w.platform.fileDialogs.size(), std::size_t(1));
  const FileDialogRequest& request = w.platform.fileDialogs[0];
  QCOMPARE(request.title, QStringLiteral("噴火データファイルを選択してください"));
  QCOMPARE(request.filter, QStringLiteral("すべてのファイル(*.*)|*.*"));
  QCOMPARE(request.initialPath, QString());
  QVERIFY(request.hideReadOnly);
  QCOMPARE(w.platform.messages.size(), std::size_t(1));
  const ScriptedPlatform::Message& question = w.platform.messages[0];
  QCOMPARE(question.text, QStringLiteral("現在表示データを") + path + QStringLiteral("データに置き換えます\n\rいいですか"));
  QCOMPARE(question.caption, QStringLiteral("メッセージ"));
  QCOMPARE(question.buttons, MessageButtons::YesNo);
  QCOMPARE(question.icon, MessageIcon::Information);

  // The dialog offers the path of its last use again, also after a No.
  w.open(path);
  QCOMPARE(w.platform.fileDialogs[1].initialPath, path);
  QCOMPARE(w.form.CommonDialog1.fileTitle, QStringLiteral("a.txt"));
}

void TestOpenCommand::cancelChangesNothing() {
  Window w;
  w.fillTable("x");
  w.tickAll();
  excludeRow(w.form, 4);
  w.form.Label23->setText("before");
  const QStringList cells = w.cells();
  w.platform.fileDialogAnswers.push_back(std::nullopt);
  QTest::mouseClick(w.form.Command1, Qt::LeftButton);
  QVERIFY(w.platform.messages.empty());
  QCOMPARE(w.cells(), cells);
  QCOMPARE(w.ticks(), QList<bool>(10, true));
  QVERIFY(!w.form.TextEQ(fieldIndex(4, 1))->isEnabled());
  QCOMPARE(w.form.Label23->text(), QStringLiteral("before"));
  QCOMPARE(w.form.CommonDialog1.fileName, QString());
}

void TestOpenCommand::noChangesNothing() {
  Window w;
  w.fillTable("x");
  w.tickAll();
  const QStringList cells = w.cells();
  w.open(writeFile(dir_, "a.txt", kFullFile), MessageAnswer::No);
  QCOMPARE(w.cells(), cells);
  QCOMPARE(w.ticks(), QList<bool>(10, true));
  QCOMPARE(w.form.Label23->text(), QString());
  QCOMPARE(w.form.VolcanoName[1], QString());
}

void TestOpenCommand::loadsRowsAndResetsMarks() {
  Window w;
  w.tickAll();
  excludeRow(w.form, 2);
  w.open(writeFile(dir_, "full.txt", kFullFile));
  QCOMPARE(w.row(1), (QStringList{"a", "2001", "1", "1", "31.5", "130.5"}));
  QCOMPARE(w.row(10), (QStringList{"j", "2010", "10", "10", "40.5", "139.5"}));
  QCOMPARE(w.ticks(), QList<bool>(10, false));
  for (int i = 1; i <= 60; ++i) {
    QVERIFY(w.form.TextEQ(i)->isEnabled());
    QCOMPARE(backColor(w.form.TextEQ(i)), kUsableBack);
  }
  QVERIFY(w.form.CheckEQ(2)->isEnabled());
  QCOMPARE(backColor(w.form.CheckEQ(2)), kUsableBack);
  QCOMPARE(w.form.Label23->text(), QStringLiteral("full.txt"));
  QCOMPARE(w.form.VolcanoLatitude[3], 33.5f);
  QVERIFY(w.platform.messages.size() == 1);  // the question only
}

void TestOpenCommand::rowsAfterTheFileKeepTheirText() {
  Window w;
  w.fillTable("x");
  w.tickAll();
  w.open(writeFile(dir_, "three.txt", kFullFile.left(kFullFile.indexOf("4,"))));
  QCOMPARE(w.row(3), (QStringList{"c", "2003", "3", "3", "33.5", "132.5"}));
  QCOMPARE(w.row(4), (QStringList{"x19", "x20", "x21", "x22", "x23", "x24"}));
  QCOMPARE(w.ticks(), QList<bool>(10, false));
}

// Each case first loads the full file, so the per-row arrays hold its values; then the
// case's file. Row 1 and row 2 are compared.
void TestOpenCommand::edgeCases_data() {
  QTest::addColumn<QByteArray>("file");
  QTest::addColumn<QStringList>("row1");
  QTest::addColumn<QStringList>("row2");
  const QStringList fullRow2{"b", "2002", "2", "2", "32.5", "131.5"};
  QTest::newRow("zeros show empty, minus kept, 7 digits")
      << QByteArray("1,\"z\",0,-1,0,-12.25,123.456789\r\n") << QStringList{"z", "", "-1", "", "-12.25", "123.4568"}
      << fullRow2;
  QTest::newRow("saved empty row") << QByteArray("1,\"\",0,0,0,0,0\r\n") << QStringList{"", "", "", "", "", ""}
                                   << fullRow2;
  QTest::newRow("name 0 is empty") << QByteArray("1,\"0\",1,2,3,4,5\r\n") << QStringList{"", "1", "2", "3", "4", "5"}
                                   << fullRow2;
  QTest::newRow("name without quotes") << QByteArray("1,Fuji,1,2,3,4,5\r\n")
                                       << QStringList{"Fuji", "1", "2", "3", "4", "5"} << fullRow2;
  QTest::newRow("opening quote only") << QByteArray("1,\"Fuji,1,2,3,4,5\r\n")
                                      << QStringList{"Fuj", "1", "2", "3", "4", "5"} << fullRow2;
  QTest::newRow("comma in a quoted name") << QByteArray("1,\"a,b\",1,2,3,4,5\r\n")
                                          << QStringList{"a,b", "1", "2", "3", "4", "5"} << fullRow2;
  QTest::newRow("empty line keeps the row's values")
      << QByteArray("\r\n2,\"q\",1,2,3,4,5\r\n") << QStringList{"a", "2001", "1", "1", "31.5", "130.5"}
      << QStringList{"q", "1", "2", "3", "4", "5"};
  QTest::newRow("short line and bad numbers keep theirs")
      << QByteArray("1,\"s\",1e39\r\n2,\"t\",x,,2,1e39,-1e39\r\n") << QStringList{"s", "2001", "1", "1", "31.5", "130.5"}
      << QStringList{"t", "2002", "2", "2", "32.5", "131.5"};
  QTest::newRow("lone quote keeps the name") << QByteArray("1,\",9,9,9,9,9\r\n")
                                             << QStringList{"a", "9", "9", "9", "9", "9"} << fullRow2;
  QTest::newRow("LF only: one line") << QByteArray("1,\"m\",1,2,3,4,5\n2,\"n\",1,2,3,4,5\n")
                                     << QStringList{"m", "1", "2", "3", "4", "130.5"} << fullRow2;
  QTest::newRow("Shift-JIS names") << shiftJis("1,\"桜島表ソ①㈱\",1914,1,12,31.585,130.657\r\n")
                                   << QStringList{"桜島表ソ①㈱", "1914", "1", "12", "31.585", "130.657"} << fullRow2;
  QTest::newRow("UTF-8 with mark") << QByteArray("\xEF\xBB\xBF" "1,\"\xE8\xA1\xA8\",1,2,3,4,5\r\n")
                                   << QStringList{"表", "1", "2", "3", "4", "5"} << fullRow2;
  QTest::newRow("invalid Shift-JIS") << QByteArray("1,\"\x81\",1,2,3,4,5\r\n")
                                     << QStringList{QString(QChar(0xFFFD)), "1", "2", "3", "4", "5"} << fullRow2;
  QTest::newRow("empty file") << QByteArray() << QStringList{"a", "2001", "1", "1", "31.5", "130.5"} << fullRow2;
}

void TestOpenCommand::edgeCases() {
  QFETCH(QByteArray, file);
  QFETCH(QStringList, row1);
  QFETCH(QStringList, row2);
  Window w;
  w.open(writeFile(dir_, "full.txt", kFullFile));
  w.tickAll();
  w.open(writeFile(dir_, "case.txt", file));
  QCOMPARE(w.row(1), row1);
  QCOMPARE(w.row(2), row2);
  QCOMPARE(w.ticks(), QList<bool>(10, false));
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
  w.fillTable("x");
  w.tickAll();
  excludeRow(w.form, 5);
  w.form.Label23->setText("before");
  const QStringList cells = w.cells();
  w.open(path);
  QCOMPARE(w.cells(), cells);
  QCOMPARE(w.ticks(), QList<bool>(10, true));
  QVERIFY(!w.form.CheckEQ(5)->isEnabled());
  QCOMPARE(w.form.Label23->text(), QStringLiteral("before"));
  QCOMPARE(w.platform.messages.size(), std::size_t(2));
  const ScriptedPlatform::Message& message = w.platform.messages[1];
  QCOMPARE(message.caption, QStringLiteral("メッセージ"));
  QCOMPARE(message.buttons, MessageButtons::Ok);
  QVERIFY2(message.text.contains(path), qPrintable(message.text));
  QVERIFY2(message.text.contains(QStringLiteral("読み込めません")), qPrintable(message.text));
}

void TestOpenCommand::fileNameWithBackslashBytes() {
  Window w;
  const QString path = writeFile(dir_, "表ソ十能予.txt", shiftJis("1,\"表\",1,2,3,4,5\r\n"));
  w.open(path);
  QCOMPARE(w.form.Label23->text(), QStringLiteral("表ソ十能予.txt"));
  QCOMPARE(w.row(1).first(), QStringLiteral("表"));
}

void TestOpenCommand::tenMegabyteLine() {
  Window w;
  const QByteArray line = "1,\"" + QByteArray(10 * 1024 * 1024, 'x') + "\",1,2,3,4,5";
  const LoadResult result = loadEruptionDataFile(w.form, writeFile(dir_, "long.txt", line + "\r\n2,\"b\",1,1,1,1,1"));
  QVERIFY(result.ok);
  QCOMPARE(result.rowsRead, 2);
  QCOMPARE(w.form.VolcanoName[1].size(), qsizetype(10 * 1024 * 1024));
  QCOMPARE(w.row(1).mid(1), (QStringList{"1", "2", "3", "4", "5"}));
}

QTEST_MAIN(TestOpenCommand)
#include "tst_open_command.moc"
