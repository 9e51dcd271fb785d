#include "store/DiskThread.h"

#include <QCoreApplication>
#include <QEvent>
#include <QThread>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace mopira {

namespace {

thread_local bool t_bDiskThread = false;

// Posted to the owner's thread when results are waiting.
const auto kDeliverEvent = static_cast<QEvent::Type>(QEvent::User + 1);

}  // namespace

struct CDiskThread::Private {
    std::mutex mutex;
    std::condition_variable wake;
    std::deque<std::unique_ptr<ITask>> waiting;
    std::deque<std::unique_ptr<ITask>> done;
    bool bRunning = false;
    bool bStop = false;
    bool bDeliveryPosted = false;
    std::thread thread;
};

CDiskThread::CDiskThread(QObject* parent) : QObject(parent), d(std::make_unique<Private>()) {
    d->thread = std::thread([this] { Work(); });
}

CDiskThread::~CDiskThread() {
    {
        const std::lock_guard<std::mutex> lock(d->mutex);
        d->bStop = true;
    }
    d->wake.notify_all();
    d->thread.join();
}

bool CDiskThread::OnDiskThread() {
    return t_bDiskThread;
}

void CDiskThread::PostTask(std::unique_ptr<ITask> task) {
    Q_ASSERT(QThread::currentThread() == thread());
    {
        const std::lock_guard<std::mutex> lock(d->mutex);
        d->waiting.push_back(std::move(task));
    }
    d->wake.notify_all();
}

bool CDiskThread::IsBusy() const {
    const std::lock_guard<std::mutex> lock(d->mutex);
    return d->bRunning || !d->waiting.empty();
}

void CDiskThread::Drain() {
    Q_ASSERT(QThread::currentThread() == thread());
    for (;;) {
        {
            std::unique_lock<std::mutex> lock(d->mutex);
            d->wake.wait(lock, [this] { return !d->bRunning && d->waiting.empty(); });
            if (d->done.empty()) {
                return;
            }
        }
        Deliver();
    }
}

bool CDiskThread::event(QEvent* event) {
    {
        // Whatever the disk thread did before it posted the event is seen from here on: Qt's own
        // queue orders it too, but out of a thread sanitizer's sight.
        const std::lock_guard<std::mutex> lock(d->mutex);
    }
    if (event->type() == kDeliverEvent) {
        Deliver();
        return true;
    }
    return QObject::event(event);
}

void CDiskThread::Deliver() {
    Q_ASSERT(QThread::currentThread() == thread());
    for (;;) {
        std::unique_ptr<ITask> task;
        {
            const std::lock_guard<std::mutex> lock(d->mutex);
            d->bDeliveryPosted = false;
            if (d->done.empty()) {
                return;
            }
            task = std::move(d->done.front());
            d->done.pop_front();
        }
        // One at a time: a result may post jobs, or wait in a message box while more come.
        task->Finish();
    }
}

void CDiskThread::Work() {
    t_bDiskThread = true;
    for (;;) {
        std::unique_ptr<ITask> task;
        {
            std::unique_lock<std::mutex> lock(d->mutex);
            d->wake.wait(lock, [this] { return !d->waiting.empty() || d->bStop; });
            if (d->waiting.empty()) {
                return;
            }
            task = std::move(d->waiting.front());
            d->waiting.pop_front();
            d->bRunning = true;
        }
        task->Run();
        QEvent* deliver = nullptr;
        {
            const std::lock_guard<std::mutex> lock(d->mutex);
            d->done.push_back(std::move(task));
            d->bRunning = false;
            if (!d->bDeliveryPosted && !d->bStop) {
                // Made under the lock that the window's thread takes before it reads it.
                deliver = new QEvent(kDeliverEvent);
                d->bDeliveryPosted = true;
            }
        }
        d->wake.notify_all();
        if (deliver) {
            QCoreApplication::postEvent(this, deliver);
        }
    }
}

}  // namespace mopira
