// Saving rules and texts, kept apart from the window so they are tested alone.
#include "editor/save_logic.h"

#include <QFile>
#include <algorithm>

#include "platform/attributes.h"

namespace save_logic {
namespace {

// Blanks and control characters, as the nothing-to-write rule trims them.
bool IsBlank(QChar c) {
    return c == u' ' || c.category() == QChar::Other_Control;
}

bool HasText(const QString& text) {
    return std::any_of(text.cbegin(), text.cend(), [](QChar c) { return !IsBlank(c); });
}

// Messages put a carriage return where the message boxes break the line.
constexpr QChar kReturn = u'\r';

}  // namespace

bool FileIsReadOnly(const std::string& path) {
    return (platform::GetFileAttributesA(path) & platform::FILE_ATTRIBUTE_READONLY) != 0;
}

uint32_t ClearReadOnly(const std::string& path) {
    if (platform::SetFileAttributesA(path, platform::FILE_ATTRIBUTE_ARCHIVE)) {
        return 0;
    }
    return platform::GetLastError();
}

bool RowToBeWritten(bool untagged, const QString& title, const QString& artist,
                    const QString& album, const QString& comment) {
    return !untagged || HasText(title) || HasText(artist) || HasText(album) || HasText(comment);
}

QString DisplayName(const std::string& bytes) {
    return QFile::decodeName(QByteArray::fromStdString(bytes));
}

std::string FileNameOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

QString NoFilesMessage() {
    return QStringLiteral("No mp3-files in the folder.");
}

QString NoFocusedRowMessage() {
    return QStringLiteral("The cursor does not blink on any row.");
}

QString ReadOnlyQuestion(const QString& path) {
    return QStringLiteral(
               "Are you sure you want to modify a Read Only file %1? (the file will be turn to "
               "normal file)")
        .arg(path);
}

QString NotSavedMessage() {
    return QStringLiteral("Modifications is not saved to the file.");
}

QString SaveRowAttributeError(const QString& fileName, uint32_t error) {
    return QStringLiteral(
               "File %1 can not be saved, because an error happened of type %2. %3%3 This may "
               "result on that the disk is locked (for example CD-ROM or floppy) or network "
               "location is with Read Only type.")
        .arg(fileName, QString::number(error), QString(kReturn));
}

QString SaveAllAttributeError(const QString& fileName, uint32_t error) {
    return QStringLiteral(
               "Read Only attribute of file %1 can not be removed (error #%2).%3This may result "
               "on that the disk is locked (for example CD-ROM or floppy) or you have not "
               "writing access to network location.")
        .arg(fileName, QString::number(error), QString(kReturn));
}

QString SavingCaption(const QString& fileName) {
    return QStringLiteral("Saving %1 ...").arg(fileName);
}

QString SavingCaption(const QString& fileName, int position) {
    return QStringLiteral("Saving %1 ... (%2)").arg(fileName, QString::number(position));
}

QString SavedCaption(int count) {
    return QStringLiteral("%1 files saved").arg(count);
}

QString FinalMessage(int tagKind, const QString& folder, int page, bool exceptForm) {
    const QString text =
        exceptForm
            ? QStringLiteral(
                  "ID3-tags saved to the mp3-files of directory %1, except to ones you did "
                  "not want to remove Read Only -attribute (on page %2).")
            : QStringLiteral("ID3-tags saved to the mp3-files of directory %1 (on page %2).");
    return QStringLiteral("ID3v%1").arg(tagKind) + text.arg(folder, QString::number(page));
}

QString CloseQuestion() {
    return QStringLiteral("Do you want to save the changes you have made before quitting?");
}

QString ShortenedMessage(const QStringList& fileNames) {
    return QStringLiteral(
               "An ID3v1 tag could not hold all of a value, so these files got it shortened:\n\n") +
           fileNames.join(QLatin1Char('\n'));
}

}  // namespace save_logic
