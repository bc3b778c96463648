// The page's rows as their controls show them: each row's file label and
// seven value controls, found by name (prefix plus row number), and the row
// model's marks painted on them as tooltips and colours. It reads the model
// and never changes it; the window changes rows and then has them painted.
#pragma once

#include <QString>
#include <array>
#include <optional>
#include <utility>
#include <vector>

#include "editor/model/row_model.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QWidget;
class TChosenPreferences;
class TSpinEdit;

class TRowView {
  public:
    // The rows' controls are children of rowsArea; the code page named in the
    // hints is the one the preferences read legacy text with.
    TRowView(const QWidget& rowsArea, const rows::TRowModel& model,
             const TChosenPreferences& chosen);

    // The object names of row k's controls.
    static QString FileLabelName(int k);
    static QString ValueControlName(bulk::Column column, int k);

    QLabel* FileLabel(int k) const;
    QLineEdit* TitleEdit(int k) const;
    QLineEdit* ArtistEdit(int k) const;
    QLineEdit* AlbumEdit(int k) const;
    TSpinEdit* YearEdit(int k) const;
    QLineEdit* CommentEdit(int k) const;
    TSpinEdit* TrackEdit(int k) const;
    QComboBox* GenreEdit(int k) const;
    // The seven value controls of row k, in column order.
    std::vector<QWidget*> ValueControls(int k) const;
    // The row and column of a value control, by its name.
    std::optional<std::pair<int, bulk::Column>> RowFieldOf(const QWidget* control) const;

    // The text a value control shows, and setting it.
    static QString ValueText(const QWidget* control);
    static void SetValueText(QWidget* control, const QString& text);
    // Scrolls the field's text to its beginning.
    static void ShowTextStart(QWidget* control);

    // The marks of row k's value in `column` as the control's tooltip and colour.
    void PaintField(int k, bulk::Column column, QWidget* control) const;
    // Every field, the untagged colour, and the file label's unsaved marker and problem.
    void PaintRow(int k) const;
    // Fits the font of row k's genre text to its box; false when the text
    // still does not show whole.
    bool FitGenreText(int k) const;
    // Why a row the copy found nothing in shows the new kind's values.
    QString NothingCopiedText() const;

    // The control shows a stored ID3v2 value not shown in full and not edited
    // since: saving keeps that frame as stored.
    bool KeepsStoredValue(const QWidget* control) const;
    // The control shows a year or track outside its range, or, while the rows
    // edit ID3v1, a value that a record cannot hold.
    bool NotStorable(const QWidget* control) const;

  private:
    // Row k's control by name: the file label (0) or the value control of a
    // column (1 + the column). Looked up once; the rows' controls live as long
    // as the window.
    QWidget* Named(int k, size_t control) const;

    const QWidget& rowsArea_;
    const rows::TRowModel& model_;
    const TChosenPreferences& chosen_;
    mutable std::array<std::array<QWidget*, 1 + rows::kFieldCount>, rows::kRowCount> found_{};
};
