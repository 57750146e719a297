#pragma once

#include <QByteArray>
#include <QString>

#include <sys/stat.h>

namespace tavelor {

/// Replaces the file at `path` by `contents` in one step: the bytes go to a new
/// temporary file beside it (created exclusively, never through a symbolic
/// link), are flushed to disk, and the temporary file is renamed over the
/// target. On any failure the target is left as it was and the temporary file
/// is removed. The new file has the permission bits `mode`.
bool writeFileAtomically(const QString& path, const QByteArray& contents, mode_t mode);

} // namespace tavelor
