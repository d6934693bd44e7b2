#include "platform/records/RecordFile.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cmath>
#include <cctype>
#include <cstring>
#include <filesystem>
#include <map>
#include <mutex>
#include <stdexcept>
#include <string_view>
#include <unordered_map>

// Storage: one SQLite database per disk file, one SQL table per record table. A row holds the
// packed record bytes and, beside them, a copy of every key field in indexed columns; the row id
// keeps the order of adding among equal keys. The table "varn_tables" lists each table with its
// record size and key signature, and the database carries our application id, so a foreign or
// mismatched file is refused before anything is written to it.
//
// Exclusive opens are kept by flock(2) on the disk file: LOCK_EX for deny-all and deny-write,
// LOCK_SH otherwise, held while any table of the file is open in this process. flock locks are
// separate from SQLite's own fcntl locks, and the lock descriptor is closed only after the
// database connection, so closing it never drops a lock SQLite holds.
//
// Durability: a scratch file (name ending in "~" or ".tmp": the working copy and the edit files)
// runs in WAL mode with synchronous=NORMAL, so a transaction costs no sync; every other file
// uses a rollback journal with synchronous=FULL. FileCopyNamed syncs what it writes, except onto
// a scratch destination.

namespace {

constexpr int kAppId = 0x5661726E;          // "Varn"
constexpr const char* kSingleTable = "records";
constexpr int kDefaultBusyMs = 1000;

struct Container;
struct Transaction {
    bool active = false;
    std::vector<std::shared_ptr<Container>> containers;
};

// Never destroyed: record files that are globals of other units close after static destruction
// has begun.
std::recursive_mutex& Mutex() {
    static auto& m = *new std::recursive_mutex;
    return m;
}
std::map<std::string, std::weak_ptr<Container>>& Containers() {
    static auto& m = *new std::map<std::string, std::weak_ptr<Container>>;
    return m;
}
// Files this process holds (FileHoldNamed): the path as ParseName gives it and the locked
// descriptor, -1 for a name reserved before its file exists. Connections of this process to a held
// file take no flock of their own: the hold keeps every other process out already.
std::map<std::string, int>& Holds() {
    static auto& m = *new std::map<std::string, int>;
    return m;
}
// The file a path reaches through symbolic links: a copy over a link replaces the file it points
// to, not the link, and a hold is the file's whatever name reaches it.
std::string Resolved(const std::string& path) {
    std::error_code ec;
    const auto real = std::filesystem::weakly_canonical(path, ec);
    return ec ? path : real.lexically_normal().string();
}
bool Held(const std::string& path) { return !Holds().empty() && Holds().count(Resolved(path)) > 0; }
Transaction& Txn() {
    static auto& t = *new Transaction;
    return t;
}

std::string Lower(std::string_view s) {
    std::string l(s);
    for (char& c : l) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return l;
}

bool EndsWith(std::string_view s, std::string_view tail) {
    return s.size() >= tail.size() && Lower(s.substr(s.size() - tail.size())) == tail;
}

std::string Quote(std::string_view id) {
    std::string q = "\"";
    for (const char c : id) {
        q += c;
        if (c == '"') q += '"';
    }
    return q + "\"";
}

int MapSqlite(int rc) {
    switch (rc & 0xFF) {
    case SQLITE_OK:
    case SQLITE_ROW:
    case SQLITE_DONE: return ERR_NONE;
    case SQLITE_BUSY:
    case SQLITE_LOCKED: return ERR_FILE_IN_USE;
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
    case SQLITE_FORMAT:
    case SQLITE_SCHEMA: return ERR_INVALID_FILE;
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_AUTH: return ERR_ACCESS_DENIED;
    case SQLITE_CANTOPEN: return ERR_FILE_NOT_FOUND;
    case SQLITE_FULL: return ERR_DISK_FULL;
    case SQLITE_CONSTRAINT:
        return (rc == SQLITE_CONSTRAINT_UNIQUE || rc == SQLITE_CONSTRAINT_PRIMARYKEY) ? ERR_DUPLICATE_KEY
                                                                                      : ERR_FILE_SYSTEM;
    default: return ERR_FILE_SYSTEM;
    }
}

int MapErrno(int e);

// As MapSqlite, but an I/O failure whose cause the connection knows is told by that cause: a
// full disk makes SQLite fail with SQLITE_FULL only on some writes, on others (a sync, a journal
// that cannot be made) with an I/O error that would read as a mere "Fehler im Dateisystem".
int MapSqliteOn(sqlite3* db, int rc) {
    const int base = rc & 0xFF;
    if (db && (base == SQLITE_IOERR || base == SQLITE_CANTOPEN)) {
        const int e = sqlite3_system_errno(db);
        if (e == ENOSPC || e == EDQUOT) return ERR_DISK_FULL;
    }
    return MapSqlite(rc);
}

int MapErrno(int e) {
    switch (e) {
    case ENOENT: return ERR_FILE_NOT_FOUND;
    case ENOTDIR: return ERR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR: return ERR_ACCESS_DENIED;
    case EWOULDBLOCK: return ERR_FILE_IN_USE;
    case ENOSPC:
    case EDQUOT: return ERR_DISK_FULL;
    default: return ERR_FILE_SYSTEM;
    }
}

// A disk name split into the file's absolute path and the table inside it.
struct DiskName {
    std::string path;
    std::string table;
    bool single = true;
};

bool ParseName(std::string_view raw, DiskName& out) {
    while (!raw.empty() && (raw.back() == ' ' || raw.back() == '\0')) raw.remove_suffix(1);
    std::string_view file = raw;
    out.single = true;
    out.table = kSingleTable;
    if (const size_t bang = raw.rfind("\\!"); bang != std::string_view::npos) {
        file = raw.substr(0, bang);
        std::string_view table = raw.substr(bang + 2);
        while (!table.empty() && table.front() == ' ') table.remove_prefix(1);
        if (table.empty()) return false;
        out.table = std::string(table);
        out.single = false;
    }
    // A backslash is a character of a file name here, never a separator.
    const std::string path(file);
    if (path.empty() || path.back() == '/') return false;
    std::error_code ec;
    const auto abs = std::filesystem::absolute(path, ec);
    if (ec) return false;
    out.path = abs.lexically_normal().string();
    return true;
}

bool IsScratch(const std::string& path) { return EndsWith(path, "~") || EndsWith(path, ".tmp"); }

bool Exists(const std::string& path, struct stat* st = nullptr) {
    struct stat s;
    const bool ok = ::stat(path.c_str(), &s) == 0;
    if (ok && st) *st = s;
    return ok;
}

void RemoveSideFiles(const std::string& path) {
    for (const char* tail : {"-wal", "-shm", "-journal"}) ::unlink((path + tail).c_str());
}

std::atomic<uint64_t> gCopySyncs{0};

int SyncPath(const std::string& path, bool directory) {
    const int fd = ::open(path.c_str(), (directory ? O_RDONLY | O_DIRECTORY : O_RDONLY) | O_CLOEXEC);
    if (fd < 0) return MapErrno(errno);
    const int rc = ::fsync(fd);
    ::close(fd);
    ++gCopySyncs;
    return rc == 0 ? ERR_NONE : ERR_FILE_SYSTEM;
}

std::string ParentDir(const std::string& path) {
    const auto p = std::filesystem::path(path).parent_path();
    return p.empty() ? std::string(".") : p.string();
}

} // namespace

// ---- connections -------------------------------------------------------------------------

struct RecordFile::State {
    RecordFile* file = nullptr;
    std::shared_ptr<Container> c;
    std::string table;     // as named
    std::string sqlTable;  // quoted identifier
    std::string display;   // the disk name, for error reports
    int mode = 0;
    RecordPosition pos;
    int64_t current = 0;
    bool hasCurrent = false;
    sqlite3_stmt* active = nullptr;   // a read in progress, stepped on by FileNext/FilePrevious
    bool activeForward = true;
    std::unordered_map<std::string, sqlite3_stmt*> stmts;

    ~State();
    sqlite3_stmt* Prepare(const std::string& sql, int& err);
    void StopReading() {
        if (active) sqlite3_reset(active);
        active = nullptr;
    }
};

namespace {

struct Container {
    std::string path;
    sqlite3* db = nullptr;
    int fd = -1;
    int lock = 0;
    bool inTxn = false;
    std::vector<RecordFile::State*> files;

    ~Container() {
        if (db) sqlite3_close_v2(db);
        if (fd >= 0) ::close(fd);  // after the connection: see the note at the top
        const auto it = Containers().find(path);
        if (it != Containers().end() && it->second.expired()) Containers().erase(it);
    }

