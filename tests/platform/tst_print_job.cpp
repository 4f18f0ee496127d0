// Print jobs against a real CUPS scheduler and its PDF queue "eqcircle-pdf"
// (scripts/start_cups.sh sets both up as root); skipped where there is none.

#include "common/files.h"
#include "platform/print_job.h"

#include <QtTest>
#include <poll.h>
#include <pwd.h>
#include <sys/inotify.h>
#include <unistd.h>

using namespace eq;

namespace {

const QString kQueue = QStringLiteral("eqcircle-pdf");

enum class QueueState { Accepting, Rejecting, Stopped };

// Runs a CUPS command-line tool; its exit status and output, in English.
std::pair<int, QString> run(const QString& program, const QStringList& arguments) {
  QProcess process;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert("LC_ALL", "C");
  process.setProcessEnvironment(environment);
  process.start(program, arguments);
  if (!process.waitForFinished(60000)) return {-1, QString()};
  return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput())};
}

// Puts the queue in a state for one row and back when the row ends, whatever happened.
// The scheduler clears the queue's message when a job ends, so an earlier row's job
// must be over before the message is set.
struct QueueInState {
  QStringList undo;  // the command that brings the queue back
  bool ok = true;
  explicit QueueInState(QueueState state) {
    if (state == QueueState::Accepting) return;
    QDeadlineTimer deadline(60000);
    while (!run("lpstat", {"-o", kQueue}).second.trimmed().isEmpty() && !deadline.hasExpired()) QTest::qWait(50);
    const bool rejecting = state == QueueState::Rejecting;
    ok = run(rejecting ? "cupsreject" : "cupsdisable",
             {"-r", rejecting ? "eqcircle test: tray open" : "eqcircle test: jammed", kQueue}).first == 0;
    undo = QStringList{rejecting ? "cupsaccept" : "cupsenable", kQueue};
  }
  ~QueueInState() {
    if (!undo.isEmpty()) run(undo[0], undo.mid(1));
  }
};

// A one-page landscape A4 PDF with nothing on it, its cross-reference table counted here.
QByteArray blankPdf() {
  const QByteArrayList objects{"<< /Type /Catalog /Pages 2 0 R >>", "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
                               "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 842 595] >>"};
  QByteArray pdf("%PDF-1.4\n");
  QByteArray table = "xref\n0 4\n0000000000 65535 f \n";
  for (int k = 0; k < objects.size(); ++k) {
    table += QByteArray::number(pdf.size()).rightJustified(10, '0') + " 00000 n \n";
    pdf += QByteArray::number(k + 1) + " 0 obj\n" + objects[k] + "\nendobj\n";
  }
  const QByteArray start = QByteArray::number(pdf.size());
  return pdf + table + "trailer\n<< /Size 4 /Root 1 0 R >>\nstartxref\n" + start + "\n%%EOF\n";
}

// Where cups-pdf puts the jobs of this user: its "Out" setting.
QString pdfFolder() {
  QString out = QStringLiteral("/var/spool/cups-pdf/${USER}");
  for (const QByteArray& line : eq::test::readFile(QStringLiteral("/etc/cups/cups-pdf.conf")).split('\n')) {
    if (line.startsWith("Out ")) out = QString::fromUtf8(line.mid(4).trimmed());
  }
  const passwd* user = ::getpwuid(::geteuid());
  if (!user) return QString();
  return out.replace("${HOME}", QFile::decodeName(user->pw_dir)).replace("${USER}", QFile::decodeName(user->pw_name));
}

// Watches a folder for a PDF that is closed after writing; cups-pdf names it "...job_<id>.pdf".
class PdfWatch {
 public:
  explicit PdfWatch(const QString& folder) : folder_(folder), fd_(::inotify_init1(IN_CLOEXEC)) {
    QDir().mkpath(folder);
    if (fd_ >= 0) ::inotify_add_watch(fd_, QFile::encodeName(folder).constData(), IN_CLOSE_WRITE | IN_MOVED_TO);
  }
  ~PdfWatch() {
    if (fd_ >= 0) ::close(fd_);
  }
  PdfWatch(const PdfWatch&) = delete;
  PdfWatch& operator=(const PdfWatch&) = delete;

