#pragma once

#include <QString>

namespace mopira {

// Starts the program: reads the command line, finds the data folder (beside the executable
// for a portable copy, the user's own for an installed one, or the one the command line
// names) and the settings file (named after the executable, in the user's configuration
// folder), runs the main window modally and ends the program when it closes.
class CMainApp {
public:
    // Returns the program's exit code.
    int InitInstance();

    static QString SettingsPath();
};

}  // namespace mopira