    int Exec(const char* sql) { return MapSqliteOn(db, sqlite3_exec(db, sql, nullptr, nullptr, nullptr)); }

    // Every running read is reset before a write, so that no statement keeps a read transaction
    // (and an autocommit write) pending; the readers continue from their positions.
    void StopReaders() {
        for (RecordFile::State* s : files) s->StopReading();
    }

    int QueryInt(const char* sql, int64_t& value) {
        sqlite3_stmt* st = nullptr;
        int rc = sqlite3_prepare_v2(db, sql, -1, &st, nullptr);
        if (rc == SQLITE_OK) {
            rc = sqlite3_step(st);
            if (rc == SQLITE_ROW) {
                value = sqlite3_column_int64(st, 0);
                rc = SQLITE_OK;
            }
        }
        sqlite3_finalize(st);
        return MapSqlite(rc);
    }

    bool HasTable(const std::string& name, int64_t& size, std::string& signature, int& err) {
        sqlite3_stmt* st = nullptr;
        int rc = sqlite3_prepare_v2(db, "SELECT record_size, signature FROM varn_tables WHERE name = ?1", -1, &st, nullptr);
        bool found = false;
        if (rc == SQLITE_OK) {
            sqlite3_bind_text(st, 1, name.c_str(), -1, SQLITE_TRANSIENT);
            rc = sqlite3_step(st);
            if (rc == SQLITE_ROW) {
                found = true;
                size = sqlite3_column_int64(st, 0);
                const auto* t = sqlite3_column_text(st, 1);
                signature = t ? reinterpret_cast<const char*>(t) : "";
                rc = SQLITE_OK;
            }
        }
        sqlite3_finalize(st);
        err = MapSqlite(rc);
        return found;
    }

    // Begins a write of the layer's own (create, remove) unless a transaction is running.
    int Begin() { return inTxn ? ERR_NONE : Exec("BEGIN IMMEDIATE"); }
    int End(int err) {
        if (inTxn) return err;
        if (err == ERR_NONE) {
            err = Exec("COMMIT");
            if (err == ERR_NONE) return ERR_NONE;
        }
        Exec("ROLLBACK");
        return err;
    }
};

// Opens (or shares) the connection of a disk file. Nothing is written to an existing file before
// it has been recognised as ours.
int AcquireContainer(const std::string& path, bool create, int lockKind, std::shared_ptr<Container>& out) {
    if (const auto it = Containers().find(path); it != Containers().end()) {
        if (auto c = it->second.lock()) {
            if (lockKind == LOCK_EX && c->lock != LOCK_EX && !Held(path)) {
                if (::flock(c->fd, LOCK_EX | LOCK_NB) != 0) return ERR_FILE_IN_USE;
                c->lock = LOCK_EX;
            }
            out = std::move(c);
            return ERR_NONE;
        }
    }
    struct stat st {};
    const bool exists = Exists(path, &st);
    if (exists && !S_ISREG(st.st_mode)) return ERR_ACCESS_DENIED;
    if (!exists && !create) return ERR_FILE_NOT_FOUND;
    if (!exists && !Exists(ParentDir(path))) return ERR_PATH_NOT_FOUND;
    const bool fresh = !exists || st.st_size == 0;
    if (fresh && !create) return ERR_INVALID_FILE;   // an empty file is no record file

    auto c = std::make_shared<Container>();
    c->path = path;
    // Never waits for a writer: a pipe put in the file's place since the look above is refused.
    c->fd = ::open(path.c_str(), exists ? O_RDONLY | O_NONBLOCK | O_CLOEXEC : O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC,
                   0666);
    if (c->fd < 0) return MapErrno(errno);
    if (struct stat opened {}; ::fstat(c->fd, &opened) != 0 || !S_ISREG(opened.st_mode)) return ERR_ACCESS_DENIED;
    auto failNew = [&](int err) {
        if (!exists) {
            sqlite3_close_v2(c->db);
            c->db = nullptr;
            ::unlink(path.c_str());
            RemoveSideFiles(path);
        }
        return err;
    };
    if (!Held(path) && ::flock(c->fd, lockKind | LOCK_NB) != 0) return failNew(MapErrno(errno));
    c->lock = lockKind;
    int rc = sqlite3_open_v2(path.c_str(), &c->db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) return failNew(MapSqlite(rc) == ERR_FILE_NOT_FOUND ? ERR_ACCESS_DENIED : MapSqlite(rc));
    sqlite3_extended_result_codes(c->db, 1);
    sqlite3_busy_timeout(c->db, kDefaultBusyMs);

    if (!fresh) {
        int64_t appId = 0, pages = 0, pageSize = 0;
        int err = c->QueryInt("PRAGMA application_id", appId);
        if (err == ERR_NONE && appId != kAppId) err = ERR_INVALID_FILE;
        // A file cut short: its header promises more pages than it has (unless a log holds them).
        if (err == ERR_NONE) err = c->QueryInt("PRAGMA page_count", pages);
        if (err == ERR_NONE) err = c->QueryInt("PRAGMA page_size", pageSize);
        if (err == ERR_NONE && !Exists(path + "-wal") && pages * pageSize > st.st_size) err = ERR_INVALID_FILE;
        int64_t meta = 0;
        if (err == ERR_NONE)
            err = c->QueryInt("SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name = 'varn_tables'", meta);
        if (err == ERR_NONE && meta != 1) err = ERR_INVALID_FILE;
        if (err != ERR_NONE) return err == ERR_FILE_NOT_FOUND ? ERR_INVALID_FILE : err;
    }
    if (IsScratch(path)) {
        c->Exec("PRAGMA journal_mode=WAL");
        c->Exec("PRAGMA synchronous=NORMAL");
    } else {
        c->Exec("PRAGMA journal_mode=DELETE");
        c->Exec("PRAGMA synchronous=FULL");
    }
    if (fresh) {
        const std::string init = "PRAGMA application_id=" + std::to_string(kAppId) +
            "; CREATE TABLE IF NOT EXISTS varn_tables(name TEXT PRIMARY KEY COLLATE NOCASE,"
            " record_size INTEGER NOT NULL, signature TEXT NOT NULL)";
        const int err = c->Exec(init.c_str());
        if (err != ERR_NONE) return failNew(err);
    }
    Containers()[path] = c;
    out = std::move(c);
    return ERR_NONE;
}

bool SameTable(const RecordFile::State* s, const std::string& table) { return Lower(s->table) == Lower(table); }

bool ShareConflict(int held, int wanted) {
    const auto denies = [](int share, int access) {
        switch (share) {
        case FILE_DENY_ALL: return true;
        case FILE_DENY_WRITE: return access != FILE_READ_ONLY;
        case FILE_DENY_READ: return access != FILE_WRITE_ONLY;
        default: return false;
        }
    };
    return denies(held & 0xF0, wanted & 0x0F) || denies(wanted & 0xF0, held & 0x0F);
}

std::string SqlTable(const std::string& table) { return Quote("t_" + Lower(table)); }

std::string KeyColumn(int key, int comp) { return "k" + std::to_string(key) + "_" + std::to_string(comp); }

std::string KeyColumns(const KeyDef& k, int key) {
    std::string s;
    for (size_t i = 0; i < k.components.size(); ++i) s += (i ? ", " : "") + KeyColumn(key, static_cast<int>(i));
    return s;
}

KeyValue FieldValue(const RecordBuffer& b, const Field& f) {
    switch (f.type) {
    case FieldType::Real: {
        const double d = b.GetReal(f);
        return std::isnan(d) ? 0.0 : d;
    }
    case FieldType::Decimal: return b.GetDecimal(f).Cents();
    case FieldType::String:
    case FieldType::Group: {
        const auto raw = b.Raw(f);
        return std::string(reinterpret_cast<const char*>(raw.data()), raw.size());
    }
    default: return b.GetInt(f);
    }
}

void Bind(sqlite3_stmt* st, int at, const KeyValue& v) {
    if (const auto* i = std::get_if<int64_t>(&v)) sqlite3_bind_int64(st, at, *i);
    else if (const auto* d = std::get_if<double>(&v)) sqlite3_bind_double(st, at, *d);
    else {
        const auto& s = std::get<std::string>(v);
        sqlite3_bind_blob(st, at, s.data(), static_cast<int>(s.size()), SQLITE_TRANSIENT);
    }
}

KeyValue Column(sqlite3_stmt* st, int col) {
    switch (sqlite3_column_type(st, col)) {
    case SQLITE_INTEGER: return static_cast<int64_t>(sqlite3_column_int64(st, col));
    case SQLITE_FLOAT: return sqlite3_column_double(st, col);
    default: {
        const auto* p = static_cast<const char*>(sqlite3_column_blob(st, col));
        return std::string(p ? p : "", static_cast<size_t>(sqlite3_column_bytes(st, col)));
    }
    }
}

} // namespace

