// The dialog of the two naming commands: a pattern box with the patterns used
// last, the list of fields, and a preview of every row of the page that
// follows each key typed into the pattern.
#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>
#include <functional>

#include "editor/naming/naming_preview.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QTableWidget;

class TNamingDialog : public QDialog {
    Q_OBJECT

  public:
    // Makes the preview of a pattern text; the flag is "Underscores to spaces".
    using Preview = std::function<naming::PreviewTable(const QString& pattern, bool underscores)>;

    // Parse: tags from file names, with the underscores option. Format: file
    // names from tags, with the characters a name gets replaced.
    TNamingDialog(QWidget* parent, naming::Direction direction, const QStringList& patterns,
                  Preview preview);

    QString Pattern() const;
    bool UnderscoresToSpaces() const;

  private:
    void UpdatePreview();

    Preview preview_;
    QComboBox* PatternBox = nullptr;
    QCheckBox* UnderscoresBox = nullptr;
    QLabel* ProblemLabel = nullptr;  // why the pattern is not one, or how many rows change
    QTableWidget* PreviewTable = nullptr;
    QPushButton* ApplyButton = nullptr;
};

namespace naming {

// The patterns the dialog offers: the ones used last (QSettings group
// "naming"), then the common ones not among them.
QStringList OfferedPatterns(Direction direction);
// Keeps the pattern as the one used last.
void RememberUsed(Direction direction, const QString& pattern);

}  // namespace naming
