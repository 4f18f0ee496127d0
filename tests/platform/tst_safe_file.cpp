// Writing a file whole or not at all, on disks that fail in the ways they do.

#include "platform/safe_file.h"

#include <QtTest>
#include <cerrno>
#include <cstring>
#include <sys/mount.h>
#include <sys/stat.h>

using namespace eq;

namespace {

enum class Place { Plain, FullDisk, FewKilobytesLeft, ReadOnlyDisk, MissingFolder, FolderInTheWay, Fifo };

QString systemText(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

// A 64 KiB tmpfs mounted on a folder for one test row; needs the right to mount (root).
class SmallDisk {
 public:
  SmallDisk(const QString& folder, unsigned long flags) : folder_(QFile::encodeName(folder)) {
    mounted_ = ::mount("tmpfs", folder_.constData(), "tmpfs", flags, "size=64k") == 0;
    if (!mounted_) why_ = systemText(errno);
  }
  ~SmallDisk() {
    if (mounted_) ::umount2(folder_.constData(), MNT_DETACH);
  }
  SmallDisk(const SmallDisk&) = delete;
  SmallDisk& operator=(const SmallDisk&) = delete;
  bool mounted() const { return mounted_; }
  QString why() const { return why_; }

 private:
  QByteArray folder_;
  bool mounted_ = false;
  QString why_;
};

void writeFile(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly));
  QCOMPARE(file.write(bytes), bytes.size());
}

// Takes every free block of the disk, then gives `leave` bytes of them back.
void fillDisk(const QString& folder, qint64 leave) {
  QFile filler(folder + "/filler");
  QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
  const QByteArray block(4096, 'f');
  while (filler.write(block) == block.size()) {
  }
  QCOMPARE(filler.error(), QFileDevice::ResourceError);
  QVERIFY(filler.resize(qMax<qint64>(0, filler.size() - leave)));
}

}  // namespace

class TestSafeFile : public QObject {
  Q_OBJECT
 private slots:
  void faults_data() {
    QTest::addColumn<Place>("place");
    QTest::addColumn<int>("bytes");   // how many to write
    QTest::addColumn<QString>("reason");  // empty: written
    QTest::newRow("replaced file") << Place::Plain << 100 << QString();
    QTest::newRow("full disk, small write") << Place::FullDisk << 100 << systemText(ENOSPC);
    QTest::newRow("8 KiB left, 64 KiB to write") << Place::FewKilobytesLeft << 65536 << systemText(ENOSPC);
    QTest::newRow("read-only disk") << Place::ReadOnlyDisk << 100 << systemText(EROFS);
    QTest::newRow("missing folder") << Place::MissingFolder << 100 << systemText(ENOENT);
    QTest::newRow("folder of that name") << Place::FolderInTheWay << 100 << QStringLiteral("通常のファイルではなく、フォルダです");
    QTest::newRow("FIFO of that name") << Place::Fifo << 100 << QStringLiteral("通常のファイルではなく、名前付きパイプ（FIFO）です");
  }

  // Whatever fails, the old file keeps its bytes and no temporary file is left behind.
  void faults() {
    QFETCH(Place, place);
    QFETCH(int, bytes);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QString folder = dir.path();
    const QByteArray old("earlier save\r\n");
    const bool onSmallDisk = place == Place::FullDisk || place == Place::FewKilobytesLeft || place == Place::ReadOnlyDisk;
    std::optional<SmallDisk> disk;
    if (onSmallDisk) {
      disk.emplace(folder, place == Place::ReadOnlyDisk ? MS_RDONLY : 0);
      if (!disk->mounted()) QSKIP(qPrintable("cannot mount a small tmpfs here: " + disk->why()));
    }
    if (place == Place::MissingFolder) folder += "/missing";
    const QString path = folder + "/無題.txt";
    if (place == Place::FolderInTheWay) QVERIFY(QDir(folder).mkdir("無題.txt"));
    if (place == Place::Fifo) QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    const bool hasOld = place == Place::Plain || place == Place::FullDisk || place == Place::FewKilobytesLeft;
    if (hasOld) writeFile(path, old);
    if (place == Place::FullDisk) fillDisk(folder, 0);
    if (place == Place::FewKilobytesLeft) fillDisk(folder, 8192);
    const QStringList before = QDir(folder).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);

    const QByteArray data(bytes, 'x');
    QCOMPARE(writeFileAtomically(path, data).value_or(QString()), reason);

    QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot),
             reason.isEmpty() ? QStringList{"無題.txt"} : before);
    if (hasOld) {
      QFile file(path);
      QVERIFY(file.open(QIODevice::ReadOnly));
      QCOMPARE(file.readAll(), reason.isEmpty() ? data : old);
    }
    struct stat status {};
    if (place == Place::Fifo) QVERIFY(::lstat(QFile::encodeName(path).constData(), &status) == 0 && S_ISFIFO(status.st_mode));
  }
};

QTEST_APPLESS_MAIN(TestSafeFile)
#include "tst_safe_file.moc"
