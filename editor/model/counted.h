// A count with its noun in the English singular or plural form, for the texts
// that name how many rows, files, pictures or bytes a command touched.
#pragma once

#include <QLocale>
#include <QString>

// "1 row", "0 rows", "1,024 bytes": `one` after a count of exactly one, `many`
// after any other; the number as the user's locale writes it.
inline QString Counted(long long count, const QString& one, const QString& many) {
    return QLocale().toString(count) + u' ' + (count == 1 ? one : many);
}
