#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

namespace mopira {

// Pastes the clipboard into the program the user came from, as the user would: once the focus
// has gone back from this program's windows to another program's, that one gets Ctrl+V. Only
// X11 lets a program type into another (through XTEST); elsewhere it is never available.
class CPasteBack : public QObject {
    Q_OBJECT

public:
    static bool IsAvailable();

    explicit CPasteBack(QObject* parent = nullptr);

    // Waits, up to `timeoutMs`, for the focus to reach another program and for no menu of
    // this one to hold the keyboard, then pastes there. A start while one waits restarts it.
    void Start(int timeoutMs = 2000);

signals:
    // After each Start: whether the keys were typed.
    void finished(bool pasted);

private:
    void OnPoll();

    QTimer m_timer;
    QElapsedTimer m_elapsed;
    int m_nTimeoutMs = 0;
};

}  // namespace mopira
