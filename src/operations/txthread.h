#pragma once
// The program's worker thread: idle until resumed, then one operation, then idle again. The
// windows start an operation by setting `operation` and resuming, poll `operation`, `progress`
// and stage() while it runs, may set `cancel`, and read the results once `operation` is 0.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

namespace tgm {

class TXThread {
public:
    // Starts the thread idle.
    TXThread();
    // Stops the thread. A derived class must call stop() in its own destructor: the thread may
    // be inside run_operation, which is the derived class's.
    virtual ~TXThread();
    TXThread(const TXThread&) = delete;
    TXThread& operator=(const TXThread&) = delete;

    // Lets the thread run one operation. Returns once the thread has cleared cancel, progress
    // and the texts, so a cancel set after this call is never lost.
    void resume();
    // Program end: sets cancel, asks the thread to end and waits for it; no further operation.
    void stop();

    void add_trace(const std::string& text);
    // Replaces the stage text and adds it with ":  " to the trace.
    void set_stage(const std::string& text);
    // A copy of the stage text, safe to take while the thread replaces it.
    std::string stage_text() const;

    // Read only after `operation` went back to 0.
    std::string error_text;
    std::string trace_text;
    bool result = false;
    // Shared with the windows while the operation runs.
    std::atomic<int32_t> operation{0};
    std::atomic<int32_t> progress{0};
    std::atomic<bool> cancel{false};

protected:
    virtual bool run_operation() = 0;

private:
    void body();

    mutable std::mutex stage_mutex_;
    std::string stage_;
    std::mutex mutex_;
    std::condition_variable wake_;
    uint64_t resumes_ = 0; // resume() calls so far
    uint64_t started_ = 0; // operations that have passed their first step
    bool terminated_ = false;
    bool finished_ = false;
    // Last: the thread starts once every other member exists.
    std::thread thread_;
};

} // namespace tgm
