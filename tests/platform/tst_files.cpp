// The files of the platform layer: where the background map is found, the window icon,
// reading only regular files (nothing makes the reader wait), and writing a file whole
// or not at all on disks that fail in the ways they do; helper threads started on another
// processor; whether the desktop has a text editor.

#include "common/files.h"
#include "platform/app_icon.h"
#include "platform/data_paths.h"
#include "platform/helper_thread.h"
#include "platform/regular_file.h"
#include "platform/safe_file.h"
#include "platform/text_editor.h"

#include <QtTest>
#include <cerrno>
#include <cstring>
#include <sched.h>
#include <sys/mount.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

using namespace eq;
using eq::test::readFile;
using eq::test::writeFile;

namespace {

QString systemText(int error) { return QString::fromLocal8Bit(std::strerror(error)); }
QString notRegular(const char* what) { return QStringLiteral("通常のファイルではなく、%1です").arg(QString::fromUtf8(what)); }

enum class Kind { Regular, Link, Fifo, Device, Folder, Socket, Missing };
enum class Place { Plain, FullDisk, FewKilobytesLeft, ReadOnlyDisk, MissingFolder, FolderInTheWay, Fifo };

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

// A 64 KiB tmpfs mounted on a folder for one test row; needs the right to mount (root).
struct SmallDisk {
  QByteArray folder;
  bool mounted;
  SmallDisk(const QString& path, unsigned long flags)
      : folder(QFile::encodeName(path)), mounted(::mount("tmpfs", folder.constData(), "tmpfs", flags, "size=64k") == 0) {}
  ~SmallDisk() {
    if (mounted) ::umount2(folder.constData(), MNT_DETACH);
  }
};

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

class TestFiles : public QObject {
  Q_OBJECT
 private slots:
  void backgroundMap_data() {
    QTest::addColumn<QStringList>("present");  // below the temporary root; a trailing / makes a folder
    QTest::addColumn<QString>("expected");
    const QString beside = QStringLiteral("usr/bin/JapanMap3.bmp");
    const QString installed = QStringLiteral("usr/share/eqcircle/JapanMap3.bmp");
    QTest::newRow("beside the program") << QStringList{beside} << beside;
    QTest::newRow("installed") << QStringList{installed} << installed;
    QTest::newRow("both: beside first") << QStringList{installed, beside} << beside;
    QTest::newRow("neither: beside named") << QStringList() << beside;
    QTest::newRow("a folder of that name") << QStringList{beside + '/', installed} << installed;
    // The programs behind the launcher, in <prefix>/lib/eqcircle.
    QTest::newRow("installed, from lib/eqcircle") << QStringList{"usr/lib/eqcircle/", installed} << installed;
  }
  // Beside the program first (a build tree), then in <prefix>/share/eqcircle (installed).
  void backgroundMap() {
    QFETCH(QStringList, present);
    QFETCH(QString, expected);
    QTemporaryDir root;
    const QDir dir(root.path());
    QVERIFY(dir.mkpath(QStringLiteral("usr/bin")));
    for (const QString& entry : present) {
      QVERIFY(dir.mkpath(entry.endsWith('/') ? entry : QFileInfo(entry).path()));
      if (!entry.endsWith('/')) writeFile(dir.filePath(entry), {});
    }
    const QString program = present.value(0).startsWith(QStringLiteral("usr/lib/")) ? "usr/lib/eqcircle" : "usr/bin";
    QCOMPARE(eq::backgroundMapPath(dir.filePath(program)), dir.filePath(expected));
  }

  // The compiled-in drawing at any size: transparent outside its rounded card, pale sea
  // inside, the innermost red circle (radius 36 about (128, 120) of 256, 8 wide).
  void icon() {
    for (const int size : {128, 256}) {
      const QImage image = eq::applicationIcon().pixmap(QSize(size, size)).toImage().convertToFormat(QImage::Format_ARGB32);
      QCOMPARE(image.size(), QSize(size, size));
      const auto at = [&](int x, int y) { return image.pixelColor(x * size / 256, y * size / 256); };
      QCOMPARE(at(0, 0).alpha(), 0);
      QCOMPARE(at(40, 40).rgba(), QColor(0xea, 0xf2, 0xf7).rgba());
      QCOMPARE(at(164, 121).rgba(), QColor(0xe0, 0x20, 0x1a).rgba());
    }
  }

  void kinds_data() {
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<QString>("reason");  // empty: read
    QTest::newRow("regular file") << Kind::Regular << QString();
    QTest::newRow("link to a regular file") << Kind::Link << QString();
    QTest::newRow("FIFO without a writer") << Kind::Fifo << notRegular("名前付きパイプ（FIFO）");
    QTest::newRow("/dev/null") << Kind::Device << notRegular("装置ファイル");
    QTest::newRow("folder") << Kind::Folder << notRegular("フォルダ");
    QTest::newRow("socket") << Kind::Socket << notRegular("ソケット");
    QTest::newRow("missing file") << Kind::Missing << systemText(ENOENT);
  }
  // Both the check and the read answer at once: a FIFO that blocked would hang this test.
  void kinds() {
    QFETCH(Kind, kind);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    QString path = dir.filePath("data.txt");
    const QByteArray content("1,\"桜島\",1914,1,12,31.585,130.657\r\n");
    if (kind == Kind::Regular || kind == Kind::Link) writeFile(path, content);
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
    QCOMPARE(read.bytes.value_or(QByteArray()), reason.isEmpty() ? content : QByteArray());
  }