RecordFile::State::~State() {
    for (auto& [sql, st] : stmts) sqlite3_finalize(st);
    if (c) c->files.erase(std::remove(c->files.begin(), c->files.end(), this), c->files.end());
}

sqlite3_stmt* RecordFile::State::Prepare(const std::string& sql, int& err) {
    if (const auto it = stmts.find(sql); it != stmts.end()) {
        sqlite3_reset(it->second);
        sqlite3_clear_bindings(it->second);
        err = ERR_NONE;
        return it->second;
    }
    sqlite3_stmt* st = nullptr;
    const int rc = sqlite3_prepare_v3(c->db, sql.c_str(), -1, SQLITE_PREPARE_PERSISTENT, &st, nullptr);
    err = MapSqlite(rc);
    if (rc != SQLITE_OK) {
        sqlite3_finalize(st);
        return nullptr;
    }
    stmts.emplace(sql, st);
    return st;
}

struct FileAccess {
    static RecordFile::State* Get(RecordFile& f) { return f.state_.get(); }
    static const RecordFile::State* Get(const RecordFile& f) { return f.state_.get(); }
    static std::unique_ptr<RecordFile::State>& Slot(RecordFile& f) { return f.state_; }
};

// ---- RecordFile ----------------------------------------------------------------------------

RecordFile::RecordFile(std::string prefix, std::shared_ptr<const Layout> layout)
    : RecordBuffer(std::move(layout)), prefix_(std::move(prefix)) {}

RecordFile::~RecordFile() {
    std::lock_guard lock(Mutex());
    state_.reset();
}

void RecordFile::SetName(std::string name) {
    name_ = std::move(name);
    nameVariable_ = nullptr;
}

void RecordFile::BindName(const std::string* variable) { nameVariable_ = variable; }

std::string RecordFile::Name() const {
    std::string n = nameVariable_ ? *nameVariable_ : name_;
    while (!n.empty() && (n.back() == ' ' || n.back() == '\0')) n.pop_back();
    return n;
}

// ---- operations ------------------------------------------------------------------------------

