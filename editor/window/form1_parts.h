// The parts of the main window, each reaching the page only through TPage.
// Destroyed in reverse order: the history first, since it watches the rows'
// fields, and their focus changes while they die must reach no step.
#pragma once

#include <memory>

#include "editor/commands/command_menu.h"
#include "editor/cover/cover_part.h"
#include "editor/history/history_part.h"
#include "editor/naming/naming_part.h"
#include "editor/preferences/preferences_part.h"
#include "editor/tagpanel/tag_panel_part.h"

struct TForm1Parts {
    std::unique_ptr<TCommandMenu> commands;  // made first: the others add commands to it
    std::unique_ptr<TCoverPart> cover;       // its commands come first
    std::unique_ptr<TPreferencesPart> preferences;
    std::unique_ptr<TNamingPart> naming;
    std::unique_ptr<TTagPanelPart> tagPanel;
    std::unique_ptr<THistoryPart> history;
};
