#pragma once

#include <QObject>
#include <memory>
#include <optional>
#include <utility>

namespace mopira {

// The one thread that reads and writes the program's files, so that the window never waits
// for the disk. Jobs run one at a time in the order they were posted; what each returns comes
// back to the thread that owns this object (the window's), in the same order.
//
// A job is handed only the data it needs, by value: it must not reach objects of the window's
// thread. Its result, and the job with whatever it captured, are handed back through a mutex,
// so the window's thread sees everything the job did and may free what it captured.
class CDiskThread : public QObject {
    Q_OBJECT

public:
    explicit CDiskThread(QObject* parent = nullptr);
    // Runs the jobs still waiting (a save among them), then stops; results not yet handed back
    // are dropped.
    ~CDiskThread() override;
    CDiskThread(const CDiskThread&) = delete;
    CDiskThread& operator=(const CDiskThread&) = delete;

    // Runs `job()` on the disk thread after every job posted before it, then `done(result)` on
    // this object's thread.
    template <class Job, class Done>
    void Post(Job job, Done done) {
        PostTask(std::make_unique<CTask<Job, Done>>(std::move(job), std::move(done)));
    }

    // Waits until every job posted so far has run, and hands back their results (jobs posted
    // by those results included). For closing, and for tests.
    void Drain();
    // Whether a job is waiting or running.
    bool IsBusy() const;

    // Whether the caller runs on a disk thread.
    static bool OnDiskThread();

protected:
    bool event(QEvent* event) override;

private:
    struct ITask {
        virtual ~ITask() = default;
        virtual void Run() = 0;
        virtual void Finish() = 0;
    };
    template <class Job, class Done>
    struct CTask final : ITask {
        CTask(Job&& job, Done&& done) : m_job(std::move(job)), m_done(std::move(done)) {}
        void Run() override { m_result.emplace(m_job()); }
        void Finish() override { m_done(std::move(*m_result)); }
        Job m_job;
        Done m_done;
        std::optional<decltype(std::declval<Job&>()())> m_result;
    };

    void PostTask(std::unique_ptr<ITask> task);
    void Work();
    // On the owner's thread: hands back what is done.
    void Deliver();

    struct Private;
    std::unique_ptr<Private> d;
};

}  // namespace mopira
