#pragma once
// Writing a whole file so that it is either complete or not there: the bytes go to a
// temporary file beside it, which takes the file's place only once every byte is on
// the disk. An existing file stays as it was when anything fails.

#include <QByteArray>
#include <QString>
#include <optional>

namespace eq {

// Why a file could not be written at `path`, as far as can be told before writing
// anything; nothing when it could. Refused: a symbolic link that someone else planted
// in a shared folder such as /tmp (world-writable and sticky, the link owned by
// neither this user nor the folder's owner: the kernel's rule for following links
// there), a folder, a device, a FIFO or a socket in the file's place (see
// checkRegularFile), and a folder that cannot be written. A link otherwise leads to
// its target, which is what gets replaced.
std::optional<QString> checkWritable(const QString& path);

// Writes `bytes` as the file at `path`, replacing a regular file of that name. Nothing
// on success; otherwise the reason, ready to follow "理由: " in a message: the system's
// own text ("No space left on device", in the user's language) or, where there is
// none, a Japanese sentence. Makes the checks of checkWritable first.
std::optional<QString> writeFileAtomically(const QString& path, const QByteArray& bytes);

}  // namespace eq
