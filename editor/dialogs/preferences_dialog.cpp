// The Preferences dialog's controls and the values they stand for.
#include "editor/dialogs/preferences_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QVBoxLayout>

#include "editor/model/code_page.h"

namespace {

QComboBox* Choices(QWidget* parent, const char* name, const QStringList& captions, int chosen) {
    auto* box = new QComboBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->addItems(captions);
    box->setCurrentIndex(chosen);
    return box;
}

const QString kLatin1 = QStringLiteral("Latin-1 (ISO-8859-1)");

}  // namespace

TPreferencesDialog::TPreferencesDialog(const prefs::TPreferences& preferences, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("PreferencesDialog"));
    setWindowTitle(QStringLiteral("Preferences"));
    auto* form = new QFormLayout;
    versionBox_ = Choices(this, "VersionBox", {QStringLiteral("2.3"), QStringLiteral("2.4")},
                          preferences.newTagVersion == 4 ? 1 : 0);
    form->addRow(QStringLiteral("&Version of new ID3v2 tags:"), versionBox_);
    otherVersionBox_ = Choices(
        this, "OtherVersionBox",
        {QStringLiteral("Keep its version"), QStringLiteral("Convert it to the chosen version")},
        preferences.convertOnSave ? 1 : 0);
    form->addRow(QStringLiteral("When saving a tag of the &other version:"), otherVersionBox_);
    genreNumbersBox_ = Choices(this, "GenreNumbersBox",
                               {QStringLiteral("Standard numbering"),
                                QStringLiteral("Old numbering (earlier versions of this program)")},
                               preferences.oldGenreNumbers ? 1 : 0);
    form->addRow(QStringLiteral("ID3v1 &genre numbers:"), genreNumbersBox_);
    startKindBox_ = Choices(
        this, "StartKindBox",
        {QStringLiteral("ID3v1"), QStringLiteral("ID3v2"), QStringLiteral("The kind used last")},
        static_cast<int>(preferences.startKind));
    form->addRow(QStringLiteral("&Tag kind at start:"), startKindBox_);
    const QStringList& pages = code_page::LegacyNames();
    readPageBox_ = Choices(this, "ReadPageBox", QStringList{kLatin1} + pages,
                           static_cast<int>(pages.indexOf(preferences.readCodePage)) + 1);
    form->addRow(QStringLiteral("&Read ID3v1 and Latin-1 ID3v2 text as:"), readPageBox_);
    writePageBox_ =
        Choices(this, "WritePageBox", {kLatin1, QString()}, preferences.writeV1InCodePage ? 1 : 0);
    form->addRow(QStringLiteral("&Write ID3v1 text as:"), writePageBox_);
    keepTimesBox_ = new QCheckBox(QStringLiteral("&Keep files' modification times"), this);
    keepTimesBox_->setObjectName(QStringLiteral("KeepTimesBox"));
    keepTimesBox_->setChecked(preferences.keepModificationTimes);
    form->addRow(keepTimesBox_);
    FollowReadPage();
    connect(readPageBox_, &QComboBox::currentIndexChanged, this, [this] { FollowReadPage(); });

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

void TPreferencesDialog::FollowReadPage() {
    const bool legacy = readPageBox_->currentIndex() > 0;
    writePageBox_->setItemText(1, legacy ? readPageBox_->currentText() : QString());
    if (!legacy) {
        writePageBox_->setCurrentIndex(0);
    }
    writePageBox_->setEnabled(legacy);
}

prefs::TPreferences TPreferencesDialog::Values() const {
    prefs::TPreferences values;
    values.newTagVersion = versionBox_->currentIndex() == 1 ? 4 : 3;
    values.convertOnSave = otherVersionBox_->currentIndex() == 1;
    values.oldGenreNumbers = genreNumbersBox_->currentIndex() == 1;
    values.startKind = static_cast<prefs::StartKind>(startKindBox_->currentIndex());
    values.readCodePage =
        readPageBox_->currentIndex() > 0 ? readPageBox_->currentText() : QString();
    values.writeV1InCodePage = !values.readCodePage.isEmpty() && writePageBox_->currentIndex() == 1;
    values.keepModificationTimes = keepTimesBox_->isChecked();
    return values;
}
