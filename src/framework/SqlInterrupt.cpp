#include "framework/SqlInterrupt.h"

#include <sqlite3.h>

namespace tavora::framework {

namespace {
// Virtual-machine steps between two looks at the flag: a few microseconds of work.
constexpr int kStepsBetweenChecks = 10000;
} // namespace

SqlInterruptScope::SqlInterruptScope(sqlite3* db, const std::atomic<bool>* cancel) : m_db(db), m_cancel(cancel) {
    if (m_db && m_cancel)
        sqlite3_progress_handler(m_db, kStepsBetweenChecks, &SqlInterruptScope::check, this);
}

SqlInterruptScope::~SqlInterruptScope() {
    if (m_db && m_cancel)
        sqlite3_progress_handler(m_db, 0, nullptr, nullptr);
}

int SqlInterruptScope::check(void* self) {
    auto* scope = static_cast<SqlInterruptScope*>(self);
    if (!scope->m_cancel->load())
        return 0;
    scope->m_interrupted = true;
    return 1;
}

} // namespace tavora::framework
