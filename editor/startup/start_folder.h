// The folder the window opens at start: the one named on the command line (or
// the folder of a named file, as "Open with" in a file manager passes), else
// the folder shown when the last run ended, else the home folder.
#pragma once

#include <QString>

namespace start_folder {

// The folder to open for a command-line argument (empty when none was given);
// a folder or a file's folder as an absolute path, empty when it names nothing.
QString FolderOf(const QString& named);
// The first existing folder of: the named one, the remembered one, home.
QString Choose(const QString& named, const QString& remembered);

// The folder of the last run, kept in the settings under the application's name;
// the window remembers every folder it lists.
QString Remembered();
void Remember(const QString& folder);

}  // namespace start_folder
