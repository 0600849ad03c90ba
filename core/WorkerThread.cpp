#include "WorkerThread.h"

#include <system_error>
#include <utility>

#include "HelperThreadSignals.h"

namespace velkor {

WorkerThread::~WorkerThread() {
    if (!thread_.joinable()) {
        return;
    }
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return !task_; });
        quit_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

void WorkerThread::Hand(std::function<void()> task) {
    Wait();
    if (!thread_.joinable()) {
        try {
            const HelperThreadSignals quiet;
            thread_ = std::thread([this] { Work(); });
        } catch (const std::system_error&) {
            task();
            return;
        }
    }
    {
        const std::lock_guard lock(mutex_);
        task_ = std::move(task);
    }
    changed_.notify_all();
}

void WorkerThread::Wait() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return !task_; });
}

void WorkerThread::Work() {
    std::unique_lock lock(mutex_);
    while (true) {
        changed_.wait(lock, [this] { return task_ || quit_; });
        if (!task_) {
            return;
        }
        lock.unlock();
        task_();
        lock.lock();
        task_ = nullptr;
        changed_.notify_all();
    }
}

}  // namespace velkor