  void readsAtMostTheLimit() {
    QTemporaryDir dir;
    const QString path = writeFile(dir.filePath("a.txt"), QByteArray(100000, 'a') + "b");
    QCOMPARE(readRegularFile(path, 100000).bytes.value(), QByteArray(100000, 'a'));
    QCOMPARE(readRegularFile(path, 0).bytes.value(), QByteArray());
  }

  void faults_data() {
    QTest::addColumn<Place>("place");
    QTest::addColumn<int>("bytes");   // how many to write
    QTest::addColumn<QString>("reason");  // empty: written
    QTest::newRow("replaced file") << Place::Plain << 100 << QString();
    QTest::newRow("full disk, small write") << Place::FullDisk << 100 << systemText(ENOSPC);
    QTest::newRow("8 KiB left, 64 KiB to write") << Place::FewKilobytesLeft << 65536 << systemText(ENOSPC);
    QTest::newRow("read-only disk") << Place::ReadOnlyDisk << 100 << systemText(EROFS);
    QTest::newRow("missing folder") << Place::MissingFolder << 100 << systemText(ENOENT);
    QTest::newRow("folder of that name") << Place::FolderInTheWay << 100 << notRegular("フォルダ");
    QTest::newRow("FIFO of that name") << Place::Fifo << 100 << notRegular("名前付きパイプ（FIFO）");
  }
  // Whatever fails, the old file keeps its bytes and no temporary file is left behind.
  void faults() {
    QFETCH(Place, place);
    QFETCH(int, bytes);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    QString folder = dir.path();
    const QByteArray old("earlier save\r\n");
    std::optional<SmallDisk> disk;
    if (place == Place::FullDisk || place == Place::FewKilobytesLeft || place == Place::ReadOnlyDisk) {
      disk.emplace(folder, place == Place::ReadOnlyDisk ? MS_RDONLY : 0);
      if (!disk->mounted) QSKIP(qPrintable("cannot mount a small tmpfs here: " + systemText(errno)));
    }
    if (place == Place::MissingFolder) folder += "/missing";
    const QString path = folder + "/無題.txt";
    if (place == Place::FolderInTheWay) QVERIFY(QDir(folder).mkdir("無題.txt"));
    if (place == Place::Fifo) QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    const bool hasOld = place == Place::Plain || place == Place::FullDisk || place == Place::FewKilobytesLeft;
    if (hasOld) writeFile(path, old);
    if (place == Place::FullDisk) fillDisk(folder, 0);
    if (place == Place::FewKilobytesLeft) fillDisk(folder, 8192);
    const auto entries = [&folder] { return QDir(folder).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot); };
    const QStringList before = entries();

    const QByteArray data(bytes, 'x');
    QCOMPARE(writeFileAtomically(path, data).value_or(QString()), reason);
    QCOMPARE(entries(), reason.isEmpty() ? QStringList{"無題.txt"} : before);
    if (hasOld) QCOMPARE(readFile(path), reason.isEmpty() ? data : old);
    struct stat status {};
    if (place == Place::Fifo) QVERIFY(::lstat(QFile::encodeName(path).constData(), &status) == 0 && S_ISFIFO(status.st_mode));
  }

