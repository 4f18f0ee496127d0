#pragma once
// Writing a whole file so that it is either complete or not there at all: the
// bytes go to a temporary file beside the target, which replaces it only when every
// byte was written and flushed. The file that was there stays intact otherwise.

#include <QByteArray>
#include <QString>
#include <optional>

namespace eq {

// Nothing when the file was written; otherwise the system's reason.
std::optional<QString> writeFileAtomically(const QString& path, const QByteArray& bytes);

}  // namespace eq
