#pragma once
// Reads the preview of a file through a mapping off the UI thread, so that a large file does
// not stall the window. Each request replaces the one before: only the newest preview is
// delivered (signal `loaded`). The destructor waits for the threads still reading. Created and
// used on the UI thread.
#include "csv/CsvMapping.h"
#include "csv/CsvPreview.h"

#include <QObject>

#include <cstdint>
#include <filesystem>
#include <list>
#include <memory>
#include <thread>

namespace tavora::csv::ui {

class PreviewLoader : public QObject {
    Q_OBJECT
public:
    explicit PreviewLoader(QObject* parent = nullptr);
    ~PreviewLoader() override;

    void load(const std::filesystem::path& file, const CsvMapping& mapping);
    bool loading() const { return m_pending; }

signals:
    void loaded(std::shared_ptr<const tavora::csv::CsvPreview> preview);

private:
    struct Job {
        std::uint64_t generation;
        std::thread thread;
    };
    void finished(std::uint64_t generation, std::shared_ptr<const CsvPreview> preview);

    std::list<Job> m_jobs;
    std::uint64_t m_generation = 0;
    bool m_pending = false;
};

} // namespace tavora::csv::ui
