// Command2 end to end on an offscreen window, writing into a temporary current
// directory: the question, the refresh of the per-row arrays, the ten lines of
// "無題.txt", the editor, and the failures that must not lose data silently.

#include "common/form_fixture.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

using namespace eq;
using namespace eq::test;

namespace {

const QString kFileName = QStringLiteral("無題.txt");
const QStringList kSakurajima{"桜島", "1914", "1", "12", "31.585", "130.657"};

struct Window : FormFixture {
  void save(MessageAnswer answer = MessageAnswer::Yes) {
    platform.messageAnswers.push_back(answer);
    click(form.Command2);
  }
};

QByteArray emptyLine(int row) { return QByteArray::number(row) + ",\"\",0,0,0,0,0\r\n"; }
QString savedPath() { return QDir::toNativeSeparators(QDir::current().absoluteFilePath(kFileName)); }
QStringList filesHere() { return QDir::current().entryList(QDir::Files | QDir::Hidden); }

}  // namespace

class TestSaveCommand : public QObject {
  Q_OBJECT
 private slots:
  void init();
  void cleanup();
  void questionAndNo();
  void emptyTable();
  void refreshFromTable();
  void roundTrip_data();
  void roundTrip();
  void unwritableName_data();
  void unwritableName();
  void cannotWrite();
  void editorCannotStart();

 private:
  std::unique_ptr<QTemporaryDir> dir_;
  QString previous_;
};

void TestSaveCommand::init() {
  previous_ = QDir::currentPath();
  dir_ = std::make_unique<QTemporaryDir>();
  QVERIFY(dir_->isValid());
  QVERIFY(QDir::setCurrent(dir_->path()));
}

void TestSaveCommand::cleanup() {
  QDir::setCurrent(previous_);
  dir_.reset();
}

void TestSaveCommand::questionAndNo() {
  Window w;
  fillRow(w.form, 1, kSakurajima);
  w.save(MessageAnswer::No);
  QCOMPARE(w.platform.messages.size(), std::size_t(1));
  QCOMPARE(shown(w.platform.messages[0]),
           shown("噴火データを保存します\n\r好みの名前をつけて保存して下さい\n\rいいですか", MessageButtons::YesNo,
                 MessageIcon::Information));
  QVERIFY(!QFile::exists(kFileName));
  QVERIFY(w.platform.editorPaths.empty());
  QCOMPARE(w.form.VolcanoName[1], QString());
  QCOMPARE(w.form.EruptionYear[1], 0.0f);
}

void TestSaveCommand::emptyTable() {
  Window w;
  for (int r = 1; r <= 10; ++r) w.form.CheckEQ(r)->setChecked(r % 2 == 0);
  w.save();
  QByteArray expected;
  for (int r = 1; r <= 10; ++r) expected += emptyLine(r);
  QCOMPARE(readFile(kFileName), expected);
  QCOMPARE(w.platform.messages.size(), std::size_t(1));
  QCOMPARE(w.platform.editorPaths, std::vector<QString>{savedPath()});
  QCOMPARE(filesHere(), QStringList{kFileName});  // no temporary left
}

void TestSaveCommand::refreshFromTable() {
  Window w;
  // Values an earlier open, save or Draw left in the arrays.
  w.form.EruptionYear[2] = 1990;
  w.form.VolcanoLongitude[2] = 130.299f;
  w.form.VolcanoName[3] = "old";
  w.form.EruptionMonth[3] = 7;
  fillRow(w.form, 1, {" a b ", "1914", "1", "12", "31.585", "130.657"});
  fillRow(w.form, 2, {"Unzen", "", "11", "x", " 32.761 ", "1e39"});  // empty and bad cells keep the arrays' values
  fillRow(w.form, 3, {"", "2000", "3", "31", "42.544", "140.839"});   // no name: an empty row
  fillRow(w.form, 4, {"表", "-0.5", "0", "0.001", "1234.5678", "-12"});
  w.save();
  QByteArray expected = "1,\" a b \",1914,1,12,31.585,130.657\r\n"
                        "2,\"Unzen\",1990,11,0,32.761,130.299\r\n" +
                        emptyLine(3) + "4,\"\x95\x5C\",-0.5,0,0.001,1234.568,-12\r\n";
  for (int r = 5; r <= 10; ++r) expected += emptyLine(r);
  QCOMPARE(readFile(kFileName), expected);
  QCOMPARE(w.form.VolcanoName[3], QString());
  QCOMPARE(w.form.EruptionMonth[3], 0.0f);
  QCOMPARE(w.form.VolcanoLatitude[2], 32.761f);
}