namespace {

using State = RecordFile::State;

int Fail(const RecordFile& f, int code) { return SetError(code, f.Name()); }

State* OpenState(RecordFile& f, int& err) {
    State* s = FileAccess::Get(f);
    err = s ? ERR_NONE : ERR_NOT_OPEN;
    return s;
}

int CheckWrite(const State& s) {
    return (s.mode & 0x0F) == FILE_READ_ONLY ? ERR_ACCESS_DENIED : ERR_NONE;
}

const KeyDef& KeyAt(const RecordFile& f, int key) { return f.GetLayout().Keys()[static_cast<size_t>(key)]; }

int ResolveKey(const RecordFile& f, std::string_view name) {
    const int k = f.GetLayout().FindKey(name);
    if (k < 0) throw std::out_of_range(f.Prefix() + ": unknown key " + std::string(name));
    return k;
}

// Reads one row of a running read into the buffer and moves the position onto it.
int TakeRow(State& s, sqlite3_stmt* st) {
    const int rc = sqlite3_step(st);
    if (rc != SQLITE_ROW) {
        s.StopReading();
        sqlite3_reset(st);
        return rc == SQLITE_DONE ? ERR_NO_RECORD : MapSqlite(rc);
    }
    const int n = sqlite3_column_bytes(st, 1);
    const void* rec = sqlite3_column_blob(st, 1);
    auto bytes = s.file->Bytes();
    if (n != static_cast<int>(bytes.size()) || !rec) {
        s.StopReading();
        sqlite3_reset(st);
        return ERR_INVALID_FILE;
    }
    const std::vector<uint8_t> before(bytes.begin(), bytes.end());
    std::memcpy(bytes.data(), rec, bytes.size());
    // The key columns beside a record must say what the record says: a reader that moves on by
    // key would otherwise come back to the same records for ever.
    if (s.pos.key >= 0) {
        const KeyDef& k = KeyAt(*s.file, s.pos.key);
        for (size_t i = 0; i < k.components.size(); ++i)
            if (Column(st, static_cast<int>(i) + 2) != FieldValue(*s.file, *k.components[i])) {
                std::memcpy(bytes.data(), before.data(), bytes.size());
                s.StopReading();
                sqlite3_reset(st);
                return ERR_INVALID_FILE;
            }
    }
    const int64_t id = sqlite3_column_int64(st, 0);
    for (size_t i = 0; i < s.pos.values.size(); ++i) s.pos.values[i] = Column(st, static_cast<int>(i) + 2);
    s.pos.nextId = s.pos.prevId = id;
    s.pos.nextInclusive = s.pos.prevInclusive = false;
    s.current = id;
    s.hasCurrent = true;
    return ERR_NONE;
}

int Read(RecordFile& f, bool forward) {
    std::lock_guard lock(Mutex());
    int err;
    State* s = OpenState(f, err);
    if (!s) return Fail(f, err);
    if (s->active && s->activeForward == forward) return Fail(f, TakeRow(*s, s->active));
    s->StopReading();
    const bool incl = forward ? s->pos.nextInclusive : s->pos.prevInclusive;
    const char* op = forward ? (incl ? ">=" : ">") : (incl ? "<=" : "<");
    const char* dir = forward ? "" : " DESC";
    std::string sql;
    if (s->pos.key < 0) {
        sql = std::string("SELECT id, rec FROM ") + s->sqlTable + " WHERE id " + op + " ?1 ORDER BY id" + dir;
    } else {
        const KeyDef& k = KeyAt(f, s->pos.key);
        std::string cols, order, marks;
        for (size_t i = 0; i < k.components.size(); ++i) {
            const std::string col = KeyColumn(s->pos.key, static_cast<int>(i));
            cols += ", " + col;
            order += col + dir + ", ";
            marks += "?, ";
        }
        sql = "SELECT id, rec" + cols + " FROM " + s->sqlTable + " WHERE (" + cols.substr(2) + ", id) " + op +
              " (" + marks + "?) ORDER BY " + order + "id" + dir;
    }
    sqlite3_stmt* st = s->Prepare(sql, err);
    if (!st) return Fail(f, err);
    int at = 1;
    for (const KeyValue& v : s->pos.values) Bind(st, at++, v);
    sqlite3_bind_int64(st, at, forward ? s->pos.nextId : s->pos.prevId);
    s->active = st;
    s->activeForward = forward;
    return Fail(f, TakeRow(*s, st));
}

std::string InsertSql(const RecordFile& f, const State& s) {
    std::string cols = "rec", marks = "?";
    const auto& keys = f.GetLayout().Keys();
    for (size_t k = 0; k < keys.size(); ++k)
        for (size_t i = 0; i < keys[k].components.size(); ++i) {
            cols += ", " + KeyColumn(static_cast<int>(k), static_cast<int>(i));
            marks += ", ?";
        }
    return "INSERT INTO " + s.sqlTable + " (" + cols + ") VALUES (" + marks + ")";
}

std::string UpdateSql(const RecordFile& f, const State& s) {
    std::string sets = "rec = ?";
    const auto& keys = f.GetLayout().Keys();
    for (size_t k = 0; k < keys.size(); ++k)
        for (size_t i = 0; i < keys[k].components.size(); ++i)
            sets += ", " + KeyColumn(static_cast<int>(k), static_cast<int>(i)) + " = ?";
    return "UPDATE " + s.sqlTable + " SET " + sets + " WHERE id = ?";
}

// Binds the record and all key values from 1 on; returns the next free parameter.
int BindRecord(const RecordFile& f, sqlite3_stmt* st) {
    const auto bytes = f.Bytes();
    sqlite3_bind_blob(st, 1, bytes.data(), static_cast<int>(bytes.size()), SQLITE_STATIC);
    int at = 2;
    for (const KeyDef& k : f.GetLayout().Keys())
        for (const Field* c : k.components) Bind(st, at++, FieldValue(f, *c));
    return at;
}

int StepWrite(sqlite3_stmt* st) {
    const int rc = sqlite3_step(st);
    sqlite3_reset(st);
    return rc == SQLITE_DONE ? ERR_NONE : MapSqliteOn(sqlite3_db_handle(st), rc);
}

int CreateTable(Container& c, const RecordFile& f, const std::string& table) {
    const Layout& layout = f.GetLayout();
    const std::string t = SqlTable(table);
    std::string sql = "DROP TABLE IF EXISTS " + t + "; CREATE TABLE " + t + " (id INTEGER PRIMARY KEY, rec BLOB NOT NULL";
    for (size_t k = 0; k < layout.Keys().size(); ++k)
        for (size_t i = 0; i < layout.Keys()[k].components.size(); ++i)
            sql += ", " + KeyColumn(static_cast<int>(k), static_cast<int>(i));
    sql += ");";
    for (size_t k = 0; k < layout.Keys().size(); ++k) {
        const KeyDef& key = layout.Keys()[k];
        sql += std::string(key.unique ? " CREATE UNIQUE INDEX " : " CREATE INDEX ") +
               Quote("x_" + Lower(table) + "_" + std::to_string(k)) + " ON " + t + " (" +
               KeyColumns(key, static_cast<int>(k)) + ");";
    }
    int err = c.Exec(sql.c_str());
    if (err != ERR_NONE) return err;
    sqlite3_stmt* st = nullptr;
    int rc = sqlite3_prepare_v2(c.db, "INSERT OR REPLACE INTO varn_tables (name, record_size, signature) VALUES (?1, ?2, ?3)",
                                -1, &st, nullptr);
    if (rc == SQLITE_OK) {
        sqlite3_bind_text(st, 1, table.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_int64(st, 2, layout.Size());
        const std::string sig = layout.Signature();
        sqlite3_bind_text(st, 3, sig.c_str(), -1, SQLITE_TRANSIENT);
        rc = sqlite3_step(st);
    }
    sqlite3_finalize(st);
    return rc == SQLITE_DONE ? ERR_NONE : MapSqlite(rc);
}

int DropTable(Container& c, const std::string& table) {
    int err = c.Exec(("DROP TABLE IF EXISTS " + SqlTable(table)).c_str());
    if (err != ERR_NONE) return err;
    sqlite3_stmt* st = nullptr;
    int rc = sqlite3_prepare_v2(c.db, "DELETE FROM varn_tables WHERE name = ?1", -1, &st, nullptr);
    if (rc == SQLITE_OK) {
        sqlite3_bind_text(st, 1, table.c_str(), -1, SQLITE_TRANSIENT);
        rc = sqlite3_step(st);
    }
    sqlite3_finalize(st);
    return rc == SQLITE_DONE ? ERR_NONE : MapSqlite(rc);
}

int LockFor(int mode) {
    const int share = mode & 0xF0;
    return share == FILE_DENY_ALL || share == FILE_DENY_WRITE ? LOCK_EX : LOCK_SH;
}

bool ValidMode(int mode) {
    const int access = mode & 0x0F, share = mode & 0xF0;
    return (mode & ~0xFF) == 0 && access <= FILE_READ_WRITE && share <= FILE_DENY_NONE;
}

} // namespace

int FileOpen(RecordFile& f, int mode) {
    std::lock_guard lock(Mutex());
    if (FileAccess::Get(f)) return Fail(f, ERR_ALREADY_OPEN);
    DiskName n;
    if (!ParseName(f.Name(), n)) return Fail(f, ERR_INVALID_NAME);
    if (!ValidMode(mode)) return Fail(f, ERR_ACCESS_DENIED);
    std::shared_ptr<Container> c;
    int err = AcquireContainer(n.path, false, LockFor(mode), c);
    if (err != ERR_NONE) return Fail(f, err);
    int64_t size = 0;
    std::string signature;
    if (!c->HasTable(n.table, size, signature, err)) {
        if (err != ERR_NONE) return Fail(f, err);
        // A single-table name on a container of other tables is not the file it claims to be.
        int64_t tables = 0;
        if (n.single) c->QueryInt("SELECT count(*) FROM varn_tables", tables);
        return Fail(f, tables > 0 ? ERR_LAYOUT_MISMATCH : ERR_FILE_NOT_FOUND);
    }
    if (size != f.GetLayout().Size() || signature != f.GetLayout().Signature()) return Fail(f, ERR_LAYOUT_MISMATCH);
    for (const State* other : c->files)
        if (SameTable(other, n.table) && ShareConflict(other->mode, mode)) return Fail(f, ERR_FILE_IN_USE);
    auto s = std::make_unique<State>();
    s->file = &f;
    s->c = c;
    s->table = n.table;
    s->sqlTable = SqlTable(n.table);
    s->display = f.Name();
    s->mode = mode;
    c->files.push_back(s.get());
    FileAccess::Slot(f) = std::move(s);
    return SetError(ERR_NONE);
}

int FileCreate(RecordFile& f) {
    std::lock_guard lock(Mutex());
    if (FileAccess::Get(f)) return Fail(f, ERR_ALREADY_OPEN);
    DiskName n;
    if (!ParseName(f.Name(), n)) return Fail(f, ERR_INVALID_NAME);
    std::shared_ptr<Container> c;
    int err = AcquireContainer(n.path, true, LOCK_EX, c);
    if (err != ERR_NONE) return Fail(f, err);
    for (const State* other : c->files)
        if (SameTable(other, n.table)) return Fail(f, ERR_FILE_IN_USE);
    c->StopReaders();
    err = c->Begin();
    if (err == ERR_NONE) err = c->End(CreateTable(*c, f, n.table));
    return Fail(f, err);
}

int FileClose(RecordFile& f) {
    std::lock_guard lock(Mutex());
    if (!FileAccess::Get(f)) return Fail(f, ERR_NOT_OPEN);
    FileAccess::Slot(f).reset();
    return SetError(ERR_NONE);
}

int FileRemoveNamed(std::string_view name) {
    std::lock_guard lock(Mutex());
    const std::string display(name);
    DiskName n;
    if (!ParseName(name, n)) return SetError(ERR_INVALID_NAME, display);
    std::shared_ptr<Container> live;
    if (const auto it = Containers().find(n.path); it != Containers().end()) live = it->second.lock();
    if (n.single) {
        // The whole file goes, with whatever logs SQLite keeps beside it.
        if (live && !live->files.empty()) return SetError(ERR_REMOVE_OPEN, display);
        if (live) return SetError(ERR_FILE_IN_USE, display);
        struct stat st {};
        if (!Exists(n.path, &st)) return SetError(ERR_FILE_NOT_FOUND, display);
        if (!S_ISREG(st.st_mode)) return SetError(ERR_ACCESS_DENIED, display);
        const int fd = ::open(n.path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) return SetError(MapErrno(errno), display);
        int err = ::flock(fd, LOCK_EX | LOCK_NB) == 0 ? ERR_NONE : ERR_FILE_IN_USE;
        if (err == ERR_NONE && ::unlink(n.path.c_str()) != 0) err = MapErrno(errno);
        if (err == ERR_NONE) RemoveSideFiles(n.path);
        ::close(fd);
        return SetError(err, display);
    }
    if (live)
        for (const State* s : live->files)
            if (SameTable(s, n.table)) return SetError(ERR_REMOVE_OPEN, display);
    std::shared_ptr<Container> c;
    int err = AcquireContainer(n.path, false, LOCK_EX, c);
    if (err != ERR_NONE) return SetError(err, display);
    int64_t size;
    std::string sig;
    if (!c->HasTable(n.table, size, sig, err)) return SetError(err != ERR_NONE ? err : ERR_FILE_NOT_FOUND, display);
    c->StopReaders();
    err = c->Begin();
    if (err == ERR_NONE) err = c->End(DropTable(*c, n.table));
    return SetError(err, display);
}

int FileRemove(RecordFile& f) {
    std::lock_guard lock(Mutex());
    if (FileAccess::Get(f)) return Fail(f, ERR_REMOVE_OPEN);
    return FileRemoveNamed(f.Name());
}

bool FileIsOpen(const RecordFile& f) {
    std::lock_guard lock(Mutex());
    return FileAccess::Get(f) != nullptr;
}

int FileOpenMode(const RecordFile& f) {
    std::lock_guard lock(Mutex());
    const State* s = FileAccess::Get(f);
    return s ? s->mode : -1;
}

int FileSet(RecordFile& f) {
    std::lock_guard lock(Mutex());
    int err;
    State* s = OpenState(f, err);
    if (!s) return Fail(f, err);
    s->StopReading();
    s->pos = RecordPosition{};
    return SetError(ERR_NONE);
}

int FileSet(RecordFile& f, std::string_view key) {
    std::lock_guard lock(Mutex());
    const int k = ResolveKey(f, key);
    int err;
    State* s = OpenState(f, err);
    if (!s) return Fail(f, err);
    s->StopReading();
    RecordPosition p;
    p.key = k;
    for (const Field* c : KeyAt(f, k).components) p.values.push_back(FieldValue(f, *c));
    s->pos = std::move(p);
    return SetError(ERR_NONE);
}

int FileNext(RecordFile& f) { return Read(f, true); }
int FilePrevious(RecordFile& f) { return Read(f, false); }

int FileGet(RecordFile& f, std::string_view key) {
    std::lock_guard lock(Mutex());
    const int k = ResolveKey(f, key);
    int err;
    State* s = OpenState(f, err);
    if (!s) return Fail(f, err);
    const KeyDef& def = KeyAt(f, k);
    const std::string cols = KeyColumns(def, k);
    std::string marks;
    for (size_t i = 0; i < def.components.size(); ++i) marks += i ? ", ?" : "?";
    sqlite3_stmt* st = s->Prepare("SELECT id, rec FROM " + s->sqlTable + " WHERE (" + cols + ") = (" + marks +
                                  ") ORDER BY " + cols + ", id LIMIT 1", err);
    if (!st) return Fail(f, err);
    int at = 1;
    for (const Field* c : def.components) Bind(st, at++, FieldValue(f, *c));
    const int rc = sqlite3_step(st);
    if (rc == SQLITE_ROW) {
        auto bytes = f.Bytes();
        if (sqlite3_column_bytes(st, 1) != static_cast<int>(bytes.size()) || !sqlite3_column_blob(st, 1)) err = ERR_INVALID_FILE;
        else {
            std::vector<KeyValue> sought;
            for (const Field* c : def.components) sought.push_back(FieldValue(f, *c));
            const std::vector<uint8_t> before(bytes.begin(), bytes.end());
            std::memcpy(bytes.data(), sqlite3_column_blob(st, 1), bytes.size());
            // A record whose key columns lie about it is damage, not the record sought.
            for (size_t i = 0; i < def.components.size() && err == ERR_NONE; ++i)
                if (FieldValue(f, *def.components[i]) != sought[i]) err = ERR_INVALID_FILE;
            if (err == ERR_NONE) {
                s->current = sqlite3_column_int64(st, 0);
                s->hasCurrent = true;
            } else {
                std::memcpy(bytes.data(), before.data(), bytes.size());
            }
        }
    } else {
        err = rc == SQLITE_DONE ? ERR_RECORD_NOT_FOUND : MapSqlite(rc);
    }
    sqlite3_reset(st);
    return Fail(f, err);
}

RecordPosition FilePosition(const RecordFile& f) {
    std::lock_guard lock(Mutex());
    const State* s = FileAccess::Get(f);
    if (!s) return {};
    RecordPosition p = s->pos;
    // On a record: coming back reads that record again, in either direction.
    if (!p.nextInclusive && !p.prevInclusive && p.nextId == p.prevId) p.nextInclusive = p.prevInclusive = true;
    return p;
}

int FileReset(RecordFile& f, const RecordPosition& position) {
    std::lock_guard lock(Mutex());
    int err;
    State* s = OpenState(f, err);
    if (!s) return Fail(f, err);
    if (position.key >= static_cast<int>(f.GetLayout().Keys().size()) ||
        (position.key >= 0 && position.values.size() != KeyAt(f, position.key).components.size()))
        return Fail(f, ERR_INVALID_NAME);
    s->StopReading();
    s->pos = position;
    return SetError(ERR_NONE);
}

int FileAdd(RecordFile& f) {
    std::lock_guard lock(Mutex());
    int err;
    State* s = OpenState(f, err);
    if (!s) return Fail(f, err);
    if ((err = CheckWrite(*s)) != ERR_NONE) return Fail(f, err);
    s->c->StopReaders();
    sqlite3_stmt* st = s->Prepare(InsertSql(f, *s), err);
    if (!st) return Fail(f, err);
    BindRecord(f, st);
    err = StepWrite(st);
    if (err == ERR_NONE) {
        s->current = sqlite3_last_insert_rowid(s->c->db);
        s->hasCurrent = true;
    }
    return Fail(f, err);
}

int FilePut(RecordFile& f) {
    std::lock_guard lock(Mutex());
    int err;
    State* s = OpenState(f, err);
    if (!s) return Fail(f, err);
    if ((err = CheckWrite(*s)) != ERR_NONE) return Fail(f, err);
    if (!s->hasCurrent) return Fail(f, ERR_NO_RECORD);
    s->c->StopReaders();
    sqlite3_stmt* st = s->Prepare(UpdateSql(f, *s), err);
    if (!st) return Fail(f, err);
    const int at = BindRecord(f, st);
    sqlite3_bind_int64(st, at, s->current);
    err = StepWrite(st);
    if (err == ERR_NONE && sqlite3_changes(s->c->db) == 0) err = ERR_NO_RECORD;
    return Fail(f, err);
}

int FileDelete(RecordFile& f) {
    std::lock_guard lock(Mutex());
    int err;
    State* s = OpenState(f, err);
    if (!s) return Fail(f, err);
    if ((err = CheckWrite(*s)) != ERR_NONE) return Fail(f, err);
    if (!s->hasCurrent) return Fail(f, ERR_NO_RECORD);
    s->c->StopReaders();
    sqlite3_stmt* st = s->Prepare("DELETE FROM " + s->sqlTable + " WHERE id = ?1", err);
    if (!st) return Fail(f, err);
    sqlite3_bind_int64(st, 1, s->current);
    err = StepWrite(st);
    if (err == ERR_NONE && sqlite3_changes(s->c->db) == 0) err = ERR_NO_RECORD;
    if (err == ERR_NONE) s->hasCurrent = false;
    return Fail(f, err);
}

int FileEmpty(RecordFile& f) {
    std::lock_guard lock(Mutex());
    int err;
    State* s = OpenState(f, err);
    if (!s) return Fail(f, err);
    if ((err = CheckWrite(*s)) != ERR_NONE) return Fail(f, err);
    s->c->StopReaders();
    sqlite3_stmt* st = s->Prepare("DELETE FROM " + s->sqlTable, err);
    if (!st) return Fail(f, err);
    err = StepWrite(st);
    if (err == ERR_NONE) {
        s->hasCurrent = false;
        s->pos = RecordPosition{};
    }
    return Fail(f, err);
}

int64_t FileRecords(RecordFile& f) {
    std::lock_guard lock(Mutex());
    int err;
    State* s = OpenState(f, err);
    if (!s) {
        Fail(f, err);
        return 0;
    }
    sqlite3_stmt* st = s->Prepare("SELECT count(*) FROM " + s->sqlTable, err);
    if (!st) {
        Fail(f, err);
        return 0;
    }
    int64_t n = 0;
    const int rc = sqlite3_step(st);
    if (rc == SQLITE_ROW) n = sqlite3_column_int64(st, 0);
    sqlite3_reset(st);
    Fail(f, rc == SQLITE_ROW ? ERR_NONE : MapSqlite(rc));
    return n;
}

// ---- transactions ----------------------------------------------------------------------------

int FileLogout(int timeoutSeconds, std::initializer_list<RecordFile*> files) {
    std::lock_guard lock(Mutex());
    if (Txn().active) return SetError(ERR_TRANSACTION_ACTIVE);
    std::vector<std::shared_ptr<Container>> cs;
    for (RecordFile* f : files) {
        State* s = f ? FileAccess::Get(*f) : nullptr;
        if (!s) return SetError(ERR_NOT_OPEN, f ? f->Name() : std::string());
        if (CheckWrite(*s) != ERR_NONE) return Fail(*f, ERR_ACCESS_DENIED);
        if (std::find(cs.begin(), cs.end(), s->c) == cs.end()) cs.push_back(s->c);
    }
    const int ms = std::clamp(timeoutSeconds, 0, 3600) * 1000;
    for (size_t i = 0; i < cs.size(); ++i) {
        Container& c = *cs[i];
        c.StopReaders();
        sqlite3_busy_timeout(c.db, ms);
        const int err = c.Exec("BEGIN IMMEDIATE");
        if (err != ERR_NONE) {
            for (size_t j = 0; j <= i; ++j) {
                if (j < i) cs[j]->Exec("ROLLBACK");
                cs[j]->inTxn = false;
                sqlite3_busy_timeout(cs[j]->db, kDefaultBusyMs);
            }
            return SetError(err == ERR_FILE_SYSTEM ? ERR_TRANSACTION : err, c.path);
        }
        c.inTxn = true;
    }
    Txn().active = true;
    Txn().containers = std::move(cs);
    return SetError(ERR_NONE);
}

namespace {

int EndTransaction(bool commit) {
    std::lock_guard lock(Mutex());
    if (!Txn().active) return SetError(ERR_TRANSACTION);
    int result = ERR_NONE;
    std::string where;
    for (auto& c : Txn().containers) {
        c->StopReaders();
        int err = ERR_NONE;
        if (commit && result == ERR_NONE) {
            err = c->Exec("COMMIT");
            if (err != ERR_NONE) c->Exec("ROLLBACK");
        } else {
            err = c->Exec("ROLLBACK");
            if (!commit && err != ERR_NONE && sqlite3_get_autocommit(c->db)) err = ERR_NONE;
        }
        if (err != ERR_NONE && result == ERR_NONE) {
            result = err;
            where = c->path;
        }
        c->inTxn = false;
        sqlite3_busy_timeout(c->db, kDefaultBusyMs);
    }
    Txn() = Transaction{};
    return SetError(result, where);
}

} // namespace

int FileCommit() { return EndTransaction(true); }
int FileRollback() { return EndTransaction(false); }

bool FileInTransaction() {
    std::lock_guard lock(Mutex());
    return Txn().active;
}

// ---- copy ------------------------------------------------------------------------------------

namespace {
// A copy is written beside its destination under the destination's name, this tail and mkstemp's
// six characters, and holds a lock on that file until it is renamed into place or removed.
constexpr std::string_view kCopyTail = ".copying-";

bool IsCopyOf(std::string_view entry, std::string_view destination) {
    if (entry.size() != destination.size() + kCopyTail.size() + 6 ||
        entry.substr(0, destination.size()) != destination ||
        entry.substr(destination.size(), kCopyTail.size()) != kCopyTail)
        return false;
    const std::string_view tail = entry.substr(destination.size() + kCopyTail.size());
    return std::all_of(tail.begin(), tail.end(), [](char c) { return std::isalnum(static_cast<unsigned char>(c)); });
}

// Copies to `destination` that a process left when it died mid-copy. A copy still being written
// holds its lock, so only a copy that can be locked is stale; and only a file of that name that
// is empty or a database is taken for one.
void RemoveStaleCopies(const std::string& destination) {
    const std::string name = std::filesystem::path(destination).filename().string();
    std::error_code ec;
    std::filesystem::directory_iterator it(ParentDir(destination), ec);
    for (; !ec && it != std::filesystem::directory_iterator(); it.increment(ec)) {
        if (!IsCopyOf(it->path().filename().string(), name)) continue;
        const std::string copy = it->path().string();
        const int fd = ::open(copy.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
        if (fd < 0) continue;
        struct stat st {};
        char head[16] = {};
        const bool ours = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) &&
                          (st.st_size == 0 || (::pread(fd, head, sizeof head, 0) == static_cast<ssize_t>(sizeof head) &&
                                               std::memcmp(head, "SQLite format 3", sizeof head) == 0));
        if (ours && ::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            ::unlink(copy.c_str());
            RemoveSideFiles(copy);
        }
        ::close(fd);
    }
}

mode_t CopyMode(const std::string& target) {
    struct stat st {};
    if (::stat(target.c_str(), &st) == 0) return st.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}
}  // namespace

int FileCopyNamed(std::string_view source, std::string_view destination) {
    std::lock_guard lock(Mutex());
    const std::string display(destination);
    DiskName from, to;
    if (!ParseName(source, from) || !from.single) return SetError(ERR_INVALID_NAME, std::string(source));
    if (!ParseName(destination, to) || !to.single) return SetError(ERR_INVALID_NAME, display);
    to.path = Resolved(to.path);
    if (Resolved(from.path) == to.path) return SetError(ERR_ACCESS_DENIED, display);

    // The source: its open connection when this process has one, else a connection of our own
    // that keeps writers of other processes out while it copies.
    std::shared_ptr<Container> src;
    if (const auto it = Containers().find(from.path); it != Containers().end()) src = it->second.lock();
    if (src && src->inTxn) return SetError(ERR_TRANSACTION_ACTIVE, std::string(source));
    if (!src) {
        const int err = AcquireContainer(from.path, false, LOCK_SH, src);
        if (err != ERR_NONE) return SetError(err, std::string(source));
    }
    src->StopReaders();

    // The destination must not be open, here or elsewhere.
    if (const auto it = Containers().find(to.path); it != Containers().end() && !it->second.expired())
        return SetError(ERR_FILE_IN_USE, display);
    const std::string dir = ParentDir(to.path);
    if (!Exists(dir)) return SetError(ERR_PATH_NOT_FOUND, display);
    // A destination this process holds is guarded by the hold; the hold moves to the new file.
    const auto held = Holds().find(to.path);
    int guard = -1;
    if (held == Holds().end() && Exists(to.path)) {
        guard = ::open(to.path.c_str(), O_RDONLY | O_CLOEXEC);
        if (guard < 0) return SetError(MapErrno(errno), display);
        if (::flock(guard, LOCK_EX | LOCK_NB) != 0) {
            ::close(guard);
            return SetError(ERR_FILE_IN_USE, display);
        }
    }
    RemoveStaleCopies(to.path);
    std::string temp = to.path + std::string(kCopyTail) + "XXXXXX";
    const int tfd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (tfd < 0) {
        if (guard >= 0) ::close(guard);
        return SetError(MapErrno(errno), display);
    }
    // Held until the copy is in place or gone, so that no other copier takes it for stale.
    ::flock(tfd, LOCK_EX | LOCK_NB);
    // mkstemp makes the file private; the copy gets the mode of the file it replaces, or that of
    // any new file of the user.
    ::fchmod(tfd, CopyMode(to.path));
    // A scratch destination (the working copy) is not worth a disk sync: the record layer treats
    // it as scratch anyway, and a crash loses it as a whole.
    const bool durable = !IsScratch(to.path);

    sqlite3* out = nullptr;
    int rc = sqlite3_open_v2(temp.c_str(), &out, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc == SQLITE_OK) {
        sqlite3_exec(out, durable ? "PRAGMA synchronous=FULL" : "PRAGMA synchronous=OFF", nullptr, nullptr, nullptr);
        sqlite3_backup* b = sqlite3_backup_init(out, "main", src->db, "main");
        if (!b) rc = sqlite3_errcode(out);
        else {
            rc = sqlite3_backup_step(b, -1);
            const int fin = sqlite3_backup_finish(b);
            rc = rc == SQLITE_DONE ? fin : rc;
        }
    }
    // The copy of a scratch file carries its WAL flag; the copy is a plain file.
    if (rc == SQLITE_OK) rc = sqlite3_exec(out, "PRAGMA journal_mode=DELETE", nullptr, nullptr, nullptr);
    int err = MapSqliteOn(out, rc);
    const int closeRc = sqlite3_close_v2(out);
    if (err == ERR_NONE) err = MapSqlite(closeRc);
    if (err == ERR_NONE && durable) err = SyncPath(temp, false);
    if (err == ERR_NONE) {
        RemoveSideFiles(to.path);  // a stale log must never be replayed into the new file
        if (::rename(temp.c_str(), to.path.c_str()) != 0) err = MapErrno(errno);
    }
    bool keepDescriptor = false;
    if (err == ERR_NONE) {
        if (held != Holds().end()) {
            // The copy's descriptor holds its lock already: it becomes the hold of the new file.
            if (held->second >= 0) ::close(held->second);
            held->second = tfd;
            keepDescriptor = true;
        }
        if (durable) err = SyncPath(dir, true);
    } else {
        ::unlink(temp.c_str());
        RemoveSideFiles(temp);
    }
    if (!keepDescriptor) ::close(tfd);   // after the connection: see the note at the top
    if (guard >= 0) ::close(guard);
    return SetError(err, err == ERR_NONE ? std::string() : display);
}

uint64_t FileCopySyncCount() { return gCopySyncs.load(); }

// ---- checking a whole file -------------------------------------------------------------------

namespace {

bool ParseNumber(std::string_view text, int& out) {
    if (text.empty() || text.size() > 9) return false;
    out = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return false;
        out = out * 10 + (c - '0');
    }
    return true;
}

// One key component as a stored description gives it, with its column beside the record.
struct StoredComponent {
    Field field;
    std::string column;
};

// "size=N;NAME(L4@0,L4@4,);NAME!(S20@8,)" back into its parts; false for anything else.
bool ParseSignature(std::string_view sig, int& size, std::vector<StoredComponent>& out) {
    out.clear();
    size_t semi = sig.find(';');
    const std::string_view head = sig.substr(0, semi);
    if (head.substr(0, 5) != "size=" || !ParseNumber(head.substr(5), size) || size <= 0) return false;
    for (int key = 0; semi != std::string_view::npos; ++key) {
        sig.remove_prefix(semi + 1);
        semi = sig.find(';');
        const std::string_view part = sig.substr(0, semi);
        const size_t open = part.find('(');
        if (open == std::string_view::npos || open == 0 || part.back() != ')') return false;
        std::string_view list = part.substr(open + 1, part.size() - open - 2);
        if (list.empty()) return false;
        for (int comp = 0; !list.empty(); ++comp) {
            const size_t comma = list.find(',');
            if (comma == std::string_view::npos) return false;
            const std::string_view text = list.substr(0, comma);
            list.remove_prefix(comma + 1);
            size_t letters = 0;
            while (letters < text.size() && std::isalpha(static_cast<unsigned char>(text[letters]))) ++letters;
            const size_t at = text.find('@');
            if (at == std::string_view::npos || at < letters) return false;
            const std::string_view code = text.substr(0, letters);
            Field f;
            f.name = "K";
            if (!ParseNumber(text.substr(letters, at - letters), f.width) || !ParseNumber(text.substr(at + 1), f.offset))
                return false;
            int expected = 0;
            if (code == "B") f.type = FieldType::Byte, expected = 1;
            else if (code == "US") f.type = FieldType::Ushort, expected = 2;
            else if (code == "L") f.type = FieldType::Long, expected = 4;
            else if (code == "UL") f.type = FieldType::Ulong, expected = 4;
            else if (code == "R") f.type = FieldType::Real, expected = 8;
            else if (code == "D") f.type = FieldType::Decimal;
            else if (code == "S") f.type = FieldType::String;
            else if (code == "G") f.type = FieldType::Group;
            else return false;
            if (f.width <= 0 || (expected && f.width != expected) || (f.type == FieldType::Decimal && f.width > 10) ||
                f.offset > size - f.width)
                return false;
            f.stride = f.width;
            out.push_back({std::move(f), KeyColumn(key, comp)});
        }
    }
    return true;
}

bool IntegrityOk(Container& c) {
    sqlite3_stmt* st = nullptr;
    const bool ok = sqlite3_prepare_v2(c.db, "PRAGMA integrity_check(1)", -1, &st, nullptr) == SQLITE_OK &&
                    sqlite3_step(st) == SQLITE_ROW && sqlite3_column_text(st, 0) &&
                    std::string_view(reinterpret_cast<const char*>(sqlite3_column_text(st, 0))) == "ok";
    sqlite3_finalize(st);
    return ok;
}

struct StoredTable {
    std::string name;
    int64_t size = 0;
    std::string signature;
};

using KeyFix = std::pair<int64_t, std::vector<KeyValue>>;   // row id, the key values of its record

// One table against its description; collects the rows whose key columns disagree.
int CheckTable(Container& c, const StoredTable& t, std::vector<StoredComponent>& comps, std::vector<KeyFix>& fixes,
               FileCheckReport& r) {
    const auto damaged = [&](int64_t record, std::string problem) {
        r.table = t.name;
        r.record = record;
        r.problem = std::move(problem);
        return ERR_INVALID_FILE;
    };
    int size = 0;
    if (!ParseSignature(t.signature, size, comps) || size != t.size)
        return damaged(0, "Die Beschreibung der Tabelle ist beschädigt.");
    std::string sql = "SELECT id, rec";
    for (const StoredComponent& k : comps) sql += ", " + k.column;
    // The row id keeps the order of adding: "id" must be it, not a column of its own.
    sql += ", rowid FROM " + SqlTable(t.name) + " ORDER BY rowid";
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(c.db, sql.c_str(), -1, &st, nullptr) != SQLITE_OK) {
        sqlite3_finalize(st);
        return damaged(0, "Die Tabelle fehlt oder ist unvollständig.");
    }
    // A buffer of the record's size to read the key fields with the layer's own conversions.
    RecordBuffer buffer(LayoutBuilder("PRUEFUNG").String("SATZ", size).Build());
    int err = ERR_NONE;
    int64_t ordinal = 0;
    int rc = SQLITE_DONE;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        ++ordinal;
        const int n = sqlite3_column_bytes(st, 1);
        const void* rec = sqlite3_column_blob(st, 1);
        if (sqlite3_column_type(st, 1) != SQLITE_BLOB || n != size || !rec) {
            err = damaged(ordinal, "Der Datensatz hat die falsche Länge (" + std::to_string(n) + " statt " +
                                       std::to_string(size) + " Bytes).");
            break;
        }
        const int rowidColumn = static_cast<int>(comps.size()) + 2;
        if (sqlite3_column_type(st, 0) != SQLITE_INTEGER ||
            sqlite3_column_int64(st, 0) != sqlite3_column_int64(st, rowidColumn)) {
            err = damaged(ordinal, "Die Tabelle ist beschädigt (Satznummer).");
            break;
        }
        std::memcpy(buffer.Bytes().data(), rec, static_cast<size_t>(size));
        std::vector<KeyValue> values;
        bool differs = false, mended = true;
        for (size_t i = 0; i < comps.size(); ++i) {
            values.push_back(FieldValue(buffer, comps[i].field));
            const KeyValue stored = Column(st, static_cast<int>(i) + 2);
            if (stored == values.back()) continue;
            differs = true;
            // Only a column that is no value of its kind at all (NULL, text for a number) is
            // plainly the damaged side. Two sound values that disagree leave no telling whether the
            // record or its column is wrong: that is damage, not something to mend by guessing.
            if (stored.index() == values.back().index()) mended = false;
        }
        if (differs && !mended) {
            err = damaged(ordinal, "Die Schlüsselspalten passen nicht zum Datensatz.");
            break;
        }
        if (differs) {
            if (fixes.empty()) {
                r.table = t.name;
                r.record = ordinal;
            }
            fixes.emplace_back(sqlite3_column_int64(st, 0), std::move(values));
        }
    }
    if (err == ERR_NONE && rc != SQLITE_DONE) err = damaged(ordinal + 1, "Der Datensatz kann nicht gelesen werden.");
    sqlite3_finalize(st);
    return err;
}

