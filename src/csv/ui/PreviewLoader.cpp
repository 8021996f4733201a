#include "csv/ui/PreviewLoader.h"

#include <QMetaObject>

namespace tavora::csv::ui {

PreviewLoader::PreviewLoader(QObject* parent) : QObject(parent) {}

PreviewLoader::~PreviewLoader() {
    for (auto& job : m_jobs)
        if (job.thread.joinable())
            job.thread.join();
}

void PreviewLoader::load(const std::filesystem::path& file, const CsvMapping& mapping) {
    const std::uint64_t generation = ++m_generation;
    m_pending = true;
    std::thread thread([this, generation, file, mapping] {
        auto preview = std::make_shared<const CsvPreview>(previewPriceCsv(file, mapping));
        // The destructor joins this thread, so `this` is alive while the call is queued.
        QMetaObject::invokeMethod(
            this, [this, generation, preview] { finished(generation, preview); }, Qt::QueuedConnection);
    });
    m_jobs.push_back(Job{generation, std::move(thread)});
}

void PreviewLoader::finished(std::uint64_t generation, std::shared_ptr<const CsvPreview> preview) {
    for (auto it = m_jobs.begin(); it != m_jobs.end(); ++it)
        if (it->generation == generation) {
            it->thread.join();
            m_jobs.erase(it);
            break;
        }
    if (generation != m_generation)
        return; // a newer request is on its way
    m_pending = false;
    emit loaded(std::move(preview));
}

} // namespace tavora::csv::ui
