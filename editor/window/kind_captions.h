// The captions that name the tag kind the rows edit: the kind label in the
// logo, the mode switch and the copy button. While the rows edit ID3v2 the
// kind label names the version a save of the focused row writes: its tag's
// own, or the one a convert or the preferences pick.
#pragma once

#include <optional>

#include "editor/model/row_model.h"

class QLabel;
class QToolButton;
class TChosenPreferences;

class TKindCaptions {
  public:
    TKindCaptions(QLabel& kindLabel, QToolButton& modeSwitch, QToolButton& copyButton,
                  const rows::TRowModel& model, const TChosenPreferences& chosen)
        : kindLabel_(kindLabel),
          modeSwitch_(modeSwitch),
          copyButton_(copyButton),
          model_(model),
          chosen_(chosen) {}

    // The captions of the kind (1 ID3v1.1, 2 ID3v2) for a page of rowsInScope rows.
    void ShowKind(int kind, int rowsInScope);
    // The row whose save the kind label speaks of: the one the focus was last in.
    void FollowRow(std::optional<int> k) { versionRow_ = k; }
    void ShowWrittenVersion(int kind, int rowsInScope);
    // The mode switch's caption and tooltip name the version of new tags.
    void NameWrittenVersion(int kind, int rowsInScope);
    // Condenses the kind label's font as far as its text needs to fit the logo.
    void FitKindLabel();

  private:
    QLabel& kindLabel_;
    QToolButton& modeSwitch_;
    QToolButton& copyButton_;
    const rows::TRowModel& model_;
    const TChosenPreferences& chosen_;
    std::optional<int> versionRow_;
};
