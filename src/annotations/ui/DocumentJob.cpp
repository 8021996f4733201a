#include "annotations/ui/DocumentJob.h"

namespace tavora::annotations::ui {

bool DocumentJob::start(Work work) {
    if (m_running)
        return false;
    if (m_thread.joinable())
        m_thread.join();
    m_running = true;
    const unsigned generation = ++m_generation;
    m_thread = std::thread([this, generation, work = std::move(work)] {
        Continuation done = work();
        // The destructor joins this thread first, so `this` is alive here; a call queued to an
        // object that is gone by then is dropped by Qt.
        QMetaObject::invokeMethod(
            this,
            [this, generation, done = std::move(done)] {
                if (generation != m_generation || !m_running)
                    return; // waited for: dropped
                if (m_thread.joinable())
                    m_thread.join();
                m_running = false;
                if (done)
                    done();
            },
            Qt::QueuedConnection);
    });
    return true;
}

void DocumentJob::wait() {
    if (m_thread.joinable())
        m_thread.join();
    m_running = false;
}

} // namespace tavora::annotations::ui
