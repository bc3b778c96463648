// The user's preferences as plain values, kept with QSettings in the group
// "preferences" beside the last folder. The window and the row codec read
// them; the preferences dialog edits them.
#pragma once

#include <QString>
#include <memory>

class QSettings;

namespace prefs {

// The tag kind the window edits when it starts.
enum class StartKind { V1, V2, Last };

struct TPreferences {
    // The ID3v2 version of new tags and of converted ones: 3 or 4.
    int newTagVersion = 3;
    // A save of a tag of the other version converts it to newTagVersion;
    // otherwise it keeps its version.
    bool convertOnSave = false;
    // ID3v1 genre bytes in the numbering of earlier versions of this program.
    bool oldGenreNumbers = false;
    StartKind startKind = StartKind::V1;
    // The code page of ID3v1 and Latin-1 ID3v2 text; empty for ISO-8859-1.
    QString readCodePage;
    // ID3v1 records are written in readCodePage rather than ISO-8859-1.
    bool writeV1InCodePage = false;
    bool keepModificationTimes = false;

    // The code page ID3v1 records are written in; empty for ISO-8859-1.
    QString WriteCodePage() const { return writeV1InCodePage ? readCodePage : QString(); }
    bool operator==(const TPreferences&) const = default;
};

// The stored preferences; a value missing or not understood is its default.
// The program's one settings file (the last folder, the preferences, the
// naming patterns), opened in `group`.
std::unique_ptr<QSettings> SettingsFile(const QString& group = {});

TPreferences Load();
void Save(const TPreferences& preferences);
// The tag kind the window starts in (1 ID3v1, 2 ID3v2), and the kind the
// window last showed, remembered for StartKind::Last.
int StartTagKind(const TPreferences& preferences);
void RememberTagKind(int kind);

}  // namespace prefs
