// The Preferences dialog: one control for each preference, filled from the
// values given and read back into them when the user presses OK.
#pragma once

#include <QDialog>

#include "editor/model/preferences.h"

class QCheckBox;
class QComboBox;

class TPreferencesDialog : public QDialog {
    Q_OBJECT

  public:
    explicit TPreferencesDialog(const prefs::TPreferences& preferences, QWidget* parent = nullptr);

    // The preferences as the controls now show them.
    prefs::TPreferences Values() const;

  private:
    // "Write ID3v1 text as" offers the legacy code page only while one is read.
    void FollowReadPage();

    QComboBox* versionBox_ = nullptr;
    QComboBox* otherVersionBox_ = nullptr;
    QComboBox* genreNumbersBox_ = nullptr;
    QComboBox* startKindBox_ = nullptr;
    QComboBox* readPageBox_ = nullptr;
    QComboBox* writePageBox_ = nullptr;
    QCheckBox* keepTimesBox_ = nullptr;
};
