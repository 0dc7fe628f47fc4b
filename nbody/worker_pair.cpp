#include "nbody/worker_pair.h"

nbWorkerPair::nbWorkerPair() : thread_([this] { serve(); }) {}

nbWorkerPair::~nbWorkerPair() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        quit_ = true;
    }
    wake_.notify_one();
    thread_.join();
}

bool nbWorkerPair::worthwhile() {
    return std::thread::hardware_concurrency() >= 2;
}

void nbWorkerPair::run(const std::function<void(int)>& part) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        task_ = &part;
        busy_ = true;
        ++generation_;
    }
    wake_.notify_one();
    part(0);
    std::unique_lock<std::mutex> lock(mutex_);
    done_.wait(lock, [this] { return !busy_; });
    task_ = nullptr;
}

void nbWorkerPair::serve() {
    unsigned long seen = 0;
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        wake_.wait(lock, [&] { return quit_ || generation_ != seen; });
        if (quit_)
            return;
        seen = generation_;
        const std::function<void(int)>* task = task_;
        lock.unlock();
        (*task)(1);
        lock.lock();
        busy_ = false;
        done_.notify_one();
    }
}
