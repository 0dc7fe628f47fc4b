// A second thread kept for the life of a system, so that a step can split
// its bodies over two cores without starting a thread each time.
#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

class nbWorkerPair {
public:
    nbWorkerPair();
    ~nbWorkerPair();
    nbWorkerPair(const nbWorkerPair&) = delete;
    nbWorkerPair& operator=(const nbWorkerPair&) = delete;

    // Runs part(0) on the calling thread and part(1) on the worker; returns
    // when both are done.
    void run(const std::function<void(int)>& part);

    // Whether a second thread can run beside this one at all.
    static bool worthwhile();

private:
    void serve();

    std::mutex mutex_;
    std::condition_variable wake_, done_;
    const std::function<void(int)>* task_ = nullptr;
    unsigned long generation_ = 0;
    bool busy_ = false;
    bool quit_ = false;
    std::thread thread_;
};
