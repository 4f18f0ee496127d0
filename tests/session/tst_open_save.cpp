// The open and save commands on a session with a scripted desktop, in a temporary
// current folder: the dialog and the questions, the file's rows in the table, the
// ten lines of "無題.txt", and what stays as it was when the user stops or a file
// cannot be read or written.

#include "common/files.h"
#include "common/session_fixture.h"
#include "session/open_command.h"
#include "session/save_command.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

using namespace eq;
using namespace eq::test;

namespace {

const QString kSaved = QStringLiteral("無題.txt");
const QByteArray kFullFile =
    "1,\"a\",2001,1,1,31.5,130.5\r\n2,\"b\",2002,2,2,32.5,131.5\r\n3,\"c\",2003,3,3,33.5,132.5\r\n"
    "4,\"d\",2004,4,4,34.5,133.5\r\n5,\"e\",2005,5,5,35.5,134.5\r\n6,\"f\",2006,6,6,36.5,135.5\r\n"
    "7,\"g\",2007,7,7,37.5,136.5\r\n8,\"h\",2008,8,8,38.5,137.5\r\n9,\"i\",2009,9,9,39.5,138.5\r\n"
    "10,\"j\",2010,10,10,40.5,139.5\r\n";
const QStringList kRowA{"a", "2001", "1", "1", "31.5", "130.5"};
const QStringList kRowB{"b", "2002", "2", "2", "32.5", "131.5"};

QByteArray emptyLine(int row) { return QByteArray::number(row) + ",\"\",0,0,0,0,0\r\n"; }
QString savedPath() { return QDir::toNativeSeparators(QDir::current().absoluteFilePath(kSaved)); }
QStringList filesHere() { return QDir::current().entryList(QDir::Files | QDir::Hidden); }

struct Fixture : SessionFixture {
  // Chooses `path` in the dialog and answers the question.
  void open(const QString& path, MessageAnswer answer = MessageAnswer::Yes) {
    platform.fileDialogAnswers.push_back(path);
    platform.messageAnswers.push_back(answer);
    openEruptionDataFile(session);
  }
  void save(MessageAnswer answer = MessageAnswer::Yes) {
    platform.messageAnswers.push_back(answer);
    saveEruptionData(session);
  }
  // Text in every cell, every row ticked, row 4 excluded, a file name shown.
  QStringList markEverything() {
    for (int i = 1; i <= 60; ++i) session.setText(i, "x" + QString::number(i));
    for (int row = 1; row <= kRowCount; ++row) session.setTicked(row, true);
    excludeRow(session, 4);
    session.setCaption(Control::Label23, QStringLiteral("before"));
    return table();
  }
  QStringList table() const {
    QStringList out;
    for (int row = 1; row <= kRowCount; ++row) out << rowTexts(row);
    for (int row = 1; row <= kRowCount; ++row) out << QStringLiteral("%1%2").arg(ticks()[row - 1]).arg(excludedRows()[row - 1]);
    return out << label(Control::Label23);
  }
};

}  // namespace

