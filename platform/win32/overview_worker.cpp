#include "platform/win32/overview_worker.h"

#include <new>

namespace platform::win32 {

OverviewWorker::~OverviewWorker() {
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
        m_jobs.clear();
    }
    m_wake.notify_all();
    if (m_thread.joinable()) m_thread.join();
}

void OverviewWorker::Run(std::function<Bitmap()> make, std::function<void(Bitmap)> done) {
    {
        std::lock_guard lock(m_mutex);
        m_jobs.push_back({std::move(make), std::move(done)});
    }
    // One thread: overviews come one picture at a time, and the other core is the window's.
    if (!m_thread.joinable()) m_thread = std::thread([this] { Work(); });
    m_wake.notify_one();
}

void OverviewWorker::Work() {
    for (;;) {
        Job job;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [this] { return m_stopping || !m_jobs.empty(); });
            if (m_stopping) return;
            job = std::move(m_jobs.front());
            m_jobs.pop_front();
        }
        Bitmap overview;
        try {
            overview = job.make();
        } catch (const std::bad_alloc&) {
            // The overview failed, not the program: the image is left empty.
        }
        {
            std::lock_guard lock(m_mutex);
            if (m_stopping) return;
            m_finished.push_back({std::move(overview), std::move(job.done)});
        }
        ::PostMessageW(m_window, m_message, 0, 0);
    }
}

void OverviewWorker::DeliverFinished() {
    std::vector<Finished> finished;
    {
        std::lock_guard lock(m_mutex);
        finished.swap(m_finished);
    }
    for (Finished& result : finished) result.done(std::move(result.overview));
}

}  // namespace platform::win32
