// Saving rules and texts, kept apart from the window so they are tested alone.
#include "editor/model/save_logic.h"

#include "editor/model/counted.h"

#include <QFile>
#include <algorithm>
#include <cerrno>
#include <filesystem>

#include "id3v2/result_codes.h"
#include "platform/attributes.h"
#include "platform/file.h"

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

// The file and the reason, when one is known, before a general text.
QString ReasonFirst(const QString& fileName, const QString& reason, const QString& text) {
    return reason.isEmpty() ? text : QStringLiteral("%1: %2.\n\n%3").arg(fileName, reason, text);
}

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

QString SaveRowAttributeError(const QString& fileName, uint32_t error, const QString& reason) {
    return ReasonFirst(
        fileName, reason,
        QStringLiteral(
            "File %1 can not be saved, because an error happened of type %2. %3%3 This may "
            "result on that the disk is locked (for example CD-ROM or floppy) or network "
            "location is with Read Only type.")
            .arg(fileName, QString::number(error), QString(kReturn)));
}

QString SaveAllAttributeError(const QString& fileName, uint32_t error, const QString& reason) {
    return ReasonFirst(
        fileName, reason,
        QStringLiteral(
            "Read Only attribute of file %1 can not be removed (error #%2).%3This may result "
            "on that the disk is locked (for example CD-ROM or floppy) or you have not "
            "writing access to network location.")
            .arg(fileName, QString::number(error), QString(kReturn)));
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

QString SaveOutcome(int saved, const QStringList& notSaved) {
    QString text = QStringLiteral("\n\n%1 saved.")
                       .arg(Counted(saved, QStringLiteral("file"), QStringLiteral("files")));
    if (!notSaved.isEmpty()) {
        text += QStringLiteral("\nNot saved:\n") + notSaved.join(QLatin1Char('\n'));
    }
    return text;
}

QString SaveAllSummary(int tagKind, const QString& folder, int page, bool exceptForm, int saved,
                       const QStringList& notSaved) {
    const QString text =
        FinalMessage(tagKind, folder, page, exceptForm) + SaveOutcome(saved, notSaved);
    return saved == 0 ? QStringLiteral("No file was saved.\n\n") + text : text;
}

QString ErrorReason(int error, const std::string& path) {
    switch (error) {
        case ENOSPC:
        case EDQUOT:
            return QStringLiteral("the disk is full");
        case EWOULDBLOCK:
            return QStringLiteral("the file is in use by another program");
        case EPERM:
            // chmod and open refuse an immutable file with EPERM, even to root.
            if (!path.empty() && platform::IsImmutable(path)) {
                return QStringLiteral("the file is marked immutable");
            }
            return QStringLiteral("permission denied");
        case EACCES:
            return QStringLiteral("permission denied");
        case EROFS:
            return QStringLiteral("the disk is read-only");
        case ENOENT:
            return QStringLiteral("the file no longer exists");
        case EISDIR:
            return QStringLiteral("it is a folder, not a file");
        default:
            return {};
    }
}

QString FailureReason(uint16_t result, int error, const std::string& path) {
    if (QString reason = ErrorReason(error, path); !reason.isEmpty()) {
        return reason;
    }
    switch (id3v2::ErrorCode(result)) {
        case id3v2::kCannotOpen:
            return QStringLiteral("the file could not be opened");
        case id3v2::kProtectedFile:
            return QStringLiteral("the file is read-only, hidden or not a regular file");
        case id3v2::kReadFailed:
            return QStringLiteral("the file could not be read");
        case id3v2::kWriteFailed:
            return QStringLiteral("the file could not be written");
        case id3v2::kIoFailed:
            return QStringLiteral("an input/output error happened");
        case id3v2::kOffsetPastEnd:
        case id3v2::kOffsetTooLarge:
            return QStringLiteral("the file is shorter than where its tag would be");
        case id3v2::kNoTag:
            // A save meets this code only for bytes that begin like a tag.
            return QStringLiteral("the tag header at the start of the file is damaged");
        case id3v2::kBadVersion:
            return QStringLiteral(
                "the tag is neither ID3v2.3 nor ID3v2.4 (ID3v2.2 tags cannot be written)");
        case id3v2::kCompressedTag:
            return QStringLiteral("the ID3v2.2 tag is compressed, which no program can read");
        case id3v2::kRevisionRefused:
            return QStringLiteral("the tag is of a revision that cannot be written");
        case id3v2::kTagPastEnd:
            return QStringLiteral("the tag reaches past the end of the file");
        case id3v2::kBadFrameId:
            return QStringLiteral("the tag holds a frame with an invalid name");
        case id3v2::kTagTooLarge:
            return QStringLiteral("the tag would be larger than an ID3v2 tag can be");
        case id3v2::kEncryptionMismatch:
        case id3v2::kGroupingMismatch:
        case id3v2::kEncryptedLengthUnknown:
            return QStringLiteral("an encrypted or grouped frame cannot be written as it is");
        case id3v2::kNoFrames:
            return QStringLiteral("the tag would hold no frames");
        case id3v2::kCorrupt:
            return QStringLiteral("the tag is damaged and could not be read");
        default:
            return QStringLiteral("an unknown error happened");
    }
}

int LikelyError(const std::string& path, uint16_t result) {
    const uint8_t code = id3v2::ErrorCode(result);
    if (code == id3v2::kCannotOpen) {
        if (!platform::FileExists(path)) {
            return ENOENT;
        }
        try {
            const platform::File file(path, platform::File::Mode::ReadWrite,
                                      platform::File::Lock::Exclusive);
        } catch (const platform::IoError& failure) {
            return failure.Code();
        }
        return 0;
    }
    if (code == id3v2::kWriteFailed || code == id3v2::kIoFailed) {
        // A save that moves the audio needs room for up to the whole file; the
        // room it took is given back when it fails.
        std::error_code failed;
        const std::filesystem::space_info disk =
            std::filesystem::space(std::filesystem::path(path).parent_path() / ".", failed);
        const uintmax_t size = std::filesystem::file_size(path, failed);
        if (!failed && disk.available < size) {
            return ENOSPC;
        }
    }
    return 0;
}

QString SaveTagsError(uint16_t result, const QString& fileName, int error,
                      const std::string& path) {
    return QStringLiteral("Error #%1! Can not save tags!\n%2: %3")
        .arg(QString::number(result), fileName, FailureReason(result, error, path));
}

}  // namespace save_logic
