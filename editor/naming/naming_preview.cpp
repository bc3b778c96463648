// The previews of the naming commands: per row what a pattern gives, and the
// table texts the dialogs show of it.
#include "editor/naming/naming_preview.h"

#include <algorithm>

namespace naming {

namespace {

QString Underscored(QString text, bool underscoresToSpaces) {
    return underscoresToSpaces ? text.replace(QLatin1Char('_'), QLatin1Char(' ')) : text;
}

QString NameShown(const std::string& name) {
    return QString::fromStdString(name);
}

// The fields a parse pattern sets, in the order the dialog lists them.
std::vector<Field> FieldsSet(const Pattern& pattern) {
    std::vector<Field> fields;
    for (const FieldHelp& help : FieldList(Direction::Parse)) {
        for (const std::vector<Piece>& part : pattern.parts) {
            for (const Piece& piece : part) {
                if (piece.isField && piece.field == help.field && help.field != Field::Ignore &&
                    std::find(fields.begin(), fields.end(), help.field) == fields.end()) {
                    fields.push_back(help.field);
                }
            }
        }
    }
    return fields;
}

// "%{artist}" as a column header: "artist".
QString FieldHeader(Field field) {
    for (const FieldHelp& help : FieldList(Direction::Parse)) {
        if (help.field == field) {
            return help.token.mid(2, help.token.size() - 3);
        }
    }
    return {};
}

}  // namespace

std::vector<std::optional<Values>> ParseRows(const Pattern& pattern,
                                             const std::vector<RowInput>& rows,
                                             bool underscoresToSpaces) {
    std::vector<std::optional<Values>> parsed;
    parsed.reserve(rows.size());
    for (const RowInput& row : rows) {
        QStringList folders;
        for (const QString& folder : row.folders) {
            folders << Underscored(folder, underscoresToSpaces);
        }
        parsed.push_back(
            Match(pattern, Underscored(NameShown(row.fileName), underscoresToSpaces), folders));
    }
    return parsed;
}

Plan FormatRows(const Pattern& pattern, const std::vector<RowInput>& rows,
                const std::vector<std::string>& folderEntries) {
    std::vector<PlanInput> inputs;
    std::vector<QString> emptyField(rows.size());
    inputs.reserve(rows.size());
    for (size_t r = 0; r < rows.size(); ++r) {
        // A field left empty would give names like "-.mp3" or "01 - .mp3":
        // such a row keeps its name, and its empty stem keeps it out of the
        // other rows' checks.
        for (const Piece& piece : pattern.parts.back()) {
            const auto value = rows[r].values.find(piece.field);
            if (piece.isField && emptyField[r].isEmpty() &&
                (value == rows[r].values.end() || value->second.trimmed().isEmpty())) {
                emptyField[r] = FieldHeader(piece.field);
            }
        }
        inputs.push_back({rows[r].fileName,
                          emptyField[r].isEmpty() ? Format(pattern, rows[r].values) : QString()});
    }
    Plan plan = MakePlan(inputs, folderEntries);
    for (size_t r = 0; r < plan.size(); ++r) {
        if (!emptyField[r].isEmpty()) {
            plan[r].reason = QStringLiteral("Its %1 is empty.").arg(emptyField[r]);
        }
    }
    return plan;
}

PreviewTable ParsePreview(const QString& patternText, const std::vector<RowInput>& rows,
                          bool underscoresToSpaces) {
    PreviewTable table;
    const Compiled compiled = Compile(patternText, Direction::Parse);
    if (!compiled.pattern) {
        table.error = compiled.error;
        return table;
    }
    const std::vector<Field> fields = FieldsSet(*compiled.pattern);
    table.headers << QStringLiteral("File name");
    for (const Field field : fields) {
        table.headers << FieldHeader(field);
    }
    const std::vector<std::optional<Values>> parsed =
        ParseRows(*compiled.pattern, rows, underscoresToSpaces);
    for (size_t r = 0; r < rows.size(); ++r) {
        QStringList line{NameShown(rows[r].fileName)};
        if (!parsed[r]) {
            line << QStringLiteral("(does not match: left unchanged)");
        } else {
            for (const Field field : fields) {
                const auto value = parsed[r]->find(field);
                line << (value == parsed[r]->end() ? QString() : value->second);
            }
        }
        table.cells.push_back(line);
        table.takesPart.push_back(parsed[r].has_value());
    }
    return table;
}

PreviewTable FormatPreview(const QString& patternText, const std::vector<RowInput>& rows,
                           const std::vector<std::string>& folderEntries) {
    PreviewTable table;
    const Compiled compiled = Compile(patternText, Direction::Format);
    if (!compiled.pattern) {
        table.error = compiled.error;
        return table;
    }
    table.headers = QStringList{QStringLiteral("Old name"), QStringLiteral("New name"),
                                QStringLiteral("Reason")};
    for (const PlanRow& row : FormatRows(*compiled.pattern, rows, folderEntries)) {
        QString note = row.reason;
        if (note.isEmpty() && !row.Renames()) {
            note = QStringLiteral("already so named");
        } else if (note.isEmpty() && row.shortened) {
            note = QStringLiteral("shortened to fit 255 bytes");
        }
        table.cells.push_back({NameShown(row.oldName),
                               row.reason.isEmpty() ? NameShown(row.newName) : QString(), note});
        table.takesPart.push_back(row.Renames());
    }
    return table;
}

QString FieldListText(Direction direction) {
    QStringList tokens;
    for (const FieldHelp& help : FieldList(direction)) {
        tokens << help.token;
    }
    return QStringLiteral("Fields: %1. Other text is taken as it is.")
        .arg(tokens.join(QStringLiteral("  ")));
}

QString ReplacementsText() {
    QStringList pairs;
    for (const Replacement& replacement : Replacements()) {
        const QString from =
            replacement.from == QChar(u'\0') ? QStringLiteral("NUL") : QString(replacement.from);
        const QString to = replacement.to.isEmpty() ? QStringLiteral("nothing") : replacement.to;
        pairs << QStringLiteral("%1 by %2").arg(from, to);
    }
    return QStringLiteral(
               "Replaced in file names: %1. Spaces and dots at either end are "
               "trimmed; the extension stays.")
        .arg(pairs.join(QStringLiteral(", ")));
}

QStringList RememberPattern(const QStringList& earlier, const QString& used, int keep) {
    QStringList list{used};
    for (const QString& pattern : earlier) {
        if (pattern != used && list.size() < keep) {
            list << pattern;
        }
    }
    return list;
}

}  // namespace naming
