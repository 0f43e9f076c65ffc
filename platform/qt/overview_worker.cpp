#include "platform/qt/overview_worker.h"

#include <QMetaObject>
#include <memory>
#include <new>

namespace platform {

OverviewWorker::OverviewWorker(QObject* parent) : QObject(parent) {
    // One thread: overviews come one picture at a time, and the other core is the UI's.
    m_pool.setMaxThreadCount(1);
}

OverviewWorker::~OverviewWorker() {
    m_pool.waitForDone();
}

void OverviewWorker::Run(std::function<Bitmap()> make, std::function<void(Bitmap)> done) {
    m_pool.start([this, make = std::move(make), done = std::move(done)]() mutable {
        auto overview = std::make_shared<Bitmap>();
        try {
            *overview = make();
        } catch (const std::bad_alloc&) {
            // The overview failed, not the program: the pane is left empty.
        }
        // Queued to this object: it runs on the UI thread, or not at all if this has gone.
        QMetaObject::invokeMethod(
            this, [done = std::move(done), overview] { done(std::move(*overview)); },
            Qt::QueuedConnection);
    });
}

}  // namespace platform
