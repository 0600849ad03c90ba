#include "WorkerThread.h"

#include <gtest/gtest.h>

#include <pthread.h>

#include <chrono>
#include <csignal>
#include <thread>
#include <vector>

namespace velkor {
namespace {

using std::chrono::milliseconds;

TEST(WorkerThread, RunsTasksInTurnBesideTheCaller) {
    std::vector<int> order;
    std::vector<std::thread::id> threads;
    {
        WorkerThread worker;
        for (int task = 0; task < 50; ++task) {
            // Hand waits for the task before, so the slow first one cannot be overtaken.
            worker.Hand([&order, &threads, task] {
                if (task == 0) {
                    std::this_thread::sleep_for(milliseconds(20));
                }
                order.push_back(task);
                threads.push_back(std::this_thread::get_id());
            });
        }
        worker.Wait();
        EXPECT_EQ(order.size(), 50U);
    }
    for (std::size_t task = 0; task < order.size(); ++task) {
        EXPECT_EQ(order[task], static_cast<int>(task));
        EXPECT_NE(threads[task], std::this_thread::get_id());
    }
}

TEST(WorkerThread, WaitAndTheEndWaitForTheTask) {
    bool done = false;
    WorkerThread worker;
    worker.Hand([&done] {
        std::this_thread::sleep_for(milliseconds(30));
        done = true;
    });
    worker.Wait();
    EXPECT_TRUE(done);

    auto last = std::make_unique<int>(0);
    {
        WorkerThread ending;
        ending.Hand([&last] {
            std::this_thread::sleep_for(milliseconds(30));
            *last = 7;
        });
    }
    EXPECT_EQ(*last, 7);
}

// A signal sent to the process must reach the caller, which may be waiting
// for input with the signals let through, and never the worker.
TEST(WorkerThread, TakesNoSignalMeantForTheProcess) {
    const auto blocked = [](int signal) {
        sigset_t mask;
        ::pthread_sigmask(SIG_SETMASK, nullptr, &mask);
        return sigismember(&mask, signal) == 1;
    };
    std::vector<bool> inWorker;
    WorkerThread worker;
    worker.Hand([&] {
        for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGUSR1, SIGSEGV, SIGBUS}) {
            inWorker.push_back(blocked(signal));
        }
    });
    worker.Wait();
    EXPECT_EQ(inWorker, (std::vector<bool>{true, true, true, true, true, false, false}));
    EXPECT_FALSE(blocked(SIGINT));
    EXPECT_FALSE(blocked(SIGTERM));
}

}  // namespace
}  // namespace velkor
