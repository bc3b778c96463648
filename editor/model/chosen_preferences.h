// The preferences in force and what reading and writing rows take from them.
// The preferences part owns them; the window reads them through a const view.
#pragma once

#include <QString>

#include "editor/model/code_page.h"
#include "editor/model/preferences.h"
#include "editor/model/row_codec.h"

class TChosenPreferences {
  public:
    const prefs::TPreferences& Values() const { return values_; }
    // The code page ID3v1 records and legacy ID3v2 text are read through.
    const code_page::TCodePage& ReadPage() const { return readPage_; }
    // The ID3v2 versions a save writes.
    row_codec::TV2Versions V2Versions() const {
        return {values_.newTagVersion, values_.convertOnSave, values_.keepModificationTimes};
    }
    // "2.3.0" or "2.4.0": the ID3v2 version new tags are written in.
    QString WrittenVersionText() const {
        return values_.newTagVersion == 4 ? QStringLiteral("2.4.0") : QStringLiteral("2.3.0");
    }
    void Take(const prefs::TPreferences& chosen) {
        values_ = chosen;
        readPage_ = code_page::TCodePage(chosen.readCodePage);
    }

  private:
    prefs::TPreferences values_;
    code_page::TCodePage readPage_;
};