int ApplyFixes(Container& c, const StoredTable& t, const std::vector<StoredComponent>& comps,
               const std::vector<KeyFix>& fixes) {
    std::string sql = "UPDATE " + SqlTable(t.name) + " SET ";
    for (size_t i = 0; i < comps.size(); ++i) sql += (i ? ", " : "") + comps[i].column + " = ?" + std::to_string(i + 1);
    sql += " WHERE id = ?" + std::to_string(comps.size() + 1);
    sqlite3_stmt* st = nullptr;
    int err = MapSqlite(sqlite3_prepare_v2(c.db, sql.c_str(), -1, &st, nullptr));
    for (const KeyFix& fix : fixes) {
        if (err != ERR_NONE) break;
        for (size_t i = 0; i < fix.second.size(); ++i) Bind(st, static_cast<int>(i) + 1, fix.second[i]);
        sqlite3_bind_int64(st, static_cast<int>(comps.size()) + 1, fix.first);
        err = StepWrite(st);
    }
    sqlite3_finalize(st);
    return err;
}

} // namespace

int FileCheckNamed(std::string_view name, bool repair, FileCheckReport* report) {
    std::lock_guard lock(Mutex());
    FileCheckReport local;
    FileCheckReport& r = report ? *report : local;
    r = FileCheckReport{};
    const std::string display(name);
    DiskName n;
    if (!ParseName(name, n) || !n.single) return SetError(ERR_INVALID_NAME, display);
    if (const auto it = Containers().find(n.path); it != Containers().end() && !it->second.expired())
        return SetError(ERR_FILE_IN_USE, display);
    std::shared_ptr<Container> c;
    int err = AcquireContainer(n.path, false, LOCK_EX, c);
    if (err != ERR_NONE) return SetError(err, display);
    const auto damaged = [&](std::string problem) {
        r.problem = std::move(problem);
        return SetError(ERR_INVALID_FILE, display);
    };
    // SQLite's own structure first: records are read only from sound pages. Indexes that disagree
    // with their table are rebuilt from it.
    if (!IntegrityOk(*c) && (!repair || c->Exec("REINDEX") != ERR_NONE || !IntegrityOk(*c)))
        return damaged("Die innere Struktur der Datei ist beschädigt.");

    std::vector<StoredTable> tables;
    {
        sqlite3_stmt* st = nullptr;
        int rc = sqlite3_prepare_v2(c->db, "SELECT name, record_size, signature FROM varn_tables ORDER BY name", -1, &st, nullptr);
        while (rc == SQLITE_OK && (rc = sqlite3_step(st)) == SQLITE_ROW) {
            const auto* nm = sqlite3_column_text(st, 0);
            const auto* sig = sqlite3_column_text(st, 2);
            tables.push_back({nm ? reinterpret_cast<const char*>(nm) : "", sqlite3_column_int64(st, 1),
                              sig ? reinterpret_cast<const char*>(sig) : ""});
            rc = SQLITE_OK;
        }
        sqlite3_finalize(st);
        if (rc != SQLITE_DONE) return damaged("Das Verzeichnis der Tabellen ist beschädigt.");
    }
    for (const StoredTable& t : tables) {
        std::vector<StoredComponent> comps;
        std::vector<KeyFix> fixes;
        if (CheckTable(*c, t, comps, fixes, r) != ERR_NONE) return SetError(ERR_INVALID_FILE, display);
        if (fixes.empty()) continue;
        if (!repair) return damaged("Die Schlüsselspalten passen nicht zum Datensatz.");
        c->StopReaders();
        err = c->Begin();
        if (err == ERR_NONE) err = c->End(ApplyFixes(*c, t, comps, fixes));
        // Repaired keys that now collide in a unique key cannot be told apart without guessing.
        if (err == ERR_DUPLICATE_KEY) return damaged("Zwei Datensätze haben denselben eindeutigen Schlüssel.");
        if (err != ERR_NONE) return SetError(err, display);
        r.repaired += static_cast<int64_t>(fixes.size());
    }
    if (r.repaired == 0) r.table.clear(), r.record = 0;
    return SetError(ERR_NONE);
}

