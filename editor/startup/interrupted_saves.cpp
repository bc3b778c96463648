// The start-up recovery of interrupted saves and its message.
#include "editor/startup/interrupted_saves.h"

#include <QStringList>

#include "editor/dialogs/dialogs.h"

namespace {

using Outcome = id3v2::RecoveredFile::Outcome;

QString Line(const id3v2::RecoveredFile& file) {
    const QString path = QString::fromLocal8Bit(file.path);
    const QString reason = QString::fromLocal8Bit(file.reason);
    switch (file.outcome) {
        case Outcome::Completed:
            return QStringLiteral("%1: the save was finished.").arg(path);
        case Outcome::PutBack:
            return QStringLiteral("%1: put back as it was before the save.").arg(path);
        case Outcome::Replaced:
        case Outcome::Changed:
            return QStringLiteral("%1: %2, so it was left as it is.").arg(path, reason);
        case Outcome::Unreachable:
        case Outcome::Failed:
            break;
    }
    return QStringLiteral("%1: %2. It will be tried again at the next start.").arg(path, reason);
}

}  // namespace

QString InterruptedSavesMessage(const std::vector<id3v2::RecoveredFile>& files) {
    QStringList repaired;
    QStringList notRepaired;
    for (const id3v2::RecoveredFile& file : files) {
        (file.Repaired() ? repaired : notRepaired).append(Line(file));
    }
    QStringList parts;
    if (!repaired.isEmpty()) {
        parts << QStringLiteral(
                     "Saving tags was interrupted last time. These files were repaired:\n") +
                     repaired.join(QLatin1Char('\n'));
    }
    if (!notRepaired.isEmpty()) {
        parts << (repaired.isEmpty() ? QStringLiteral("Saving tags was interrupted last time. ")
                                     : QString()) +
                     QStringLiteral("These files could not be repaired:\n") +
                     notRepaired.join(QLatin1Char('\n'));
    }
    return parts.join(QStringLiteral("\n\n"));
}

void RepairInterruptedSaves(TDialogs& dialogs) {
    const QString message = InterruptedSavesMessage(id3v2::RecoverInterruptedSaves());
    if (!message.isEmpty()) {
        dialogs.Message(nullptr, message);
    }
}
