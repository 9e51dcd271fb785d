#pragma once

#include <QObject>

class QSocketNotifier;

namespace mopira {

// SIGTERM, SIGHUP and SIGINT (a logout, a shutdown, kill, Ctrl+C in a terminal) end the program
// as its close button does, changes saved and settings written, rather than at once with
// whatever waited to be saved. The signal only writes a byte into a pipe; the window's thread
// reads it and asks for the end, so nothing runs inside the signal handler.
class CTerminationSignals : public QObject {
    Q_OBJECT

public:
    explicit CTerminationSignals(QObject* parent = nullptr);
    ~CTerminationSignals() override;

signals:
    void terminationRequested();

private:
    QSocketNotifier* m_notifier = nullptr;
};

}  // namespace mopira