  // The finished file's path; empty when none came before the deadline, which only guards
  // against a queue that never prints.
  QString wait(int jobId) const {
    const QByteArray suffix = "job_" + QByteArray::number(jobId) + ".pdf";
    QDeadlineTimer deadline(60000);
    pollfd watch{fd_, POLLIN, 0};
    while (fd_ >= 0 && ::poll(&watch, 1, static_cast<int>(deadline.remainingTime())) > 0) {
      alignas(inotify_event) char buffer[4096];
      const ssize_t size = ::read(fd_, buffer, sizeof buffer);
      for (ssize_t at = 0; at < size;) {
        const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
        const QByteArray name(event->len ? event->name : "");
        if (name.endsWith(suffix)) return folder_ + '/' + QFile::decodeName(name);
        at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
      }
    }
    return QString();
  }

 private:
  QString folder_;
  int fd_;
};

}  // namespace

class TestPrintJob : public QObject {
  Q_OBJECT
 private slots:
  void initTestCase() {
    if (run("lpstat", {"-p", kQueue}).first != 0) {
      QSKIP("no CUPS scheduler with the queue eqcircle-pdf here (scripts/start_cups.sh sets them up as root)");
    }
    pdfPath_ = eq::test::writeFile(dir_.filePath("sheet.pdf"), blankPdf());
  }

  void submit_data() {
    QTest::addColumn<QString>("queue");
    QTest::addColumn<QueueState>("state");
    QTest::addColumn<QString>("error");  // empty: printed
    QTest::newRow("accepted") << kQueue << QueueState::Accepting << QString();
    QTest::newRow("rejecting jobs") << kQueue << QueueState::Rejecting
                                    << "プリンタ「eqcircle-pdf」は印刷ジョブを受け付けていません（eqcircle test: tray open）";
    QTest::newRow("stopped") << kQueue << QueueState::Stopped
                             << "プリンタ「eqcircle-pdf」は停止しています（eqcircle test: jammed）";
    QTest::newRow("missing queue") << "eqcircle-no-such-queue" << QueueState::Accepting
                                   << "プリンタ「eqcircle-no-such-queue」が見つかりません";
  }

  void submit() {
    QFETCH(QString, queue);
    QFETCH(QueueState, state);
    QFETCH(QString, error);
    const QueueInState queueState(state);
    QVERIFY(queueState.ok);
    const PdfWatch watch(pdfFolder());
    const auto jobsBefore = run("lpstat", {"-o", kQueue}).second.count('\n');

    const PrintJobResult result = submitPdf(queue, pdfPath_, QStringLiteral("地震サークル"));

    QCOMPARE(result.ok, error.isEmpty());
    if (!result.ok) {
      QVERIFY2(result.error.startsWith(error), qPrintable(result.error));
      QCOMPARE(run("lpstat", {"-o", kQueue}).second.count('\n'), jobsBefore);  // no job was left behind
      return;
    }
    QVERIFY(result.jobId > 0);
    const QString printed = watch.wait(result.jobId);
    QVERIFY2(!printed.isEmpty(), qPrintable("no PDF of job " + QString::number(result.jobId) + " in " + pdfFolder()));
    QVERIFY(eq::test::readFile(printed).startsWith("%PDF-"));
    QFile::remove(printed);
  }

  void defaultQueueAsLpstatSays() {
    const QString said = run("lpstat", {"-d"}).second.trimmed();
    const QString prefix = QStringLiteral("system default destination: ");
    const std::optional<QString> expected =
        said.startsWith(prefix) ? std::optional<QString>(said.mid(prefix.size())) : std::nullopt;
    QCOMPARE(defaultQueue(), expected);
  }

 private:
  QTemporaryDir dir_;
  QString pdfPath_;
};

QTEST_GUILESS_MAIN(TestPrintJob)
#include "tst_print_job.moc"
