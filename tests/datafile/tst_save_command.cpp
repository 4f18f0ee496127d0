// Command2 end to end on an offscreen window, writing into a temporary current
// directory: the question, the refresh of the per-row arrays, the ten lines of
// "無題.txt", the editor, and the failures that must not lose data silently.

#include "app/form1.h"
#include "app/scripted_platform.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

using namespace eq;

namespace {

const QString kFileName = QStringLiteral("無題.txt");

struct Window {
  ScriptedPlatform platform;
  Form1 form{platform};
  Window() { form.Form_Load(); }

  void setRow(int r, const QStringList& fields) {
    for (int f = 0; f < 6; ++f) form.TextEQ((r - 1) * 6 + 1 + f)->setText(fields.value(f));
  }
  QStringList row(int r) const {
    QStringList out;
    for (int f = 1; f <= 6; ++f) out << form.TextEQ((r - 1) * 6 + f)->text();
    return out;
  }
  void save(MessageAnswer answer = MessageAnswer::Yes) {
    platform.messageAnswers.push_back(answer);
    QTest::mouseClick(form.Command2, Qt::LeftButton);
  }
  void open(const QString& path) {
    platform.fileDialogAnswers.push_back(path);
    platform.messageAnswers.push_back(MessageAnswer::Yes);
    QTest::mouseClick(form.Command1, Qt::LeftButton);
  }
};

QByteArray savedBytes() {
  QFile file(kFileName);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray emptyLine(int row) { return QByteArray::number(row) + ",\"\",0,0,0,0,0\r\n"; }

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
  w.setRow(1, {"桜島", "1914", "1", "12", "31.585", "130.657"});
  w.save(MessageAnswer::No);
  QCOMPARE(w.platform.messages.size(), std::size_t(1));
  const ScriptedPlatform::Message& question = w.platform.messages[0];
  QCOMPARE(question.text,
           QStringLiteral("噴火データを保存します\n\r好みの名前をつけて保存して下さい\n\rいいですか"));
  QCOMPARE(question.caption, QStringLiteral("メッセージ"));
  QCOMPARE(question.buttons, MessageButtons::YesNo);
  QCOMPARE(question.icon, MessageIcon::Information);
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
  QCOMPARE(savedBytes(), expected);
  QCOMPARE(w.platform.messages.size(), std::size_t(1));
  QCOMPARE(w.platform.editorPaths.size(), std::size_t(1));
  QCOMPARE(w.platform.editorPaths[0], QDir::toNativeSeparators(QDir::current().absoluteFilePath(kFileName)));
  QCOMPARE(QDir::current().entryList(QDir::Files | QDir::Hidden), QStringList{kFileName});  // no temporary left
}

void TestSaveCommand::refreshFromTable() {
  Window w;
  // Values an earlier open, save or Draw left in the arrays.
  w.form.EruptionYear[2] = 1990;
  w.form.VolcanoLongitude[2] = 130.299f;
  w.form.VolcanoName[3] = "old";
  w.form.EruptionMonth[3] = 7;
  w.setRow(1, {" a b ", "1914", "1", "12", "31.585", "130.657"});
  w.setRow(2, {"Unzen", "", "11", "x", " 32.761 ", "1e39"});  // empty and bad cells keep the arrays' values
  w.setRow(3, {"", "2000", "3", "31", "42.544", "140.839"});   // no name: an empty row
  w.setRow(4, {"表", "-0.5", "0", "0.001", "1234.5678", "-12"});
  w.save();
  QByteArray expected = "1,\" a b \",1914,1,12,31.585,130.657\r\n"
                        "2,\"Unzen\",1990,11,0,32.761,130.299\r\n" +
                        emptyLine(3) + "4,\"\x95\x5C\",-0.5,0,0.001,1234.568,-12\r\n";
  for (int r = 5; r <= 10; ++r) expected += emptyLine(r);
  QCOMPARE(savedBytes(), expected);
  QCOMPARE(w.form.VolcanoName[3], QString());
  QCOMPARE(w.form.EruptionMonth[3], 0.0f);
  QCOMPARE(w.form.VolcanoLatitude[2], 32.761f);
}

// Names and numbers typed into the table come back the same after save, clear and open.
void TestSaveCommand::roundTrip_data() {
  QTest::addColumn<QStringList>("fields");
  QTest::newRow("record") << QStringList{"桜島", "1914", "1", "12", "31.585", "130.657"};
  QTest::newRow("backslash second bytes") << QStringList{"表ソ十能予噂", "2000", "7", "8", "34.094", "139.526"};
  QTest::newRow("extensions") << QStringList{"①～㈱纊髙№", "1", "2", "3", "4", "5"};
  QTest::newRow("blanks") << QStringList{"  有珠山　", "2000", "3", "31", "42.544", "140.839"};
  QTest::newRow("commas") << QStringList{",a,b,,c,", "-1", "0.5", "-0.25", "-12.5", "1.234568E+07"};
  QTest::newRow("quotes and commas") << QStringList{"\"x,y\"", "1", "2", "3", "4", "5"};
  QTest::newRow("only a name") << QStringList{"Fuji", "", "", "", "", ""};
}

void TestSaveCommand::roundTrip() {
  QFETCH(QStringList, fields);
  Window w;
  w.setRow(5, fields);
  w.save();
  QTest::mouseClick(w.form.Command5, Qt::LeftButton);  // clear the table
  w.open(QDir::current().absoluteFilePath(kFileName));
  QCOMPARE(w.row(5), fields);
  QCOMPARE(w.row(1), QStringList(6, QString()));
}

void TestSaveCommand::unwritableName_data() {
  QTest::addColumn<QString>("name");
  QTest::addColumn<QString>("shown");  // what the message must mention
  QTest::newRow("emoji") << "桜島🌋" << "🌋";
  QTest::newRow("outside code page 932") << "Piton de la Fournaise é" << "é";
  QTest::newRow("quote before a comma") << "a\",b" << "a\",b";
  QTest::newRow("line break") << "a\rb" << "3行目";
}

void TestSaveCommand::unwritableName() {
  QFETCH(QString, name);
  QFETCH(QString, shown);
  QFile old(kFileName);
  QVERIFY(old.open(QIODevice::WriteOnly));
  old.write("earlier save");
  old.close();
  Window w;
  w.setRow(1, {"桜島", "1914", "1", "12", "31.585", "130.657"});
  w.setRow(3, {name, "1", "1", "1", "1", "1"});
  w.save();
  QCOMPARE(savedBytes(), QByteArray("earlier save"));
  QVERIFY(w.platform.editorPaths.empty());
  QCOMPARE(w.platform.messages.size(), std::size_t(2));
  const ScriptedPlatform::Message& message = w.platform.messages[1];
  QCOMPARE(message.caption, QStringLiteral("メッセージ"));
  QVERIFY2(message.text.startsWith(QStringLiteral("3行目")), qPrintable(message.text));
  QVERIFY2(message.text.contains(shown), qPrintable(message.text));
  QCOMPARE(QDir::current().entryList(QDir::Files | QDir::Hidden), QStringList{kFileName});
}

// "無題.txt" is a folder: the complete file cannot be put in its place.
void TestSaveCommand::cannotWrite() {
  QVERIFY(QDir::current().mkdir(kFileName));
  Window w;
  w.setRow(1, {"桜島", "1914", "1", "12", "31.585", "130.657"});
  w.save();
  QVERIFY(w.platform.editorPaths.empty());
  QCOMPARE(w.platform.messages.size(), std::size_t(2));
  const QString path = QDir::toNativeSeparators(QDir::current().absoluteFilePath(kFileName));
  QVERIFY2(w.platform.messages[1].text.contains(path), qPrintable(w.platform.messages[1].text));
  QVERIFY(QFileInfo(kFileName).isDir());
  QCOMPARE(QDir::current().entryList(QDir::Files | QDir::Hidden), QStringList{});
}

void TestSaveCommand::editorCannotStart() {
  Window w;
  w.platform.editorStarts = false;
  w.save();
  QCOMPARE(savedBytes().count('\n'), 10);
  QCOMPARE(w.platform.editorPaths.size(), std::size_t(1));
  QCOMPARE(w.platform.messages.size(), std::size_t(2));
  QVERIFY2(w.platform.messages[1].text.contains(w.platform.editorPaths[0]), qPrintable(w.platform.messages[1].text));
}

QTEST_MAIN(TestSaveCommand)
#include "tst_save_command.moc"
