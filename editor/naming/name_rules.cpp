// File name cleaning and the rename plan.
#include "editor/naming/name_rules.h"

#include "editor/model/bulk_logic.h"

#include <map>

namespace naming {
namespace {

bool Trimmable(QChar c) {
    return c == ' ' || c == '.';
}

QString Trimmed(const QString& text) {
    return bulk::TrimmedWhere(text, Trimmable);
}

// The stem cut at a character boundary (a surrogate pair kept whole) to at most `bytes` in UTF-8.
QString CutToBytes(const QString& stem, size_t bytes) {
    size_t used = 0;
    qsizetype at = 0;
    while (at < stem.size()) {
        const qsizetype length = stem[at].isHighSurrogate() && at + 1 < stem.size() ? 2 : 1;
        const size_t size = static_cast<size_t>(stem.mid(at, length).toUtf8().size());
        if (used + size > bytes) {
            break;
        }
        used += size;
        at += length;
    }
    return stem.left(at);
}

QString Folded(const std::string& name) {
    return QString::fromUtf8(name).toCaseFolded();
}

}  // namespace

const std::vector<Replacement>& Replacements() {
    static const std::vector<Replacement> kList{
        {QChar('/'), QStringLiteral("-")}, {QChar('\\'), QStringLiteral("-")},
        {QChar(':'), QStringLiteral("-")}, {QChar('|'), QStringLiteral("-")},
        {QChar('*'), QStringLiteral("_")}, {QChar('?'), QStringLiteral("_")},
        {QChar('"'), QStringLiteral("'")}, {QChar('<'), QStringLiteral("(")},
        {QChar('>'), QStringLiteral(")")}, {QChar(u'\0'), QString()},
    };
    return kList;
}

CleanName MakeFileName(const QString& stem, const std::string& extension) {
    QString text;
    for (QChar c : stem) {
        bool replaced = false;
        for (const Replacement& replacement : Replacements()) {
            if (c == replacement.from) {
                text += replacement.to;
                replaced = true;
                break;
            }
        }
        if (!replaced) {
            text += c;
        }
    }
    text = Trimmed(text);
    CleanName clean;
    const size_t room = kMaxNameBytes - extension.size();
    if (static_cast<size_t>(text.toUtf8().size()) > room) {
        text = Trimmed(CutToBytes(text, room));
        clean.shortened = true;
    }
    if (text.isEmpty()) {
        clean.reason = QStringLiteral("The name would be empty.");
        return clean;
    }
    clean.name = text.toUtf8().toStdString() + extension;
    return clean;
}

Plan MakePlan(const std::vector<PlanInput>& rows, const std::vector<std::string>& folderNames) {
    Plan plan;
    std::map<QString, int> newNameCount;
    for (const PlanInput& row : rows) {
        const std::string extension =
            row.oldName.size() >= 4 ? row.oldName.substr(row.oldName.size() - 4) : ".mp3";
        const CleanName clean = MakeFileName(row.stem, extension);
        plan.push_back({row.oldName, clean.name, clean.shortened, clean.reason});
        if (clean.reason.isEmpty()) {
            ++newNameCount[Folded(clean.name)];
        }
    }
    std::map<QString, int> folderCount;
    for (const std::string& existing : folderNames) {
        ++folderCount[Folded(existing)];
    }
    for (PlanRow& row : plan) {
        if (!row.reason.isEmpty()) {
            continue;
        }
        const QString folded = Folded(row.newName);
        if (newNameCount[folded] > 1) {
            row.reason = QStringLiteral("Another row would get the same name.");
            continue;
        }
        if (row.newName == row.oldName) {
            continue;
        }
        const auto found = folderCount.find(folded);
        const int own = Folded(row.oldName) == folded ? 1 : 0;
        if (found != folderCount.end() && found->second > own) {
            row.reason = QStringLiteral("Another file in the folder has this name.");
        }
    }
    return plan;
}

}  // namespace naming
