#include "PaintProbe.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xdamage.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <sstream>

namespace mopira::bench {

namespace {

// A window can go away between the event that named it and the request about it.
int IgnoreErrors(Display*, XErrorEvent*) {
    return 0;
}

volatile sig_atomic_t g_interrupted = 0;

void Interrupt(int) {
    g_interrupted = 1;
}

}  // namespace

CPaintProbe::CPaintProbe() {
    m_display = XOpenDisplay(nullptr);
    if (!m_display) {
        m_error = "cannot open the display";
        return;
    }
    int error = 0;
    int major = 0;
    int minor = 0;
    int testEvent = 0;
    if (!XDamageQueryExtension(m_display, &m_damageEvent, &error)) {
        m_error = "the X server has no DAMAGE extension";
        return;
    }
    if (!XTestQueryExtension(m_display, &testEvent, &error, &major, &minor)) {
        m_error = "the X server has no XTEST extension";
        return;
    }
    XSetErrorHandler(IgnoreErrors);
    // Interrupted, the probe still ends the program it started.
    struct sigaction action {};
    action.sa_handler = Interrupt;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    // Every top-level window is created as a child of the root, before any window manager
    // adopts it: selecting here before the program starts sees all of them.
    XSelectInput(m_display, DefaultRootWindow(m_display), SubstructureNotifyMask);
    XSync(m_display, False);
}

CPaintProbe::~CPaintProbe() {
    Stop();
    if (m_display) {
        XCloseDisplay(m_display);
    }
}

double CPaintProbe::Now() const {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6 - m_start;
}

bool CPaintProbe::Start(const std::vector<std::string>& command) {
    if (!m_error.empty() || command.empty() || m_child > 0) {
        return false;
    }
    std::vector<char*> argv;
    for (const std::string& word : command) {
        argv.push_back(const_cast<char*>(word.c_str()));
    }
    argv.push_back(nullptr);
    const int connection = ConnectionNumber(m_display);
    m_start = Now();
    m_child = fork();
    if (m_child == 0) {
        close(connection);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    return m_child > 0;
}

void CPaintProbe::Watch(unsigned long window) {
    XSelectInput(m_display, window, StructureNotifyMask);
    // The server frees the damage object with its window.
    XDamageCreate(m_display, window, XDamageReportNonEmpty);
}

bool CPaintProbe::IsProgramWindow(unsigned long window) {
    const auto known = m_owned.find(window);
    if (known != m_owned.end()) {
        return known->second;
    }
    // Qt names its process on every window before mapping it; frames of the window manager
    // never carry the program's id.
    static const Atom pidAtom = XInternAtom(m_display, "_NET_WM_PID", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    bool owned = false;
    if (XGetWindowProperty(m_display, window, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format,
                           &count, &after, &data) == Success &&
        data) {
        owned = format == 32 && count == 1 &&
                static_cast<pid_t>(*reinterpret_cast<unsigned long*>(data)) == m_child;
        XFree(data);
    }
    m_owned[window] = owned;
    return owned;
}

void CPaintProbe::Handle() {
    while (XPending(m_display) > 0) {
        XEvent event;
        XNextEvent(m_display, &event);
        const double now = Now();
        if (event.type == CreateNotify) {
            Watch(event.xcreatewindow.window);
        } else if (event.type == MapNotify) {
            if (m_mapped < 0 && IsProgramWindow(event.xmap.window)) {
                m_mapped = now;
                m_mainWindow = event.xmap.window;
            }
        } else if (event.type == DestroyNotify) {
            m_owned.erase(event.xdestroywindow.window);
        } else if (event.type == m_damageEvent + XDamageNotify) {
            const auto& damage = reinterpret_cast<const XDamageNotifyEvent&>(event);
            if (IsProgramWindow(damage.drawable)) {
                m_paints.push_back({now, damage.drawable == m_mainWindow});
                // Reports resume only once the damage is taken away.
                XDamageSubtract(m_display, damage.damage, None, None);
            } else {
                XDamageDestroy(m_display, damage.damage);
            }
        }
    }
}

bool CPaintProbe::WaitFrom(double from, std::size_t firstPaint, double quietMs, double timeoutMs,
                           Paints& paints) {
    for (;;) {
        Handle();
        const double now = Now();
        paints.count = static_cast<int>(m_paints.size() - firstPaint);
        if (paints.count > 0) {
            paints.first = m_paints[firstPaint].time - from;
            paints.last = m_paints.back().time - from;
            for (std::size_t paint = firstPaint; paint < m_paints.size(); ++paint) {
                if (m_paints[paint].main) {
                    paints.firstMain = m_paints[paint].time - from;
                    break;
                }
            }
            if (now - m_paints.back().time >= quietMs) {
                return true;
            }
        }
        if (now - from > timeoutMs || HasExited() || g_interrupted) {
            return false;
        }
        pollfd connection{ConnectionNumber(m_display), POLLIN, 0};
        const double quietLeft = paints.count > 0 ? m_paints.back().time + quietMs - now : quietMs;
        poll(&connection, 1, static_cast<int>(std::clamp(quietLeft, 1.0, 100.0)));
    }
}

bool CPaintProbe::WaitSettled(double quietMs, double timeoutMs, Paints& paints) {
    return WaitFrom(0, 0, quietMs, timeoutMs, paints);
}

bool CPaintProbe::PressAndWait(const std::string& chord, double quietMs, double timeoutMs,
                               Paints& paints) {
    Handle();
    const std::size_t firstPaint = m_paints.size();
    const double from = Now();
    return SendChord(chord) && WaitFrom(from, firstPaint, quietMs, timeoutMs, paints);
}

bool CPaintProbe::SendChord(const std::string& chord) {
    std::vector<unsigned int> keys;
    std::istringstream words(chord);
    for (std::string word; std::getline(words, word, '+');) {
        if (word == "alt" || word == "ctrl" || word == "shift") {
            word = word == "alt" ? "Alt_L" : word == "ctrl" ? "Control_L" : "Shift_L";
        }
        const KeySym symbol = XStringToKeysym(word.c_str());
        const unsigned int key = symbol == NoSymbol ? 0 : XKeysymToKeycode(m_display, symbol);
        if (key == 0) {
            return false;
        }
        keys.push_back(key);
    }
    for (unsigned int key : keys) {
        XTestFakeKeyEvent(m_display, key, True, CurrentTime);
    }
    for (auto key = keys.rbegin(); key != keys.rend(); ++key) {
        XTestFakeKeyEvent(m_display, *key, False, CurrentTime);
    }
    XFlush(m_display);
    return !keys.empty();
}

bool CPaintProbe::HasExited() {
    if (m_child > 0 && !m_bExited) {
        int status = 0;
        rusage usage{};
        if (wait4(m_child, &status, WNOHANG, &usage) == m_child) {
            m_bExited = true;
            m_peakKiB = usage.ru_maxrss;
        }
    }
    return m_bExited;
}

long CPaintProbe::Stop() {
    if (m_child <= 0 || HasExited()) {
        return m_peakKiB;
    }
    kill(m_child, SIGTERM);
    for (int wait = 0; wait < 500 && !HasExited(); ++wait) {
        usleep(10000);
    }
    if (!HasExited()) {
        kill(m_child, SIGKILL);
        int status = 0;
        rusage usage{};
        if (wait4(m_child, &status, 0, &usage) == m_child) {
            m_bExited = true;
            m_peakKiB = usage.ru_maxrss;
        }
    }
    return m_peakKiB;
}

}  // namespace mopira::bench
