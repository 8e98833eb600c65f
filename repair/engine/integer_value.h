#pragma once

#include <QStringView>

// Reads a number the way the SDK names were meant to be read: leading white
// space, an optional sign, then decimal digits up to the first non-digit.
// No digits gives 0; values beyond the range of qint64 saturate.
qint64 integerValue(QStringView text);
