#pragma once
// Ends a long SQLite statement when a cancel flag is raised: while a SqlInterruptScope lives,
// the connection's progress handler looks at the flag every few thousand virtual-machine steps
// and interrupts the running statement (it fails with SQLITE_INTERRUPT, and a write is rolled
// back by the caller as on any failure). Used on the thread that owns the connection.
#include <atomic>

struct sqlite3;

namespace tavora::framework {

class SqlInterruptScope {
public:
    // A null flag installs nothing.
    SqlInterruptScope(sqlite3* db, const std::atomic<bool>* cancel);
    ~SqlInterruptScope();
    SqlInterruptScope(const SqlInterruptScope&) = delete;
    SqlInterruptScope& operator=(const SqlInterruptScope&) = delete;

    // True when the flag ended a statement while the scope lived.
    bool interrupted() const { return m_interrupted; }

private:
    static int check(void* self);

    sqlite3* m_db;
    const std::atomic<bool>* m_cancel;
    bool m_interrupted = false;
};

} // namespace tavora::framework
