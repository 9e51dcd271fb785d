#pragma once

#include <sys/types.h>

#include <map>
#include <string>
#include <vector>

struct _XDisplay;

namespace mopira::bench {

// Watches, from outside, the windows of a program it starts on an X server: when the first
// one is mapped, when their paints reach the server (XDamage reports every drawing into
// them, so a window mapped but not yet drawn counts as unpainted) and when the paints stop.
// Times are milliseconds since just before the program was started.
class CPaintProbe {
public:
    // Paints that followed one moment: the first after it, the first of the window mapped
    // first (the program's main window), and the last before a quiet spell.
    struct Paints {
        double first = -1;
        double firstMain = -1;
        double last = -1;
        int count = 0;
    };

    CPaintProbe();
    ~CPaintProbe();
    CPaintProbe(const CPaintProbe&) = delete;
    CPaintProbe& operator=(const CPaintProbe&) = delete;

    // Why the probe cannot work (no display, no XDamage, no XTest); empty when it can.
    const std::string& Error() const { return m_error; }

    bool Start(const std::vector<std::string>& command);
    // Waits until the program's windows have painted and then stayed unchanged for
    // `quietMs`; false when that did not happen within `timeoutMs` or the program ended.
    bool WaitSettled(double quietMs, double timeoutMs, Paints& paints);
    // Presses the keys of `chord` ("alt+a", "Return") together, then waits as WaitSettled;
    // the times are from the moment the keys were sent.
    bool PressAndWait(const std::string& chord, double quietMs, double timeoutMs, Paints& paints);
    // Ends the program and returns its peak resident memory in KiB (0 if unknown).
    long Stop();

    double MappedAt() const { return m_mapped; }

private:
    double Now() const;
    void Handle();
    bool WaitFrom(double from, std::size_t firstPaint, double quietMs, double timeoutMs,
                  Paints& paints);
    bool HasExited();
    bool IsProgramWindow(unsigned long window);
    void Watch(unsigned long window);
    bool SendChord(const std::string& chord);

    _XDisplay* m_display = nullptr;
    int m_damageEvent = 0;
    std::string m_error;
    pid_t m_child = -1;
    bool m_bExited = false;
    long m_peakKiB = 0;
    double m_start = 0;
    double m_mapped = -1;
    unsigned long m_mainWindow = 0;
    struct Paint {
        double time;
        bool main;
    };
    std::vector<Paint> m_paints;
    std::map<unsigned long, bool> m_owned;  // window -> whether the program's
};

}  // namespace mopira::bench