// ---- holding a file, scratch names -----------------------------------------------------------

int FileHoldNamed(std::string_view name) {
    std::lock_guard lock(Mutex());
    const std::string display(name);
    DiskName n;
    if (!ParseName(name, n) || !n.single) return SetError(ERR_INVALID_NAME, display);
    n.path = Resolved(n.path);
    if (Holds().count(n.path)) return SetError(ERR_FILE_IN_USE, display);
    if (const auto it = Containers().find(n.path); it != Containers().end() && !it->second.expired())
        return SetError(ERR_FILE_IN_USE, display);
    int fd = -1;
    struct stat st {};
    if (Exists(n.path, &st)) {
        if (!S_ISREG(st.st_mode)) return SetError(ERR_ACCESS_DENIED, display);
        fd = ::open(n.path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) return SetError(MapErrno(errno), display);
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            const int e = errno;
            ::close(fd);
            return SetError(MapErrno(e), display);
        }
    }
    Holds()[n.path] = fd;
    return SetError(ERR_NONE);
}

void FileReleaseNamed(std::string_view name) {
    std::lock_guard lock(Mutex());
    DiskName n;
    if (!ParseName(name, n)) return;
    const auto it = Holds().find(Resolved(n.path));
    if (it == Holds().end()) return;
    if (it->second >= 0) ::close(it->second);
    Holds().erase(it);
}

