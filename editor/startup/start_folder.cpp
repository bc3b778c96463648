// Choosing and remembering the start folder.
#include "editor/startup/start_folder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <memory>

#include "editor/model/preferences.h"

namespace start_folder {

namespace {

const QString kFolderKey = QStringLiteral("folder");

}  // namespace

QString FolderOf(const QString& named) {
    if (named.isEmpty()) {
        return {};
    }
    const QFileInfo info(named);
    if (!info.exists()) {
        return {};
    }
    return QDir::cleanPath(info.isDir() ? info.absoluteFilePath() : info.absolutePath());
}

QString Choose(const QString& named, const QString& remembered) {
    for (const QString& folder : {FolderOf(named), remembered}) {
        if (!folder.isEmpty() && QFileInfo(folder).isDir()) {
            return QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
        }
    }
    return QDir::homePath();
}

QString Remembered() {
    return prefs::SettingsFile()->value(kFolderKey).toString();
}

void Remember(const QString& folder) {
    const std::unique_ptr<QSettings> settings = prefs::SettingsFile();
    if (!folder.isEmpty() && settings->value(kFolderKey).toString() != folder) {
        settings->setValue(kFolderKey, folder);
    }
}

}  // namespace start_folder
