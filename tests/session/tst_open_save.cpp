// The open and save commands on a session with a scripted desktop, in a temporary current
// folder: the dialog and the questions, the file's rows in the table, the ten lines of
// "無題.txt", and what stays as it was when the user stops or a file cannot be read or written.

#include "common/files.h"
#include "common/session_fixture.h"
#include "session/open_command.h"
#include "session/save_command.h"

#include <QtTest>
#include <sys/stat.h>

using namespace eq;
using namespace eq::test;

namespace {

const QString kSaved = QStringLiteral("無題.txt");
// Row r of the full file: "a" ... "j", 2000 + r, r, r, 30.5 + r, 129.5 + r.
QStringList fullRow(int r) {
  return {QString(QChar('a' + r - 1)), QString::number(2000 + r), QString::number(r), QString::number(r),
          QString::number(30.5 + r), QString::number(129.5 + r)};
}
QByteArray fullFile(int rows = kRowCount) {
  QString out;
  for (int r = 1; r <= rows; ++r)
    out += QStringLiteral("%1,\"%2\",%3\r\n").arg(r).arg(fullRow(r)[0], fullRow(r).mid(1).join(','));
  return out.toLatin1();
}
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
  // Text in every cell, every row ticked, row 4 excluded, a file name shown; the table as one list.
  QStringList markEverything() {
    for (int row = 1; row <= kRowCount; ++row) fillRow(row, {"x", "1", "2", "3", "4", QString::number(row)});
    excludeRow(session, 4);
    session.setCaption(Control::Label23, QStringLiteral("before"));
    return table();
  }
  QStringList table() const {
    QStringList out{label(Control::Label23)};
    for (int row = 1; row <= kRowCount; ++row)
      out << rowTexts(row) << QString::number(ticks()[row - 1] + 2 * excludedRows()[row - 1]);
    return out;
  }
  QString lastMessage() const { return platform.messages.empty() ? QString() : shown(platform.messages.back()); }
};

}  // namespace

class TestOpenSave : public QObject {
  Q_OBJECT
  std::unique_ptr<QTemporaryDir> dir_;
  QString previous_;

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

  // The dialog, then the question; Cancel or No change nothing. The dialog offers the path
  // of its last use again, also after a No.
  void openAsks() {
    Fixture fx;
    const QStringList before = fx.markEverything();
    fx.platform.fileDialogAnswers.push_back(std::nullopt);
    openEruptionDataFile(fx.session);
    QVERIFY(fx.platform.messages.empty());
    const QString path = writeFile(QDir::current().absoluteFilePath("a.txt"), fullFile());
    fx.open(path, MessageAnswer::No);
    QCOMPARE(fx.lastMessage(), question("現在表示データを" + path + "データに置き換えます\n\rいいですか"));
    QCOMPARE(fx.table(), before);
    const FileDialogRequest& request = fx.platform.fileDialogs.at(0);
    QCOMPARE(request.title, QStringLiteral("噴火データファイルを選択してください"));
    QCOMPARE(request.filter, QStringLiteral("すべてのファイル(*.*)|*.*"));
    QVERIFY(request.initialPath.isEmpty() && request.hideReadOnly);
    fx.open(path);
    QCOMPARE(fx.platform.fileDialogs.at(2).initialPath, path);
    QCOMPARE(fx.session.CommonDialog1.fileTitle, QStringLiteral("a.txt"));
  }

  void openFillsRowsAndUnticks() {
    Fixture fx;
    fx.markEverything();
    fx.open(writeFile("full.txt", fullFile()));
    QCOMPARE(fx.rowTexts(1), fullRow(1));
    QCOMPARE(fx.rowTexts(10), fullRow(10));
    QCOMPARE(fx.ticks(), QList<bool>(kRowCount, false));
    QCOMPARE(fx.excludedRows(), QList<bool>(kRowCount, false));
    QCOMPARE(fx.label(Control::Label23), QStringLiteral("full.txt"));
    QCOMPARE(fx.platform.messages.size(), std::size_t(1));  // the question only
    // Rows after a shorter file's last line keep their text, but not their tick.
    fx.fillRow(4, {"x", "1", "2", "3", "4", "5"});
    fx.open(writeFile("three.txt", fullFile(3)));
    QCOMPARE(fx.rowTexts(4), (QStringList{"x", "1", "2", "3", "4", "5"}));
    QCOMPARE(fx.ticks(), QList<bool>(kRowCount, false));
    // A line far longer than one read.
    const QByteArray line = "1,\"" + QByteArray(3 * 1024 * 1024, 'x') + "\",1,2,3,4,5\r\n2,\"b\",1,1,1,1,1";
    QVERIFY(loadEruptionDataFile(fx.session, writeFile("long.txt", line)).rowsRead == 2);
    QCOMPARE(fx.rowTexts(1).mid(1), (QStringList{"1", "2", "3", "4", "5"}));
  }

  // Each file after the full one, whose values the per-row arrays then hold: rows 1 and 2.
  void openEdgeCases() {
    const std::pair<QByteArray, QStringList> cases[] = {
        {"1,\"z\",0,-1,0,-12.25,123.456789\r\n", QStringList{"z", "", "-1", "", "-12.25", "123.4568"} + fullRow(2)},
        {"1,\"0\",1,2,3,4,5\r\n", QStringList{"", "1", "2", "3", "4", "5"} + fullRow(2)},  // name 0 is none
        {"\r\n2,\"t\",x,,2,1e39,-1e39\r\n", fullRow(1) + QStringList{"t", "2002", "2", "2", "32.5", "131.5"}},
        {"1,\",9,9,9,9,9\r\n", QStringList{"a", "9", "9", "9", "9", "9"} + fullRow(2)},  // a lone quote keeps the name
    };
    for (const auto& [file, rows] : cases) {
      Fixture fx;
      fx.open(writeFile("full.txt", fullFile()));
      fx.open(writeFile("表ソ.txt", file));
      QCOMPARE(fx.rowTexts(1) + fx.rowTexts(2), rows);
      QCOMPARE(fx.label(Control::Label23), QStringLiteral("表ソ.txt"));
    }
  }

