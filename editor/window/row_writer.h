// Writes a row of the page into its file through the row codec, in either tag
// kind, and shows the user why a write failed, keeping that reason for the
// summary of Save All Rows.
#pragma once

#include <QString>
#include <cstdint>
#include <string>

#include "editor/model/row_model.h"

class QWidget;
class TChosenPreferences;
class TDialogs;
class Tid3v2tag;

class TRowWriter {
  public:
    TRowWriter(Tid3v2tag& tag, TDialogs& dialogs, QWidget& window, const rows::TRowModel& model,
               const TChosenPreferences& chosen)
        : tag_(tag), dialogs_(dialogs), window_(window), model_(model), chosen_(chosen) {}

    // Writes row k into the file's ID3v2 tag: 0 when saved, else the result
    // word, the failure shown in an error box.
    int WriteV2(const std::string& path, int k);
    // Writes row k in the kind (1 the ID3v1 record, 2 the ID3v2 tag): empty
    // when written, else why not, shown in an error box first.
    QString Write(int kind, const std::string& path, int k);

  private:
    void ReportFailure(const std::string& path, uint16_t result, int error);

    Tid3v2tag& tag_;
    TDialogs& dialogs_;
    QWidget& window_;
    const rows::TRowModel& model_;
    const TChosenPreferences& chosen_;
    QString lastFailure_;  // the reason of the last failed write
};
