// Only regular files are read, and nothing else makes the reader wait.

#include "platform/regular_file.h"

#include <QtTest>
#include <cerrno>
#include <cstring>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

using namespace eq;

namespace {

enum class Kind { Regular, Link, Fifo, Device, Folder, Socket, Missing };

QString notRegular(const char* what) { return QStringLiteral("通常のファイルではなく、%1です").arg(QString::fromUtf8(what)); }

// A listening Unix socket at `path`; the descriptor closes at the end of the row.
struct Socket {
  int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
  ~Socket() { ::close(fd); }
  bool bindTo(const QByteArray& path) const {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (fd < 0 || path.size() >= qsizetype(sizeof address.sun_path)) return false;
    std::memcpy(address.sun_path, path.constData(), static_cast<std::size_t>(path.size()));
    return ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
  }
};

}  // namespace

class TestRegularFile : public QObject {
  Q_OBJECT
 private slots:
  void kinds_data() {
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<QString>("reason");  // empty: read
    QTest::newRow("regular file") << Kind::Regular << QString();
    QTest::newRow("link to a regular file") << Kind::Link << QString();
    QTest::newRow("FIFO without a writer") << Kind::Fifo << notRegular("名前付きパイプ（FIFO）");
    QTest::newRow("/dev/null") << Kind::Device << notRegular("装置ファイル");
    QTest::newRow("folder") << Kind::Folder << notRegular("フォルダ");
    QTest::newRow("socket") << Kind::Socket << notRegular("ソケット");
    QTest::newRow("missing file") << Kind::Missing << QString::fromLocal8Bit(std::strerror(ENOENT));
  }

  // Both the check and the read answer at once: a FIFO that blocked would hang this test.
  void kinds() {
    QFETCH(Kind, kind);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QString path = dir.filePath("data.txt");
    const QByteArray content("1,\"桜島\",1914,1,12,31.585,130.657\r\n");
    if (kind == Kind::Regular || kind == Kind::Link) {
      QFile file(path);
      QVERIFY(file.open(QIODevice::WriteOnly) && file.write(content) == content.size());
    }
    if (kind == Kind::Link) {
      QVERIFY(QFile::link(path, dir.filePath("link.txt")));
      path = dir.filePath("link.txt");
    }
    if (kind == Kind::Fifo) QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    if (kind == Kind::Device) path = QStringLiteral("/dev/null");
    if (kind == Kind::Folder) path = dir.path();
    Socket socket;
    if (kind == Kind::Socket) QVERIFY(socket.bindTo(QFile::encodeName(path)));

    QCOMPARE(checkRegularFile(path).value_or(QString()), reason);
    const FileBytes read = readRegularFile(path, 1 << 20);
    QCOMPARE(read.reason, reason);
    QCOMPARE(read.bytes.has_value(), reason.isEmpty());
    if (read.bytes) QCOMPARE(*read.bytes, content);
  }

  void readsAtMostTheLimit() {
    QTemporaryFile file;
    QVERIFY(file.open());
    QVERIFY(file.write(QByteArray(100000, 'a') + "b") == 100001);
    file.close();
    QCOMPARE(readRegularFile(file.fileName(), 100000).bytes.value(), QByteArray(100000, 'a'));
    QCOMPARE(readRegularFile(file.fileName(), 0).bytes.value(), QByteArray());
  }
};

QTEST_APPLESS_MAIN(TestRegularFile)
#include "tst_regular_file.moc"
