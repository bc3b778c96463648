// The preferences part of the window: the Preferences dialog and what each
// preference changes on the shown page at once, converting the page's tags to
// another ID3v2 version, removing a kind of tag from files, and storing text
// read through a legacy code page in Unicode. It reaches the page only through
// TPage and adds its own commands to the window's menu. It sets the
// preferences in force, which the window keeps and reads and writes rows by.
#pragma once

#include <QString>

#include "editor/model/chosen_preferences.h"
#include "editor/model/preferences.h"

class QAction;
class TPage;
class Tid3v2tag;

class TPreferencesPart {
  public:
    // Takes the preferences read from the settings, without telling the page,
    // and adds the part's commands to the page's menu. `tag` is the tag object
    // the window writes with: it keeps modification times as they say.
    TPreferencesPart(TPage& page, Tid3v2tag& tag, TChosenPreferences& chosen,
                     const prefs::TPreferences& stored);

    const TChosenPreferences& Chosen() const { return chosen_; }
    const prefs::TPreferences& Preferences() const { return chosen_.Values(); }
    // Takes the preferences at once: the shown page is read again where they
    // change how files read, keeping the rows' unsaved edits.
    void ApplyPreferences(const prefs::TPreferences& chosen);
    void ShowPreferences();  // the Preferences dialog; OK stores and applies its values
    // Marks the tags of the page's rows to be saved in that ID3v2 version.
    void ConvertPageTags(int version);
    // Removes the tags of that kind (1 the ID3v1 record, 2 the ID3v2 tag) from
    // the focused row's file, or from the files of the page's rows.
    void RemoveTags(int kind, bool wholePage);
    // Lists the rows' fields that show text read through a legacy code page
    // and, when the user agrees, makes them edits a save stores in Unicode.
    void StoreShownTextAsUnicode();

  private:
    void AddCommands();
    // What follows the preferences beyond the page: the chosen values, the
    // genre numbering, the tag object's times and the page records are written in.
    void Take(const prefs::TPreferences& chosen);
    // The Unicode command is usable in ID3v2 mode with a legacy code page.
    void ShowUnicodeCommandState();
    QString LabelText(int k);

    TPage& page_;
    Tid3v2tag& tag_;
    TChosenPreferences& chosen_;  // the window's, which reads and writes rows by them
    QAction* unicodeAction_ = nullptr;
};
