// An SQLite VFS whose files are strings in this process: the code under test opens, reads,
// journals and writes an SQLite file by name as it does on disk, with no disk underneath.
// Locks are granted at once (a fuzz process has one thread); shared memory is kept per file
// so that a file left in WAL mode opens as it would on disk.
#include "FuzzSupport.h"

#include <sqlite3.h>

#include <cstring>
#include <map>
#include <memory>
#include <vector>

namespace tavora::fuzz {

namespace {

constexpr const char* kVfsName = "tavora-fuzz-memory";
constexpr int kSectorSize = 4096;
// A write past this size fails as a full disk would, so that a damaged page number cannot
// make the process allocate without bound.
constexpr std::size_t kMaxFileBytes = std::size_t(256) << 20;

struct MemoryFile {
    std::string bytes;
    std::vector<std::unique_ptr<char[]>> shm; // WAL index regions
    std::size_t shmRegionSize = 0;
};

std::map<std::string, std::shared_ptr<MemoryFile>, std::less<>>& files() {
    static std::map<std::string, std::shared_ptr<MemoryFile>, std::less<>> all;
    return all;
}

struct Handle {
    sqlite3_file base; // first: SQLite sees a sqlite3_file*
    std::shared_ptr<MemoryFile>* file;
    std::string* name;
    bool deleteOnClose;
};

MemoryFile& fileOf(sqlite3_file* f) {
    return **reinterpret_cast<Handle*>(f)->file;
}

int memClose(sqlite3_file* f) {
    auto* h = reinterpret_cast<Handle*>(f);
    if (h->deleteOnClose) {
        const auto it = files().find(*h->name);
        if (it != files().end() && it->second == *h->file)
            files().erase(it);
    }
    delete h->file;
    delete h->name;
    return SQLITE_OK;
}

int memRead(sqlite3_file* f, void* out, int amount, sqlite3_int64 offset) {
    const std::string& bytes = fileOf(f).bytes;
    const auto at = static_cast<std::size_t>(offset);
    const std::size_t have =
        at < bytes.size() ? std::min(bytes.size() - at, static_cast<std::size_t>(amount)) : 0;
    if (have)
        std::memcpy(out, bytes.data() + at, have);
    if (have < static_cast<std::size_t>(amount)) {
        std::memset(static_cast<char*>(out) + have, 0, static_cast<std::size_t>(amount) - have);
        return SQLITE_IOERR_SHORT_READ;
    }
    return SQLITE_OK;
}

int memWrite(sqlite3_file* f, const void* in, int amount, sqlite3_int64 offset) {
    std::string& bytes = fileOf(f).bytes;
    const auto at = static_cast<std::size_t>(offset);
    if (at + static_cast<std::size_t>(amount) > kMaxFileBytes)
        return SQLITE_FULL;
    if (bytes.size() < at + static_cast<std::size_t>(amount))
        bytes.resize(at + static_cast<std::size_t>(amount));
    std::memcpy(bytes.data() + at, in, static_cast<std::size_t>(amount));
    return SQLITE_OK;
}

int memTruncate(sqlite3_file* f, sqlite3_int64 size) {
    std::string& bytes = fileOf(f).bytes;
    if (static_cast<std::size_t>(size) < bytes.size())
        bytes.resize(static_cast<std::size_t>(size));
    return SQLITE_OK;
}

int memSync(sqlite3_file*, int) {
    return SQLITE_OK;
}

int memFileSize(sqlite3_file* f, sqlite3_int64* size) {
    *size = static_cast<sqlite3_int64>(fileOf(f).bytes.size());
    return SQLITE_OK;
}

int memLock(sqlite3_file*, int) {
    return SQLITE_OK;
}

int memCheckReservedLock(sqlite3_file*, int* reserved) {
    *reserved = 0;
    return SQLITE_OK;
}

int memFileControl(sqlite3_file*, int, void*) {
    return SQLITE_NOTFOUND;
}

int memSectorSize(sqlite3_file*) {
    return kSectorSize;
}

int memDeviceCharacteristics(sqlite3_file*) {
    return 0;
}

int memShmMap(sqlite3_file* f, int region, int regionSize, int extend, void volatile** out) {
    MemoryFile& file = fileOf(f);
    const auto index = static_cast<std::size_t>(region);
    if (file.shm.size() <= index) {
        if (!extend) {
            *out = nullptr;
            return SQLITE_OK;
        }
        while (file.shm.size() <= index) {
            file.shm.push_back(std::make_unique<char[]>(static_cast<std::size_t>(regionSize)));
            std::memset(file.shm.back().get(), 0, static_cast<std::size_t>(regionSize));
        }
        file.shmRegionSize = static_cast<std::size_t>(regionSize);
    }
    *out = file.shm[index].get();
    return SQLITE_OK;
}

int memShmLock(sqlite3_file*, int, int, int) {
    return SQLITE_OK;
}

void memShmBarrier(sqlite3_file*) {}

int memShmUnmap(sqlite3_file* f, int deleteFlag) {
    if (deleteFlag)
        fileOf(f).shm.clear();
    return SQLITE_OK;
}

// Version 2: shared memory, no memory-mapped reads.
const sqlite3_io_methods kMethods = {2,
                                     memClose,
                                     memRead,
                                     memWrite,
                                     memTruncate,
                                     memSync,
                                     memFileSize,
                                     memLock,
                                     memLock,
                                     memCheckReservedLock,
                                     memFileControl,
                                     memSectorSize,
                                     memDeviceCharacteristics,
                                     memShmMap,
                                     memShmLock,
                                     memShmBarrier,
                                     memShmUnmap,
                                     nullptr,
                                     nullptr};

int memOpen(sqlite3_vfs*, const char* name, sqlite3_file* f, int flags, int* outFlags) {
    static int anonymous = 0;
    auto* h = reinterpret_cast<Handle*>(f);
    h->base.pMethods = nullptr; // xClose is not called unless the open succeeds
    std::string key = name ? name : "temp-" + std::to_string(++anonymous);
    auto it = files().find(key);
    if (it == files().end()) {
        if (!(flags & SQLITE_OPEN_CREATE))
            return SQLITE_CANTOPEN;
        it = files().emplace(key, std::make_shared<MemoryFile>()).first;
    }
    h->file = new std::shared_ptr<MemoryFile>(it->second);
    h->name = new std::string(std::move(key));
    h->deleteOnClose = (flags & SQLITE_OPEN_DELETEONCLOSE) != 0;
    h->base.pMethods = &kMethods;
    if (outFlags)
        *outFlags = flags;
    return SQLITE_OK;
}

int memDelete(sqlite3_vfs*, const char* name, int) {
    files().erase(name);
    return SQLITE_OK;
}

int memAccess(sqlite3_vfs*, const char* name, int flags, int* result) {
    const auto it = files().find(name);
    // As on disk: a journal that exists but is empty counts as absent.
    *result = it != files().end() && (flags != SQLITE_ACCESS_EXISTS || !it->second->bytes.empty());
    return SQLITE_OK;
}

int memFullPathname(sqlite3_vfs*, const char* name, int size, char* out) {
    sqlite3_snprintf(size, out, "%s", name);
    return SQLITE_OK;
}

sqlite3_vfs* diskVfs() {
    static sqlite3_vfs* const vfs = sqlite3_vfs_find(nullptr);
    return vfs;
}

int memRandomness(sqlite3_vfs*, int size, char* out) {
    return diskVfs()->xRandomness(diskVfs(), size, out);
}

int memSleep(sqlite3_vfs*, int microseconds) {
    return diskVfs()->xSleep(diskVfs(), microseconds);
}

int memCurrentTime(sqlite3_vfs*, double* now) {
    return diskVfs()->xCurrentTime(diskVfs(), now);
}

int memGetLastError(sqlite3_vfs*, int, char*) {
    return 0;
}

void registerVfs() {
    static const bool registered = [] {
        static sqlite3_vfs vfs{};
        vfs.iVersion = 1;
        vfs.szOsFile = sizeof(Handle);
        vfs.mxPathname = 512;
        vfs.zName = kVfsName;
        vfs.xOpen = memOpen;
        vfs.xDelete = memDelete;
        vfs.xAccess = memAccess;
        vfs.xFullPathname = memFullPathname;
        vfs.xRandomness = memRandomness;
        vfs.xSleep = memSleep;
        vfs.xCurrentTime = memCurrentTime;
        vfs.xGetLastError = memGetLastError;
        diskVfs();
        return sqlite3_vfs_register(&vfs, 0) == SQLITE_OK;
    }();
    check(registered, "the memory VFS does not register");
}

} // namespace

std::string memoryFileUri(std::string_view name) {
    registerVfs();
    return "file:" + std::string(name) + "?vfs=" + kVfsName;
}

void putMemoryFile(std::string_view name, std::string_view bytes) {
    registerVfs();
    auto file = std::make_shared<MemoryFile>();
    file->bytes.assign(bytes);
    files()[std::string(name)] = std::move(file);
}

std::optional<std::string> memoryFile(std::string_view name) {
    const auto it = files().find(name);
    if (it == files().end())
        return std::nullopt;
    return it->second->bytes;
}

void clearMemoryFiles() {
    files().clear();
}

} // namespace tavora::fuzz
