// At start-up, before the window shows a folder: the saves that a kill or a
// crash interrupted are finished, and the user is told in one message which
// files were repaired, or could not be and why.
#pragma once

#include <QString>
#include <vector>

#include "id3v2/recovery.h"

class TDialogs;

// The one message about what the recovery did; empty when it met no file.
QString InterruptedSavesMessage(const std::vector<id3v2::RecoveredFile>& files);

// Recovers the interrupted saves and shows the message when there is one.
void RepairInterruptedSaves(TDialogs& dialogs);