bool FileHeldNamed(std::string_view name) {
    std::lock_guard lock(Mutex());
    DiskName n;
    return ParseName(name, n) && Held(n.path);
}

namespace {

// A process's scratch folder is "varn-" and mkdtemp's six letters in the temporary folder. While
// the process lives it holds a LOCK_EX flock on the folder, taken before the mark file is put in:
// a folder with the mark that nobody holds is left by a process that ended without tidying up
// (killed, power lost). A folder without the mark may be one whose process is between mkdtemp and
// its flock, or one of an earlier version that took no lock: it stays.
constexpr std::string_view kScratchPrefix = "varn-";
constexpr const char* kScratchMark = "belegt";

struct ScratchFolder {
    std::string path;
    pid_t owner = 0;
    int lock = -1;
    dev_t dev = 0;   // the folder as mkdtemp made it: a link or another folder put in its place
    ino_t ino = 0;   // later is not it
};

ScratchFolder& Scratch() {
    static auto& f = *new ScratchFolder;
    return f;
}

void RemoveScratchFolder() {
    ScratchFolder& f = Scratch();
    // A forked child that exits normally leaves its parent's folder alone.
    if (f.path.empty() || f.owner != ::getpid()) return;
    std::error_code ec;
    std::filesystem::remove_all(f.path, ec);
}

bool IsScratchFolderName(std::string_view name) {
    return name.size() == kScratchPrefix.size() + 6 && name.substr(0, kScratchPrefix.size()) == kScratchPrefix &&
           std::all_of(name.begin() + kScratchPrefix.size(), name.end(),
                       [](char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; });
}

// Removes the scratch folders in `base` that ended processes of this user left behind.
void RemoveDeadScratchFolders(const std::filesystem::path& base) {
    std::vector<std::string> names;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(base, ec), end; !ec && it != end; it.increment(ec))
        if (const std::string name = it->path().filename().string(); IsScratchFolderName(name)) names.push_back(name);
    for (const std::string& name : names) {
        const std::string path = (base / name).string();
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::geteuid()) continue;
        const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0) continue;
        struct stat held {}, mark {};
        // The lock is kept while removing, so that nobody takes the folder meanwhile.
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::fstat(fd, &held) == 0 && held.st_dev == st.st_dev &&
            held.st_ino == st.st_ino && ::fstatat(fd, kScratchMark, &mark, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(mark.st_mode))
            std::filesystem::remove_all(path, ec);
        ::close(fd);
    }
}

