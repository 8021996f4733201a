// SQLite in the sanitizer build. The system SQLite is not instrumented, so AddressSanitizer's
// allocator only guards the blocks it hands out, and doing so with a stack trace and a
// quarantine for every one of SQLite's many small allocations made it most of the cost of an
// input. Here SQLite allocates from the C library instead, each block fenced by poisoned
// bytes (and poisoned once freed), so reading a value SQLite handed out past its end is still
// reported, at a fraction of the cost. Lookaside is off so that every block gets its fences.
// The count of live blocks shows an input that leaves a connection or a statement open.
// TAVORA_FUZZ_SQLITE_ASAN=1 keeps AddressSanitizer's own allocator for SQLite (slower; for a
// finding whose report should say where SQLite allocated the block).
#include "FuzzSupport.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TAVORA_FUZZ_ASAN 1
#endif
#endif

#ifdef TAVORA_FUZZ_ASAN
#include <sanitizer/asan_interface.h>
extern "C" void* __libc_malloc(std::size_t);
extern "C" void __libc_free(void*);
#endif

namespace tavora::fuzz {

namespace {

long g_liveBlocks = 0;
bool g_counting = false;

#ifdef TAVORA_FUZZ_ASAN
constexpr std::size_t kFence = 16; // before the block (holding its size) and after it

std::size_t roundUp(std::size_t n) {
    return (n + 7) & ~std::size_t(7);
}

__attribute__((no_sanitize("address"))) std::size_t storedSize(void* body) {
    std::size_t size;
    std::memcpy(&size, static_cast<char*>(body) - kFence, sizeof size);
    return size;
}

__attribute__((no_sanitize("address"))) void* fencedMalloc(int n) {
    if (n <= 0)
        return nullptr;
    const auto size = static_cast<std::size_t>(n);
    const std::size_t total = kFence + roundUp(size) + kFence;
    auto* block = static_cast<char*>(__libc_malloc(total));
    if (!block)
        return nullptr;
    std::memcpy(block, &size, sizeof size);
    ASAN_POISON_MEMORY_REGION(block, total);
    ASAN_UNPOISON_MEMORY_REGION(block + kFence, size);
    ++g_liveBlocks;
    return block + kFence;
}

void fencedFree(void* body) {
    if (!body)
        return;
    char* block = static_cast<char*>(body) - kFence;
    ASAN_POISON_MEMORY_REGION(block, kFence + roundUp(storedSize(body)) + kFence);
    --g_liveBlocks;
    __libc_free(block);
}

void* fencedRealloc(void* body, int n) {
    void* moved = fencedMalloc(n);
    if (!moved)
        return nullptr;
    const std::size_t keep = std::min(storedSize(body), static_cast<std::size_t>(n));
    std::memcpy(moved, body, keep);
    fencedFree(body);
    return moved;
}

int fencedSize(void* body) {
    return body ? static_cast<int>(storedSize(body)) : 0;
}

int fencedRoundup(int n) {
    return static_cast<int>(roundUp(static_cast<std::size_t>(n)));
}

int noInit(void*) {
    return SQLITE_OK;
}

void noShutdown(void*) {}

const sqlite3_mem_methods kFencedMethods{fencedMalloc,  fencedFree, fencedRealloc, fencedSize,
                                         fencedRoundup, noInit,     noShutdown,    nullptr};
#endif

void configure() {
    static const bool configured = [] {
#ifdef TAVORA_FUZZ_ASAN
        const char* plain = std::getenv("TAVORA_FUZZ_SQLITE_ASAN");
        if (!plain || std::string_view(plain) != "1") {
            check(sqlite3_config(SQLITE_CONFIG_MALLOC, &kFencedMethods) == SQLITE_OK,
                  "SQLite was in use before its allocator was set");
            sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
            sqlite3_config(SQLITE_CONFIG_LOOKASIDE, 0, 0);
            g_counting = true;
        }
#endif
        return sqlite3_initialize() == SQLITE_OK;
    }();
    check(configured, "SQLite does not initialise");
}

} // namespace

SqliteUse::SqliteUse() {
    configure();
    m_liveAtStart = g_liveBlocks;
}

SqliteUse::~SqliteUse() {
    check(!g_counting || g_liveBlocks == m_liveAtStart,
          "an input left SQLite memory behind (a connection or statement open)",
          std::to_string(g_liveBlocks - m_liveAtStart) + " blocks");
}

} // namespace tavora::fuzz
