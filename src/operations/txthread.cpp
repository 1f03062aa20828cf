#include "operations/txthread.h"

namespace tgm {

TXThread::TXThread() : thread_([this] { body(); }) {}

TXThread::~TXThread() { stop(); }

void TXThread::resume() {
    std::unique_lock<std::mutex> lock(mutex_);
    if (terminated_ || finished_)
        return;
    ++resumes_;
    wake_.notify_all();
    wake_.wait(lock, [this] { return started_ == resumes_ || finished_; });
}

void TXThread::stop() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        terminated_ = true;
        cancel.store(true);
    }
    wake_.notify_all();
    if (thread_.joinable() && thread_.get_id() != std::this_thread::get_id())
        thread_.join();
}

void TXThread::add_trace(const std::string& text) {
    trace_text += ' ';
    trace_text += text;
}

void TXThread::set_stage(const std::string& text) {
    {
        std::lock_guard<std::mutex> lock(stage_mutex_);
        stage_ = text;
    }
    add_trace(text + ":  ");
}

std::string TXThread::stage_text() const {
    std::lock_guard<std::mutex> lock(stage_mutex_);
    return stage_;
}

void TXThread::body() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return terminated_ || resumes_ > started_; });
        if (terminated_)
            break;
        cancel.store(false);
        progress.store(0);
        error_text.clear();
        trace_text.clear();
        {
            std::lock_guard<std::mutex> stage_lock(stage_mutex_);
            stage_.clear();
        }
        started_ = resumes_;
        wake_.notify_all();
        lock.unlock();
        bool ok = false;
        try {
            ok = run_operation();
        } catch (...) {
            // A failure that escaped the operation must still end it, or the windows would
            // wait for it forever.
        }
        result = ok;
        operation.store(0, std::memory_order_release);
        lock.lock();
    }
    finished_ = true;
    wake_.notify_all();
}

} // namespace tgm
