#pragma once
// A file layer under SQLite that fails from the n-th write, truncate or sync on, as a full disk
// does (files still open): every connection opened while a FailingDisk lives goes through it.
#include <sqlite3.h>

namespace failing_disk {

inline long operations = 0;
inline long failFrom = 0;   // 0: never

inline bool Failing() {
    ++operations;
    return failFrom > 0 && operations >= failFrom;
}

inline sqlite3_vfs* realVfs = nullptr;
inline sqlite3_vfs failVfs;

struct FailFile {
    sqlite3_file base;
    sqlite3_file* real;
};

inline sqlite3_file* Real(sqlite3_file* f) { return reinterpret_cast<FailFile*>(f)->real; }
inline const sqlite3_io_methods& M(sqlite3_file* f) { return *Real(f)->pMethods; }

inline int Close(sqlite3_file* f) { return M(f).xClose(Real(f)); }
inline int Read(sqlite3_file* f, void* b, int n, sqlite3_int64 o) { return M(f).xRead(Real(f), b, n, o); }
inline int Write(sqlite3_file* f, const void* b, int n, sqlite3_int64 o) {
    return Failing() ? SQLITE_FULL : M(f).xWrite(Real(f), b, n, o);
}
inline int Truncate(sqlite3_file* f, sqlite3_int64 n) { return Failing() ? SQLITE_IOERR_TRUNCATE : M(f).xTruncate(Real(f), n); }
inline int Sync(sqlite3_file* f, int flags) { return Failing() ? SQLITE_IOERR_FSYNC : M(f).xSync(Real(f), flags); }
inline int FileSize(sqlite3_file* f, sqlite3_int64* n) { return M(f).xFileSize(Real(f), n); }
inline int Lock(sqlite3_file* f, int l) { return M(f).xLock(Real(f), l); }
inline int Unlock(sqlite3_file* f, int l) { return M(f).xUnlock(Real(f), l); }
inline int CheckReserved(sqlite3_file* f, int* r) { return M(f).xCheckReservedLock(Real(f), r); }
inline int Control(sqlite3_file* f, int op, void* a) { return M(f).xFileControl(Real(f), op, a); }
inline int SectorSize(sqlite3_file* f) { return M(f).xSectorSize(Real(f)); }
inline int Device(sqlite3_file* f) { return M(f).xDeviceCharacteristics(Real(f)); }
inline int ShmMap(sqlite3_file* f, int p, int s, int w, void volatile** m) { return M(f).xShmMap(Real(f), p, s, w, m); }
inline int ShmLock(sqlite3_file* f, int o, int n, int fl) { return M(f).xShmLock(Real(f), o, n, fl); }
inline void ShmBarrier(sqlite3_file* f) { M(f).xShmBarrier(Real(f)); }
inline int ShmUnmap(sqlite3_file* f, int d) { return M(f).xShmUnmap(Real(f), d); }
inline int Fetch(sqlite3_file* f, sqlite3_int64 o, int n, void** p) { return M(f).xFetch(Real(f), o, n, p); }
inline int Unfetch(sqlite3_file* f, sqlite3_int64 o, void* p) { return M(f).xUnfetch(Real(f), o, p); }

inline const sqlite3_io_methods failMethods = {
    3, Close, Read, Write, Truncate, Sync, FileSize, Lock, Unlock, CheckReserved, Control, SectorSize, Device,
    ShmMap, ShmLock, ShmBarrier, ShmUnmap, Fetch, Unfetch,
};

inline int Open(sqlite3_vfs*, const char* name, sqlite3_file* f, int flags, int* outFlags) {
    auto* s = reinterpret_cast<FailFile*>(f);
    s->real = reinterpret_cast<sqlite3_file*>(s + 1);
    const int rc = realVfs->xOpen(realVfs, name, s->real, flags, outFlags);
    s->base.pMethods = s->real->pMethods ? &failMethods : nullptr;
    return rc;
}

} // namespace failing_disk

class FailingDisk {
public:
    FailingDisk() {
        using namespace failing_disk;
        realVfs = sqlite3_vfs_find(nullptr);
        failVfs = *realVfs;
        failVfs.zName = "varnfail";
        failVfs.szOsFile = static_cast<int>(sizeof(FailFile)) + realVfs->szOsFile;
        failVfs.xOpen = Open;
        sqlite3_vfs_register(&failVfs, 1);
    }
    ~FailingDisk() {
        using namespace failing_disk;
        failFrom = 0;
        sqlite3_vfs_register(realVfs, 1);
        sqlite3_vfs_unregister(&failVfs);
    }
    FailingDisk(const FailingDisk&) = delete;
    FailingDisk& operator=(const FailingDisk&) = delete;
    // Counting starts again; from the n-th operation on everything fails (0: nothing).
    void FailFrom(long n) {
        failing_disk::operations = 0;
        failing_disk::failFrom = n;
    }
    long Count() const { return failing_disk::operations; }
};
