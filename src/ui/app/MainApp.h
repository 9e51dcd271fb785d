#pragma once

#include <QString>

#include "ui/platform/ActivationToken.h"

class QDialog;

namespace mopira {

// Starts the program: reads the command line, finds the data folder (beside the executable
// for a portable copy, the user's own for an installed one, or the one the command line
// names) and the settings file (named after the executable, in the user's configuration
// folder), runs the main window and ends the program when it closes. A later start hands its
// request (come to the front, toggle, show, hide) to the running program and ends.
class CMainApp {
public:
    // Returns the program's exit code. `token` is what the desktop started this process with.
    int InitInstance(const ActivationToken& token = {});

    static QString SettingsPath();

    // Shows `window` and returns its result once it has ended (QDialog::done, as its close
    // button, Escape or Quit do). Hiding it does not end it: the program goes on without a
    // window on screen until it is shown again, where a modal loop would end at the hide.
    static int RunMainWindow(QDialog& window);
};

}  // namespace mopira
