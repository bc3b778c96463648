// What the two naming commands would do to the rows of a page, as plain data
// for their dialogs' previews: the values each file name gives, and the
// rename plan the rows' values give; with the texts the dialogs show.
#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <string>
#include <vector>

#include "editor/naming/name_rules.h"
#include "editor/naming/pattern.h"

namespace naming {

// A row of the page as the naming commands see it.
struct RowInput {
    std::string fileName;  // as the folder holds it
    QStringList folders;   // outermost first, the file's own folder last
    Values values;         // what the row shows, by field
};

// Per row, the values a parse pattern gives, or none when the name does not
// match. With underscoresToSpaces the name and folders are read with each "_"
// as a space, so "07_-_Title" matches "%{track} - %{title}".
std::vector<std::optional<Values>> ParseRows(const Pattern& pattern,
                                             const std::vector<RowInput>& rows,
                                             bool underscoresToSpaces);

// The rename plan a format pattern gives for the rows of one folder whose
// entries are `folderEntries`.
Plan FormatRows(const Pattern& pattern, const std::vector<RowInput>& rows,
                const std::vector<std::string>& folderEntries);

// A preview as its table shows it: the headers, a line of cells per row, and
// whether the row takes part; or the reason the pattern is not one.
struct PreviewTable {
    QStringList headers;
    std::vector<QStringList> cells;
    std::vector<bool> takesPart;
    QString error;
};
PreviewTable ParsePreview(const QString& patternText, const std::vector<RowInput>& rows,
                          bool underscoresToSpaces);
PreviewTable FormatPreview(const QString& patternText, const std::vector<RowInput>& rows,
                           const std::vector<std::string>& folderEntries);

// The list of fields a pattern may name, for the dialog: "%{artist}  %{title} ...".
QString FieldListText(Direction direction);
// Which characters a file name gets in place of which: `/ → -, ...`.
QString ReplacementsText();

// The patterns remembered after `used`: it first, then the earlier ones
// without it, at most `keep`.
QStringList RememberPattern(const QStringList& earlier, const QString& used, int keep = 10);

}  // namespace naming
