#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace velkor {

// One thread beside the caller that runs the tasks handed to it one at a
// time, so that a job's work overlaps its reading or writing. When no thread
// can be had, a task runs on the caller at once.
class WorkerThread {
  public:
    WorkerThread() = default;
    // Waits for the task under way.
    ~WorkerThread();
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

    // Waits for the task before, then hands this one over.
    void Hand(std::function<void()> task);
    // Waits until the task handed over last is done.
    void Wait();

  private:
    void Work();

    std::mutex mutex_;
    std::condition_variable changed_;
    std::function<void()> task_;
    bool quit_ = false;
    std::thread thread_;
};

}  // namespace velkor
