// The widget-free part of saving rows: which rows are written, the read-only
// test and its clearing, and the texts of the saving messages and captions.
#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <string>

namespace save_logic {

// True when the file counts as read-only; a file that cannot be examined
// (gone, for example) counts as read-only too.
bool FileIsReadOnly(const std::string& path);
// Makes the file a normal (archive) file; returns 0 or the error number.
uint32_t ClearReadOnly(const std::string& path);

// The nothing-to-write rule: an untagged row is written only when one of its
// four texts is non-blank; year, track and genre do not count.
bool RowToBeWritten(bool untagged, const QString& title, const QString& artist,
                    const QString& album, const QString& comment);

// A path or file name as the user sees it.
QString DisplayName(const std::string& bytes);
// The part of a path after its last "/".
std::string FileNameOf(const std::string& path);

QString NoFilesMessage();
QString NoFocusedRowMessage();
QString ReadOnlyQuestion(const QString& path);
QString NotSavedMessage();
// The boxes of a read-only attribute that could not be removed: the file and
// the reason first (see ErrorReason), then the general text with its guesses.
QString SaveRowAttributeError(const QString& fileName, uint32_t error, const QString& reason = {});
QString SaveAllAttributeError(const QString& fileName, uint32_t error, const QString& reason = {});
QString SavingCaption(const QString& fileName);
QString SavingCaption(const QString& fileName, int position);
QString SavedCaption(int count);
// The closing message of Save All Rows; exceptForm when the user left at
// least one read-only file unticked.
QString FinalMessage(int tagKind, const QString& folder, int page, bool exceptForm);
QString CloseQuestion();
// What Save All Rows adds to its closing message: how many files it saved and,
// one a line ("name: reason"), each file with changes that it did not save.
QString SaveOutcome(int saved, const QStringList& notSaved);
// The closing box of Save All Rows: FinalMessage and SaveOutcome, led by "No
// file was saved." when no file was saved, in which case it is a warning.
QString SaveAllSummary(int tagKind, const QString& folder, int page, bool exceptForm, int saved,
                       const QStringList& notSaved);

// A plain reason for an errno value met on the file at `path`, telling an
// immutable file from other refusals; empty for 0 and for values not named.
QString ErrorReason(int error, const std::string& path = {});

// A plain reason for the error code of a failed ID3v2 load or save (a result
// word of 256 or more); `error`, when not 0, is the errno value met on the
// file at `path` and names the cause more exactly (see ErrorReason).
QString FailureReason(uint16_t result, int error = 0, const std::string& path = {});
// The errno value that most likely lies behind a failed ID3v2 save of the
// file, found by looking at the file and its disk afterwards; 0 when unknown.
int LikelyError(const std::string& path, uint16_t result);
// "Error #%d! Can not save tags!" with the file name and the reason on a second line.
QString SaveTagsError(uint16_t result, const QString& fileName, int error = 0,
                      const std::string& path = {});

}  // namespace save_logic