// Takes the new folder for this process: the flock first, then the mark. The wait is at most that
// of another process looking at the folder, which lets go at once as it finds no mark.
int TakeScratchFolder(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return -1;
    if (::flock(fd, LOCK_EX) != 0) return ::close(fd), -1;
    const int mark = ::openat(fd, kScratchMark, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (mark >= 0) ::close(mark);
    return fd;
}

// Whether the folder is still the one this process made: a folder of this user under the same
// name, not a link (a cleaner may have removed it, and someone else put something there).
bool StillOurs(const ScratchFolder& f) {
    struct stat st {};
    return !f.path.empty() && f.owner == ::getpid() && ::lstat(f.path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) &&
           st.st_dev == f.dev && st.st_ino == f.ino && st.st_uid == ::geteuid();
}

} // namespace

std::string FileScratchName(std::string_view stem) {
    std::lock_guard lock(Mutex());
    static uint64_t counter = 0;
    ScratchFolder& f = Scratch();
    if (!StillOurs(f)) {
        std::error_code ec;
        const auto found = std::filesystem::temp_directory_path(ec);
        const std::filesystem::path base = ec ? std::filesystem::path("/tmp") : found;
        std::string pattern = (base / (std::string(kScratchPrefix) + "XXXXXX")).string();
        // mkdtemp makes the folder with exclusive creation and for this user only, so nothing else
        // can have put a file or a link under the names made in it. Without it there is no name:
        // one in a shared folder could be guessed and a link put there first.
        struct stat st {};
        if (!::mkdtemp(pattern.data()) || ::lstat(pattern.c_str(), &st) != 0) {
            const int e = errno;
            // Neither a forked child in its parent's folder nor anyone in a folder that is not
            // ours any more.
            f.path.clear();
            if (f.lock >= 0) ::close(f.lock);
            f.lock = -1;
            SetError(MapErrno(e), base.string());
            return {};
        }
        const bool first = f.path.empty() && f.owner == 0;
        f.path = pattern;
        f.owner = ::getpid();
        f.dev = st.st_dev;
        f.ino = st.st_ino;
        // A forked child lets go of its parent's folder; the parent keeps its own lock.
        if (f.lock >= 0) ::close(f.lock);
        f.lock = TakeScratchFolder(f.path);
        if (first) std::atexit(RemoveScratchFolder);
        RemoveDeadScratchFolders(base);
    }
    std::string clean;
    for (const char ch : stem) clean += (ch == '/' || ch == '\\' || ch == '\0') ? '_' : ch;
    return (std::filesystem::path(f.path) /
            (clean + "-" + std::to_string(::getpid()) + "-" + std::to_string(++counter) + "~"))
        .string();
}
