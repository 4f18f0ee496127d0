#pragma once
// Command1 "噴火データファイルを開く": loads an eruption data file into the table.

#include <QString>

namespace eq {

class Session;

void openEruptionDataFile(Session& session);

// The open command after its file dialog, also for a path chosen elsewhere (the
// command line, a file dropped onto the window): it becomes the dialog's remembered
// path; a file that cannot be read or is not eruption data is reported at once,
// and only a file that will be loaded gets the question.
void openEruptionDataFileAt(Session& session, const QString& path);

// What loading a file did.
struct LoadResult {
  bool ok = false;     // false: the file could not be read and nothing changed
  QString error;       // why, for a message (Japanese)
};

// The open command after its question, without dialogs: reads and checks the whole
// file first; when that works, makes every row usable and unticked, shows the file's
// name in Label23 and fills the rows read. The headless renderer uses it too.
LoadResult loadEruptionDataFile(Session& session, const QString& path);

}  // namespace eq
