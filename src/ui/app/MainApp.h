#pragma once

#include <QString>

namespace mopira {

// Starts the program: finds the data folder (the executable's own) and the settings file
// (named after the executable, in the user's configuration folder), runs the main window
// modally and ends the program when it closes.
class CMainApp {
public:
    int InitInstance();

    static QString DataDirectory();
    static QString SettingsPath();
};

}  // namespace mopira
