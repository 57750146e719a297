#pragma once

#include "Models/WindowProfile.hpp"

#include <QByteArray>
#include <QList>

namespace tavelor::test {

/// Field by field, numbers by bit pattern: stricter than the records' equality.
bool identical(const QList<WindowProfile>& a, const QList<WindowProfile>& b);

/// A file's bytes, or "<missing>".
QByteArray readFile(const QString& path);
/// Replaces a file's bytes; false when that failed.
bool writeFile(const QString& path, const QByteArray& bytes);

} // namespace tavelor::test
