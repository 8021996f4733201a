#pragma once
// Runs one document job (an open or a save) at a time on its own thread. The job builds its
// result without touching anything a window shows and returns what the UI thread does with
// it; that continuation runs on the UI thread. wait() (and the destructor) blocks until a
// running job has finished, so the program never ends in the middle of writing a file.
// Created and used on the UI thread.
#include <QObject>

#include <functional>
#include <thread>

namespace tavora::annotations::ui {

class DocumentJob : public QObject {
    Q_OBJECT
public:
    using Continuation = std::function<void()>;
    using Work = std::function<Continuation()>;

    explicit DocumentJob(QObject* parent = nullptr) : QObject(parent) {}
    ~DocumentJob() override { wait(); }

    bool running() const { return m_running; }
    // Starts `work` on a new thread; false (and nothing started) while a job runs.
    bool start(Work work);
    // Blocks until the running job's thread has ended; its continuation is dropped.
    void wait();
    // Blocks until the running job's thread has ended, then runs its continuation here (a
    // question about the document must see the outcome of a save still being written).
    void finish();

private:
    std::thread m_thread;
    Continuation m_done; // written by the job's thread before it ends
    bool m_running = false;
    unsigned m_generation = 0;
};

} // namespace tavora::annotations::ui
