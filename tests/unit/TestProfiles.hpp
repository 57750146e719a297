#pragma once

#include "Models/WindowProfile.hpp"

#include <QList>

#include <cstdint>

namespace tavelor::test {

/// Field by field, numbers by bit pattern: stricter than the records' equality.
bool identical(const QList<WindowProfile>& a, const QList<WindowProfile>& b);

} // namespace tavelor::test
