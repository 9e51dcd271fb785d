#pragma once

#include <QByteArray>

namespace mopira {

// What a desktop hands a program it starts so that the program's window may take the focus from
// the window the user was in: an xdg-activation token on Wayland, a startup-notification id on
// X11 (which carries the time of the user's click or key). A later start passes its own on to
// the running program, whose window is the one to come forward.
struct ActivationToken {
    QByteArray xdgActivation;  // XDG_ACTIVATION_TOKEN
    QByteArray startupId;      // DESKTOP_STARTUP_ID

    bool IsEmpty() const { return xdgActivation.isEmpty() && startupId.isEmpty(); }

    // The tokens this process was started with. Read before the application object exists: Qt's
    // X11 platform takes DESKTOP_STARTUP_ID out of the environment as it starts (and ends that
    // launch with its first window); the Wayland token is taken out here, so that no program
    // started from this one (a browser for the help) comes with a token already spent.
    static ActivationToken TakeFromEnvironment() {
        ActivationToken token{qgetenv("XDG_ACTIVATION_TOKEN"), qgetenv("DESKTOP_STARTUP_ID")};
        qunsetenv("XDG_ACTIVATION_TOKEN");
        return token;
    }
};

}  // namespace mopira
