#pragma once
// The program run as its own process, as a person or a script would run it.

#include <QProcess>
#include <QStringList>

namespace eq::test {

struct Run {
  bool crashed = false;  // ended by a signal (a run that does not end in two minutes is stopped, and is not)
  int exitCode = -1;     // -1 when it did not end normally
  QString out, err;
};

// `environment` holds NAME=VALUE settings over this process's own (or over none when not
// `inherited`); the render command chooses the offscreen platform itself, so
// QT_QPA_PLATFORM is not passed on.
inline Run runEqcircle(const QStringList& args, const QStringList& environment = {}, const QString& folder = {},
                       bool inherited = true) {
  QProcess process;
  QProcessEnvironment env = inherited ? QProcessEnvironment::systemEnvironment() : QProcessEnvironment();
  env.remove(QStringLiteral("QT_QPA_PLATFORM"));
  for (const QString& setting : environment) env.insert(setting.section('=', 0, 0), setting.section('=', 1));
  process.setProcessEnvironment(env);
  process.setWorkingDirectory(folder);
  process.start(QStringLiteral(EQ_EQCIRCLE), args);
  const bool ended = process.waitForFinished(120000);
  if (!ended) process.kill();
  const bool normal = ended && process.exitStatus() == QProcess::NormalExit;
  return {ended && !normal, normal ? process.exitCode() : -1, QString::fromUtf8(process.readAllStandardOutput()),
          QString::fromUtf8(process.readAllStandardError())};
}

}  // namespace eq::test
