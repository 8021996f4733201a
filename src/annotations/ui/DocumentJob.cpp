#include "annotations/ui/DocumentJob.h"

#include <utility>

namespace tavora::annotations::ui {

bool DocumentJob::start(Work work) {
    if (m_running)
        return false;
    if (m_thread.joinable())
        m_thread.join();
    m_running = true;
    const unsigned generation = ++m_generation;
    m_done = nullptr;
    m_thread = std::thread([this, generation, work = std::move(work)] {
        m_done = work();
        // The destructor joins this thread first, so `this` is alive here; a call queued to an
        // object that is gone by then is dropped by Qt.
        QMetaObject::invokeMethod(
            this,
            [this, generation] {
                if (generation != m_generation || !m_running)
                    return; // waited for or finished: dropped
                if (m_thread.joinable())
                    m_thread.join();
                m_running = false;
                if (Continuation done = std::exchange(m_done, nullptr))
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
    m_done = nullptr;
}

void DocumentJob::finish() {
    if (!m_running)
        return;
    if (m_thread.joinable())
        m_thread.join(); // m_done is set and visible once the thread has ended
    m_running = false;
    if (Continuation done = std::exchange(m_done, nullptr))
        done();
}

} // namespace tavora::annotations::ui
