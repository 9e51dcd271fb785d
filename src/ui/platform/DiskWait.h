#pragma once

#include <QApplication>
#include <QEventLoop>
#include <optional>
#include <utility>

#include "store/DiskThread.h"

namespace mopira {

// Runs `job` on the disk thread and lets the window run until its result is back, for a
// command that cannot go on without it; the window paints and takes input meanwhile.
template <class Job>
auto WaitForDisk(CDiskThread& disk, Job job) -> decltype(job()) {
    using Result = decltype(job());
    std::optional<Result> result;
    QEventLoop loop;
    disk.Post(std::move(job), [&result, &loop](Result value) {
        result.emplace(std::move(value));
        loop.quit();
    });
    QApplication::setOverrideCursor(Qt::BusyCursor);
    if (!result) {
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    QApplication::restoreOverrideCursor();
    return std::move(*result);
}

}  // namespace mopira