  // A missing file, a folder, a device, a FIFO without a writer (which would block a
  // plain read): at once a message naming the path and the reason, nothing changed.
  void openUnreadable() {
    QVERIFY(::mkfifo("fifo", 0600) == 0);
    for (const QString path : {"missing.txt", ".", "/dev/zero", "fifo"}) {
      Fixture fx;
      const QStringList before = fx.markEverything();
      fx.open(path);
      QCOMPARE(fx.table(), before);
      QCOMPARE(fx.platform.messages.size(), std::size_t(2));
      const QString text = fx.platform.messages[1].text;
      QCOMPARE(fx.lastMessage(), notice(text));
      QVERIFY2(text.contains("\n" + path + QStringLiteral("\n理由: ")) &&
                   text.contains(QStringLiteral("読み込めませんでした")),
               qPrintable(text));
    }
    QVERIFY(QFile::remove("fifo"));
  }

  void saveWritesTheTable() {
    Fixture fx;
    fx.fillRow(1, fullRow(1));
    fx.save(MessageAnswer::No);
    QCOMPARE(fx.lastMessage(), question("噴火データを保存します\n\r好みの名前をつけて保存して下さい\n\rいいですか"));
    QVERIFY(filesHere().isEmpty() && fx.platform.editorPaths.empty() && fx.session.EruptionYear[1] == 0);
    // Values an earlier open, save or Draw left in the arrays.
    fx.session.EruptionYear[2] = 1990;
    fx.session.VolcanoLongitude[2] = 130.299f;
    fx.session.EruptionMonth[3] = 7;
    fx.fillRow(1, {" a b ", "1914", "1", "12", "31.585", "130.657"});
    fx.fillRow(2, {"Unzen", "", "11", "x", " 32.761 ", "1e39"});     // empty and bad cells keep the arrays' values
    fx.fillRow(3, {"", "2000", "3", "31", "42.544", "140.839"});     // no name: an empty row
    fx.fillRow(4, {"表", "-0.5", "0", "0.001", "1234.5678", "-12"});
    fx.fillRow(5, {"  ", "2000", "3", "31", "42.544", "140.839"});   // a name of blanks is a name
    fx.save();
    QByteArray expected = "1,\" a b \",1914,1,12,31.585,130.657\r\n2,\"Unzen\",1990,11,0,32.761,130.299\r\n" +
                          emptyLine(3) + "4,\"\x95\x5C\",-0.5,0,0.001,1234.568,-12\r\n" +
                          "5,\"  \",2000,3,31,42.544,140.839\r\n";
    for (int row = 6; row <= 10; ++row) expected += emptyLine(row);
    QCOMPARE(readFile(kSaved), expected);
    QCOMPARE(fx.session.EruptionMonth[3], 0.0f);
    QCOMPARE(fx.platform.editorPaths, std::vector<QString>{savedPath()});
    QCOMPARE(fx.platform.messages.size(), std::size_t(2));
    QCOMPARE(filesHere(), QStringList{kSaved});  // no temporary left
  }

  // Each reason a name cannot be saved: the message names the row and the name, the old file stays.
  void saveRefusesName() {
    for (const auto& [name, mentioned] : {std::pair{"桜島🌋", "「🌋」"}, {"a\",b", "「a\",b」"}, {"a\rb", "改行"},
                                          {"譌･", "「譌･」"}, {"¥100", "「¥」"}}) {
      writeFile(kSaved, "earlier save");
      Fixture fx;
      fx.fillRow(1, {"Sakurajima", "1914", "1", "12", "31.585", "130.657"});  // ASCII: the file could read as UTF-8
      fx.fillRow(3, {name, "1", "1", "1", "1", "1"});
      fx.save();
      QCOMPARE(readFile(kSaved), QByteArray("earlier save"));
      QVERIFY(fx.platform.editorPaths.empty());
      const QString text = fx.platform.messages.at(1).text;
      QCOMPARE(fx.lastMessage(), notice(text));
      QVERIFY2(text.startsWith(QStringLiteral("3行目")) && text.contains(mentioned), qPrintable(text));
      QCOMPARE(filesHere(), QStringList{kSaved});
    }
  }

  void saveCannotWriteOrStartEditor() {
    QVERIFY(QDir::current().mkdir(kSaved));  // a folder in the file's place
    Fixture fx;
    fx.save();
    QVERIFY(fx.platform.editorPaths.empty() && filesHere().isEmpty());
    QVERIFY2(fx.lastMessage().contains("\n保存先: " + savedPath() + QStringLiteral("\n理由: ")),
             qPrintable(fx.lastMessage()));
    QVERIFY(QDir::current().rmdir(kSaved));
    fx.platform.editorStarts = false;
    fx.save();
    QCOMPARE(readFile(kSaved).count('\n'), 10);
    QCOMPARE(fx.platform.editorPaths, std::vector<QString>{savedPath()});
    QVERIFY2(fx.lastMessage().endsWith("\n" + savedPath()), qPrintable(fx.lastMessage()));
  }
};

QTEST_MAIN(TestOpenSave)
#include "tst_open_save.moc"
