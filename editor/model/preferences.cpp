// Reading and writing the preferences with QSettings.
#include "editor/model/preferences.h"

#include <QCoreApplication>
#include <QSettings>
#include <memory>

#include "editor/model/code_page.h"

namespace prefs {

std::unique_ptr<QSettings> SettingsFile(const QString& group) {
    const QString name = QCoreApplication::applicationName();
    auto settings = std::make_unique<QSettings>(name, name);
    if (!group.isEmpty()) {
        settings->beginGroup(group);
    }
    return settings;
}

namespace {

std::unique_ptr<QSettings> Settings() {
    return SettingsFile(QStringLiteral("preferences"));
}

const QString kVersion = QStringLiteral("newTagVersion");
const QString kConvert = QStringLiteral("convertOnSave");
const QString kOldGenres = QStringLiteral("oldGenreNumbers");
const QString kStartKind = QStringLiteral("startKind");
const QString kCodePage = QStringLiteral("readCodePage");
const QString kWriteV1 = QStringLiteral("writeV1InCodePage");
const QString kKeepTimes = QStringLiteral("keepModificationTimes");
const QString kLastKind = QStringLiteral("lastTagKind");

}  // namespace

TPreferences Load() {
    const std::unique_ptr<QSettings> stored = Settings();
    const QSettings& settings = *stored;
    TPreferences preferences;
    preferences.newTagVersion = settings.value(kVersion).toInt() == 4 ? 4 : 3;
    preferences.convertOnSave = settings.value(kConvert, false).toBool();
    preferences.oldGenreNumbers = settings.value(kOldGenres, false).toBool();
    const int start = settings.value(kStartKind, 0).toInt();
    preferences.startKind = start == 1   ? StartKind::V2
                            : start == 2 ? StartKind::Last
                                         : StartKind::V1;
    // A code page this build's decoder does not know reads as ISO-8859-1.
    const QString page = settings.value(kCodePage).toString();
    preferences.readCodePage = code_page::LegacyNames().contains(page) ? page : QString();
    preferences.writeV1InCodePage = settings.value(kWriteV1, false).toBool();
    preferences.keepModificationTimes = settings.value(kKeepTimes, false).toBool();
    return preferences;
}

void Save(const TPreferences& preferences) {
    const std::unique_ptr<QSettings> stored = Settings();
    QSettings& settings = *stored;
    settings.setValue(kVersion, preferences.newTagVersion);
    settings.setValue(kConvert, preferences.convertOnSave);
    settings.setValue(kOldGenres, preferences.oldGenreNumbers);
    settings.setValue(kStartKind, static_cast<int>(preferences.startKind));
    settings.setValue(kCodePage, preferences.readCodePage);
    settings.setValue(kWriteV1, preferences.writeV1InCodePage);
    settings.setValue(kKeepTimes, preferences.keepModificationTimes);
}

int StartTagKind(const TPreferences& preferences) {
    switch (preferences.startKind) {
        case StartKind::V1:
            return 1;
        case StartKind::V2:
            return 2;
        case StartKind::Last:
            break;
    }
    return Settings()->value(kLastKind, 1).toInt() == 2 ? 2 : 1;
}

void RememberTagKind(int kind) {
    const std::unique_ptr<QSettings> settings = Settings();
    if (settings->value(kLastKind).toInt() != kind) {
        settings->setValue(kLastKind, kind);
    }
}

}  // namespace prefs
