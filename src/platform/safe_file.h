#pragma once
// Writing a whole file so that it is either complete or not there: the bytes go to a
// temporary file beside it, which takes the file's place only once every byte is on
// the disk. An existing file stays as it was when anything fails.

#include <QByteArray>
#include <QString>
#include <optional>

namespace eq {

// Writes `bytes` as the file at `path`, replacing a regular file of that name. Nothing
// on success; otherwise the reason, ready to follow "理由: " in a message: the system's
// own text ("No space left on device") or, where there is none, a Japanese sentence.
// Refuses to replace a folder, a device, a FIFO or a socket (see checkRegularFile).
std::optional<QString> writeFileAtomically(const QString& path, const QByteArray& bytes);

}  // namespace eq