// Names and numbers typed into the table come back the same after save, clear and open.
void TestSaveCommand::roundTrip_data() {
  QTest::addColumn<QStringList>("fields");
  QTest::newRow("record") << kSakurajima;
  QTest::newRow("backslash second bytes") << QStringList{"表ソ十能予噂", "2000", "7", "8", "34.094", "139.526"};
  QTest::newRow("blanks") << QStringList{"  有珠山　", "2000", "3", "31", "42.544", "140.839"};
  QTest::newRow("commas") << QStringList{",a,b,,c,", "-1", "0.5", "-0.25", "-12.5", "1.234568E+07"};
  QTest::newRow("only a name") << QStringList{"Fuji", "", "", "", "", ""};
}

void TestSaveCommand::roundTrip() {
  QFETCH(QStringList, fields);
  Window w;
  fillRow(w.form, 5, fields);
  w.save();
  click(w.form.Command5);  // clear the table
  w.platform.fileDialogAnswers.push_back(QDir::current().absoluteFilePath(kFileName));
  w.platform.messageAnswers.push_back(MessageAnswer::Yes);
  click(w.form.Command1);
  QCOMPARE(rowTexts(w.form, 5), fields);
  QCOMPARE(rowTexts(w.form, 1), QStringList(6, QString()));
}

// One case for each reason a name cannot be saved; the message names the row and the name.
void TestSaveCommand::unwritableName_data() {
  QTest::addColumn<QString>("name");
  QTest::addColumn<QString>("shown");  // what the message must mention
  QTest::newRow("outside code page 932") << "桜島🌋" << "🌋";
  QTest::newRow("quote before a comma") << "a\",b" << "a\",b";
  QTest::newRow("line break") << "a\rb" << "3行目";
  QTest::newRow("reads as UTF-8") << "譌･" << "譌･";  // E6 97 A5 in Shift-JIS: 日 in UTF-8
}

void TestSaveCommand::unwritableName() {
  QFETCH(QString, name);
  QFETCH(QString, shown);
  writeFile(kFileName, "earlier save");
  Window w;
  fillRow(w.form, 1, {"Sakurajima", "1914", "1", "12", "31.585", "130.657"});  // ASCII: the file could read as UTF-8
  fillRow(w.form, 3, {name, "1", "1", "1", "1", "1"});
  w.save();
  QCOMPARE(readFile(kFileName), QByteArray("earlier save"));
  QVERIFY(w.platform.editorPaths.empty());
  QCOMPARE(w.platform.messages.size(), std::size_t(2));
  const ScriptedPlatform::Message& message = w.platform.messages[1];
  QCOMPARE(message.caption, QStringLiteral("メッセージ"));
  QVERIFY2(message.text.startsWith(QStringLiteral("3行目")) && message.text.contains(shown), qPrintable(message.text));
  QCOMPARE(filesHere(), QStringList{kFileName});
}

// "無題.txt" is a folder: the complete file cannot be put in its place.
void TestSaveCommand::cannotWrite() {
  QVERIFY(QDir::current().mkdir(kFileName));
  Window w;
  fillRow(w.form, 1, kSakurajima);
  w.save();
  QVERIFY(w.platform.editorPaths.empty());
  QCOMPARE(w.platform.messages.size(), std::size_t(2));
  QVERIFY2(w.platform.messages[1].text.contains(savedPath()), qPrintable(w.platform.messages[1].text));
  QVERIFY(QFileInfo(kFileName).isDir());
  QCOMPARE(filesHere(), QStringList{});
}

void TestSaveCommand::editorCannotStart() {
  Window w;
  w.platform.editorStarts = false;
  w.save();
  QCOMPARE(readFile(kFileName).count('\n'), 10);
  QCOMPARE(w.platform.editorPaths, std::vector<QString>{savedPath()});
  QCOMPARE(w.platform.messages.size(), std::size_t(2));
  QVERIFY2(w.platform.messages[1].text.contains(savedPath()), qPrintable(w.platform.messages[1].text));
}

QTEST_MAIN(TestSaveCommand)
#include "tst_save_command.moc"
