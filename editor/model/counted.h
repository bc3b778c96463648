// A count with its noun in the English singular or plural form, for the texts
// that name how many rows, files or pictures a command touched.
#pragma once

#include <QString>

// "1 row", "0 rows", "2 rows": `one` after a count of exactly one, `many` after any other.
inline QString Counted(long long count, const QString& one, const QString& many) {
    return QString::number(count) + u' ' + (count == 1 ? one : many);
}