class TestOpenSave : public QObject {
  Q_OBJECT
 private slots:
  void init() {
    previous_ = QDir::currentPath();
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid() && QDir::setCurrent(dir_->path()));
  }

  void cleanup() {
    QDir::setCurrent(previous_);
    dir_.reset();
  }

  void openAsks() {
    Fixture fx;
    const QString path = writeFile(QDir::current().absoluteFilePath("a.txt"), kFullFile);
    fx.open(path, MessageAnswer::No);
    QCOMPARE(fx.platform.fileDialogs.size(), std::size_t(1));
    const FileDialogRequest& request = fx.platform.fileDialogs[0];
    QCOMPARE(request.title, QStringLiteral("噴火データファイルを選択してください"));
    QCOMPARE(request.filter, QStringLiteral("すべてのファイル(*.*)|*.*"));
    QCOMPARE(request.initialPath, QString());
    QVERIFY(request.hideReadOnly);
    QCOMPARE(shown(fx.platform.messages.at(0)), question("現在表示データを" + path + "データに置き換えます\n\rいいですか"));
    // The dialog offers the path of its last use again, also after a No.
    fx.open(path);
    QCOMPARE(fx.platform.fileDialogs[1].initialPath, path);
    QCOMPARE(fx.session.CommonDialog1.fileTitle, QStringLiteral("a.txt"));
  }

  void openCancelOrNoChangesNothing_data() {
    QTest::addColumn<bool>("cancel");
    QTest::newRow("cancel in the dialog") << true;
    QTest::newRow("No to the question") << false;
  }
  void openCancelOrNoChangesNothing() {
    QFETCH(bool, cancel);
    Fixture fx;
    const QStringList before = fx.markEverything();
    if (cancel) {
      fx.platform.fileDialogAnswers.push_back(std::nullopt);
      openEruptionDataFile(fx.session);
    } else {
      fx.open(writeFile("a.txt", kFullFile), MessageAnswer::No);
    }
    QCOMPARE(fx.table(), before);
    QCOMPARE(fx.platform.messages.size(), std::size_t(cancel ? 0 : 1));
    QCOMPARE(fx.session.VolcanoName[1], QString());
  }

  void openFillsRowsAndUnticks() {
    Fixture fx;
    fx.markEverything();
    fx.open(writeFile("full.txt", kFullFile));
    QCOMPARE(fx.rowTexts(1), kRowA);
    QCOMPARE(fx.rowTexts(10), (QStringList{"j", "2010", "10", "10", "40.5", "139.5"}));
    QCOMPARE(fx.ticks(), QList<bool>(kRowCount, false));
    QCOMPARE(fx.excludedRows(), QList<bool>(kRowCount, false));
    QCOMPARE(fx.label(Control::Label23), QStringLiteral("full.txt"));
    QCOMPARE(fx.session.VolcanoLatitude[3], 33.5f);
    QCOMPARE(fx.platform.messages.size(), std::size_t(1));  // the question only

    // Rows after a shorter file's last line keep their text, but not their tick.
    for (int row = 1; row <= kRowCount; ++row) fx.session.setTicked(row, true);
    fx.fillRow(4, {"x", "1", "2", "3", "4", "5"});
    fx.open(writeFile("three.txt", kFullFile.left(kFullFile.indexOf("4,"))));
    QCOMPARE(fx.rowTexts(4), (QStringList{"x", "1", "2", "3", "4", "5"}));
    QCOMPARE(fx.ticks(), QList<bool>(kRowCount, false));

    // A line far longer than a read.
    const QByteArray line = "1,\"" + QByteArray(3 * 1024 * 1024, 'x') + "\",1,2,3,4,5";
    const LoadResult result = loadEruptionDataFile(fx.session, writeFile("long.txt", line + "\r\n2,\"b\",1,1,1,1,1"));
    QVERIFY(result.ok && result.rowsRead == 2);
    QCOMPARE(fx.rowTexts(1).mid(1), (QStringList{"1", "2", "3", "4", "5"}));
  }

  // Each case first opens the full file, so the per-row arrays hold its values; then the
  // case's file. Rows 1 and 2 are compared.
  void openEdgeCases_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("row1");
    QTest::addColumn<QStringList>("row2");
    QTest::newRow("zeros show empty, minus kept, 7 digits")
        << QByteArray("1,\"z\",0,-1,0,-12.25,123.456789\r\n") << QStringList{"z", "", "-1", "", "-12.25", "123.4568"}
        << kRowB;
    QTest::newRow("name 0 is empty") << QByteArray("1,\"0\",1,2,3,4,5\r\n") << QStringList{"", "1", "2", "3", "4", "5"}
                                     << kRowB;
    QTest::newRow("an empty line and bad numbers keep the row's values")
        << QByteArray("\r\n2,\"t\",x,,2,1e39,-1e39\r\n") << kRowA << QStringList{"t", "2002", "2", "2", "32.5", "131.5"};
    QTest::newRow("lone quote keeps the name") << QByteArray("1,\",9,9,9,9,9\r\n")
                                               << QStringList{"a", "9", "9", "9", "9", "9"} << kRowB;
    QTest::newRow("Shift-JIS names") << QByteArray("1,\"\x8D\xF7\x93\x87\x95\x5C\x83\x5C\x87\x40\",1,2,3,4,5\r\n")
                                     << QStringList{"桜島表ソ①", "1", "2", "3", "4", "5"} << kRowB;
    QTest::newRow("UTF-8 with mark") << QByteArray("\xEF\xBB\xBF" "1,\"\xE8\xA1\xA8\",1,2,3,4,5\r\n")
                                     << QStringList{"表", "1", "2", "3", "4", "5"} << kRowB;
  }
  void openEdgeCases() {
    QFETCH(QByteArray, file);
    QFETCH(QStringList, row1);
    QFETCH(QStringList, row2);
    Fixture fx;
    fx.open(writeFile("full.txt", kFullFile));
    fx.open(writeFile("表ソ.txt", file));
    QCOMPARE(fx.rowTexts(1), row1);
    QCOMPARE(fx.rowTexts(2), row2);
    QCOMPARE(fx.label(Control::Label23), QStringLiteral("表ソ.txt"));
  }

  void openUnreadable_data() {
    QTest::addColumn<QString>("path");
    QTest::newRow("missing") << QStringLiteral("missing.txt");
    QTest::newRow("a folder") << QStringLiteral(".");
    QTest::newRow("never ends a line") << QStringLiteral("/dev/zero");
  }
  void openUnreadable() {
    QFETCH(QString, path);
    Fixture fx;
    const QStringList before = fx.markEverything();
    fx.open(path);
    QCOMPARE(fx.table(), before);
    QCOMPARE(fx.platform.messages.size(), std::size_t(2));
    const QString text = fx.platform.messages[1].text;
    QCOMPARE(shown(fx.platform.messages[1]), notice(text));
    QVERIFY2(text.endsWith("\n" + path) && text.contains(QStringLiteral("読み込めませんでした")), qPrintable(text));
  }

  void saveAsksFirst() {
    Fixture fx;
    fx.fillRow(1, {"桜島", "1914", "1", "12", "31.585", "130.657"});
    fx.save(MessageAnswer::No);
    QCOMPARE(fx.platform.messages.size(), std::size_t(1));
    QCOMPARE(shown(fx.platform.messages[0]),
             question("噴火データを保存します\n\r好みの名前をつけて保存して下さい\n\rいいですか"));
    QVERIFY(filesHere().isEmpty());
    QVERIFY(fx.platform.editorPaths.empty());
    QCOMPARE(fx.session.EruptionYear[1], 0.0f);
  }

  void saveWritesTheTable() {
    Fixture fx;
    // Values an earlier open, save or Draw left in the arrays.
    fx.session.EruptionYear[2] = 1990;
    fx.session.VolcanoLongitude[2] = 130.299f;
    fx.session.EruptionMonth[3] = 7;
    fx.fillRow(1, {" a b ", "1914", "1", "12", "31.585", "130.657"});
    fx.fillRow(2, {"Unzen", "", "11", "x", " 32.761 ", "1e39"});  // empty and bad cells keep the arrays' values
    fx.fillRow(3, {"", "2000", "3", "31", "42.544", "140.839"});   // no name: an empty row
    fx.fillRow(4, {"表", "-0.5", "0", "0.001", "1234.5678", "-12"});
    fx.fillRow(5, {"  ", "2000", "3", "31", "42.544", "140.839"});  // a name of blanks is a name
    fx.save();
    QByteArray expected = "1,\" a b \",1914,1,12,31.585,130.657\r\n"
                          "2,\"Unzen\",1990,11,0,32.761,130.299\r\n" +
                          emptyLine(3) + "4,\"\x95\x5C\",-0.5,0,0.001,1234.568,-12\r\n" +
                          "5,\"  \",2000,3,31,42.544,140.839\r\n";
    for (int row = 6; row <= 10; ++row) expected += emptyLine(row);
    QCOMPARE(readFile(kSaved), expected);
    QCOMPARE(fx.session.EruptionMonth[3], 0.0f);
    QCOMPARE(fx.platform.editorPaths, std::vector<QString>{savedPath()});
    QCOMPARE(fx.platform.messages.size(), std::size_t(1));
    QCOMPARE(filesHere(), QStringList{kSaved});  // no temporary left
  }

  // Names and numbers typed into the table come back the same after save, clear and open.
  void saveAndOpenAgain_data() {
    QTest::addColumn<QStringList>("fields");
    QTest::newRow("backslash second bytes") << QStringList{"表ソ十能予噂", "2000", "7", "8", "34.094", "139.526"};
    QTest::newRow("blanks") << QStringList{"  有珠山　", "2000", "3", "31", "42.544", "140.839"};
    QTest::newRow("commas") << QStringList{",a,b,,c,", "-1", "0.5", "-0.25", "-12.5", "1.234568E+07"};
    QTest::newRow("only a name") << QStringList{"Fuji", "", "", "", "", ""};
  }
  void saveAndOpenAgain() {
    QFETCH(QStringList, fields);
    Fixture fx;
    fx.fillRow(5, fields);
    fx.save();
    clearEruptionData(fx.session);
    QVERIFY(loadEruptionDataFile(fx.session, kSaved).ok);
    QCOMPARE(fx.rowTexts(5), fields);
    QCOMPARE(fx.rowTexts(1), QStringList(6, QString()));
  }

  // One case for each reason a name cannot be saved; the message names the row and the name.
  void saveRefusesName_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("shown");  // what the message must mention
    QTest::newRow("outside code page 932") << "桜島🌋" << "🌋";
    QTest::newRow("quote before a comma") << "a\",b" << "a\",b";
    QTest::newRow("line break") << "a\rb" << "改行";
    QTest::newRow("reads as UTF-8") << "ﾃｽ" << "ﾃｽ";
  }
  void saveRefusesName() {
    QFETCH(QString, name);
    QFETCH(QString, shown);
    writeFile(kSaved, "earlier save");
    Fixture fx;
    fx.fillRow(1, {"Sakurajima", "1914", "1", "12", "31.585", "130.657"});  // ASCII: the file could read as UTF-8
    fx.fillRow(3, {name, "1", "1", "1", "1", "1"});
    fx.save();
    QCOMPARE(readFile(kSaved), QByteArray("earlier save"));
    QVERIFY(fx.platform.editorPaths.empty());
    QCOMPARE(fx.platform.messages.size(), std::size_t(2));
    const QString text = fx.platform.messages[1].text;
    QCOMPARE(eq::test::shown(fx.platform.messages[1]), notice(text));
    QVERIFY2(text.startsWith(QStringLiteral("3行目")) && text.contains(shown), qPrintable(text));
    QCOMPARE(filesHere(), QStringList{kSaved});
  }

  void saveCannotWriteOrStartEditor() {
    // "無題.txt" is a folder: the complete file cannot be put in its place.
    QVERIFY(QDir::current().mkdir(kSaved));
    Fixture fx;
    fx.save();
    QVERIFY(fx.platform.editorPaths.empty());
    QCOMPARE(fx.platform.messages.size(), std::size_t(2));
    QVERIFY2(fx.platform.messages[1].text.endsWith(savedPath()), qPrintable(fx.platform.messages[1].text));
    QVERIFY(filesHere().isEmpty());

    QVERIFY(QDir::current().rmdir(kSaved));
    fx.platform.editorStarts = false;
    fx.save();
    QCOMPARE(readFile(kSaved).count('\n'), 10);
    QCOMPARE(fx.platform.editorPaths, std::vector<QString>{savedPath()});
    QCOMPARE(fx.platform.messages.size(), std::size_t(4));
    QVERIFY2(fx.platform.messages[3].text.endsWith("\n" + savedPath()), qPrintable(fx.platform.messages[3].text));
  }

 private:
  std::unique_ptr<QTemporaryDir> dir_;
  QString previous_;
};

QTEST_MAIN(TestOpenSave)
#include "tst_open_save.moc"