  // A link in a world-writable sticky folder leads on only for its owner or the folder's
  // owner (the kernel's rule). Links of another user need root to be made here.
  void plantedLinks_data() {
    QTest::addColumn<uint>("folderMode");
    QTest::addColumn<bool>("othersFolder");  // owned by another user (nobody), or by this one
    QTest::addColumn<bool>("othersLink");
    QTest::addColumn<bool>("chained");       // reached through a link of this user's own
    QTest::addColumn<bool>("refused");
    QTest::newRow("another user's link in a shared folder") << 01777u << false << true << false << true;
    QTest::newRow("reached through a link of mine") << 01777u << false << true << true << true;
    QTest::newRow("my own link there") << 01777u << false << false << false << false;
    QTest::newRow("the folder owner's link") << 01777u << true << true << false << false;
    QTest::newRow("a folder without the sticky bit") << 0777u << false << true << false << false;
  }
  void plantedLinks() {
    QFETCH(uint, folderMode);
    QFETCH(bool, othersFolder);
    QFETCH(bool, othersLink);
    QFETCH(bool, chained);
    QFETCH(bool, refused);
    if ((othersFolder || othersLink) && ::geteuid() != 0) QSKIP("only root can give a link to another user");
    constexpr uid_t kNobody = 65534;
    QTemporaryDir dir;
    const QString victim = writeFile(dir.filePath("victim.png"), "precious");
    const QByteArray shared = QFile::encodeName(dir.filePath("shared"));
    const QByteArray link = shared + "/sheet.png";
    QVERIFY(::mkdir(shared.constData(), 0700) == 0 && ::chmod(shared.constData(), folderMode) == 0);
    QCOMPARE(::symlink(QFile::encodeName(victim).constData(), link.constData()), 0);
    if (othersLink) QCOMPARE(::lchown(link.constData(), kNobody, kNobody), 0);
    if (othersFolder) QCOMPARE(::chown(shared.constData(), kNobody, kNobody), 0);
    const QString out = chained ? dir.filePath("mine.png") : QFile::decodeName(link);
    if (chained) QVERIFY(QFile::link(QFile::decodeName(link), out));

    const std::optional<QString> reason = writeFileAtomically(out, "sheet");
    QVERIFY2(reason.has_value() == refused, qPrintable(reason.value_or("written")));
    if (refused) QVERIFY2(reason->contains("シンボリックリンク"), qPrintable(*reason));
    QCOMPARE(readFile(victim), refused ? QByteArray("precious") : QByteArray("sheet"));
  }

  // A helper starts on another processor but is not left tied to it: once running it
  // may use every processor its creator may, and with only one it runs there.
  // A text editor counts when xdg-mime names a program that shows a window: without one,
  // xdg-open would fall back to a text-mode browser, or fail.
  void textEditor_data() {
    QTest::addColumn<QByteArray>("registered");  // text/plain's program in mimeapps.list
    QTest::addColumn<QByteArray>("entry");       // its desktop file; none: not there
    QTest::addColumn<bool>("editor");
    const QByteArray entry = "[Desktop Entry]\nType=Application\nName=E\nExec=true %f\n";
    QTest::newRow("an editor") << QByteArray("edit.desktop") << entry << true;
    QTest::newRow("nothing registered") << QByteArray() << QByteArray() << false;
    QTest::newRow("a program that is gone") << QByteArray("gone.desktop") << QByteArray() << false;
    QTest::newRow("a terminal program, no terminal") << QByteArray("vi.desktop") << entry + "Terminal=true\n" << false;
  }
  void textEditor() {
    QFETCH(QByteArray, registered);
    QFETCH(QByteArray, entry);
    QFETCH(bool, editor);
    if (!editor && !entry.isEmpty() && !QStandardPaths::findExecutable("x-terminal-emulator").isEmpty())
      QSKIP("this system has a terminal emulator for terminal programs");
    QTemporaryDir home;
    for (const char* name : {"XDG_CONFIG_HOME", "XDG_CONFIG_DIRS", "XDG_DATA_HOME", "XDG_DATA_DIRS"})
      qputenv(name, home.path().toUtf8());
    for (const char* name : {"XDG_CURRENT_DESKTOP", "DESKTOP_SESSION", "KDE_FULL_SESSION", "TERMINAL"}) qunsetenv(name);
    writeFile(home.filePath("mimeapps.list"), "[Default Applications]\ntext/plain=" + registered + "\n");
    QVERIFY(QDir(home.path()).mkdir("applications"));
    if (!entry.isEmpty()) writeFile(home.filePath("applications/" + registered), entry);
    QCOMPARE(desktopHasTextEditor(), editor);
  }

  // A helper starts alone on another processor than its creator's, then may run wherever
  // the process may; with only its creator's processor it just runs.
  void helperThreads_data() {
    QTest::addColumn<bool>("oneProcessor");
    QTest::newRow("every processor") << false;
    QTest::newRow("only the creator's processor") << true;
  }
  void helperThreads() {
    QFETCH(bool, oneProcessor);
    cpu_set_t before;
    QCOMPARE(sched_getaffinity(0, sizeof before, &before), 0);
    if (!oneProcessor && CPU_COUNT(&before) < 2) QSKIP("the process may use one processor only");
    const int creator = sched_getcpu();
    cpu_set_t allowed = before;
    if (oneProcessor) {
      CPU_ZERO(&allowed);
      CPU_SET(creator, &allowed);
      QCOMPARE(sched_setaffinity(0, sizeof allowed, &allowed), 0);
    }
    cpu_set_t seen;
    CPU_ZERO(&seen);
    bool ran = false;
    HelperThread helper([&] { ran = sched_getaffinity(0, sizeof seen, &seen) == 0; });
    helper.join();
    sched_setaffinity(0, sizeof before, &before);
    QVERIFY(ran);
    QVERIFY(CPU_EQUAL(&seen, &allowed));
    QCOMPARE(helper.startedOn() >= 0, !oneProcessor);
    QVERIFY(helper.startedOn() != creator);
  }
};

QTEST_MAIN(TestFiles)
#include "tst_files.moc"
