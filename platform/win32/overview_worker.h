#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/graphics/bitmap.h"
#include "platform/win32/windows_api.h"

namespace platform::win32 {

// Makes overviews off the window thread, one at a time, and hands each result back on the
// window thread: the worker posts `message` to the window, whose procedure then calls
// DeliverFinished. Results wait here, not in the message, so that none is lost or leaked when
// the window goes first. The worker waits for the overview being made when it goes.
class OverviewWorker {
  public:
    OverviewWorker() = default;
    ~OverviewWorker();
    OverviewWorker(const OverviewWorker&) = delete;
    OverviewWorker& operator=(const OverviewWorker&) = delete;

    // Where finished results are announced; set before the first Run.
    void SetTarget(::HWND window, UINT message) {
        m_window = window;
        m_message = message;
    }
    void Run(std::function<Bitmap()> make, std::function<void(Bitmap)> done);
    // Hands every finished result to its callback, on the calling (window) thread.
    void DeliverFinished();

  private:
    struct Job {
        std::function<Bitmap()> make;
        std::function<void(Bitmap)> done;
    };
    struct Finished {
        Bitmap overview;
        std::function<void(Bitmap)> done;
    };
    void Work();

    ::HWND m_window = nullptr;
    UINT m_message = 0;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<Job> m_jobs;
    std::vector<Finished> m_finished;
    bool m_stopping = false;
    std::thread m_thread;
};

}  // namespace platform::win32
