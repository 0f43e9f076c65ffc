#pragma once

#include <QObject>
#include <QThreadPool>
#include <functional>

#include "platform/graphics/bitmap.h"

namespace platform {

// Makes overviews off the UI thread, one at a time, and hands each result back on the UI
// thread through the event loop. A result whose worker has gone is dropped; the worker waits
// for the one being made when it goes.
class OverviewWorker : public QObject {
    Q_OBJECT

  public:
    explicit OverviewWorker(QObject* parent = nullptr);
    ~OverviewWorker() override;

    void Run(std::function<Bitmap()> make, std::function<void(Bitmap)> done);

  private:
    QThreadPool m_pool;
};

}  // namespace platform
