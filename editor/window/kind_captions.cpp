// The kind captions, and the version a save of the focused row writes.
#include "editor/window/kind_captions.h"

#include <QFontMetrics>
#include <QLabel>
#include <QToolButton>

#include "editor/model/chosen_preferences.h"
#include "editor/model/row_codec.h"

void TKindCaptions::ShowKind(int kind, int rowsInScope) {
    const bool v1 = kind == 1;
    if (v1) {
        kindLabel_.setText(QStringLiteral("ID3v1.1"));
        FitKindLabel();
    } else {
        ShowWrittenVersion(kind, rowsInScope);
    }
    modeSwitch_.setText(v1 ? QStringLiteral("&Modify id3v%1 tags").arg(chosen_.WrittenVersionText())
                           : QStringLiteral("&Modify id3v1.1 tags"));
    copyButton_.setText(v1 ? QStringLiteral("&Copy tags to Id3v2")
                           : QStringLiteral("&Copy tags to Id3v1"));
}

void TKindCaptions::ShowWrittenVersion(int kind, int rowsInScope) {
    if (kind != 2) {
        return;
    }
    int version = chosen_.Values().newTagVersion;
    if (versionRow_ && *versionRow_ < rowsInScope) {
        version =
            row_codec::VersionWritten(model_.StoredVersion(*versionRow_),
                                      model_.TargetVersion(*versionRow_), chosen_.V2Versions());
    }
    if (const QString text = QStringLiteral("ID3v2.%1.0").arg(version); kindLabel_.text() != text) {
        kindLabel_.setText(text);
        FitKindLabel();
    }
}

void TKindCaptions::NameWrittenVersion(int kind, int rowsInScope) {
    const QString written = chosen_.WrittenVersionText();
    const QString other =
        chosen_.Values().newTagVersion == 4 ? QStringLiteral("2.3.0") : QStringLiteral("2.4.0");
    modeSwitch_.setText(modeSwitch_.text().replace(other, written));
    modeSwitch_.setToolTip(
        chosen_.Values().convertOnSave
            ? QStringLiteral("New ID3v2 tags are saved as ID3v%1; a save converts a tag of "
                             "another version to it.")
                  .arg(written)
            : QStringLiteral("New ID3v2 tags are saved as ID3v%1; a save keeps a tag's own "
                             "version.")
                  .arg(written));
    ShowWrittenVersion(kind, rowsInScope);
}

void TKindCaptions::FitKindLabel() {
    // Condensed as far as the longer kind name needs to stay inside the logo.
    QFont font = kindLabel_.font();
    font.setStretch(QFont::Condensed);
    const int width = QFontMetrics(font).horizontalAdvance(kindLabel_.text());
    const int room = kindLabel_.width() - 4;
    if (width > room) {
        font.setStretch(QFont::Condensed * room / width);
    }
    kindLabel_.setFont(font);
}
