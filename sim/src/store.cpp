#include "sim/store.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <system_error>

#include "schema.h"

namespace sim {

namespace {

[[noreturn]] void fail(sqlite3* db, std::string_view what) {
    throw StoreError(std::string(what) + ": " + (db ? sqlite3_errmsg(db) : "out of memory"));
}

// SQLite would create the file with the process umask; the store holds sealed keys, so it is
// created here first with 0600. The WAL and shared-memory files inherit that mode from it.
// An existing file is left alone: closing any descriptor of a file drops every POSIX lock this
// process holds on it, which would strip the locks of this process's other open connections (and
// let another process delete the WAL under them as if they were gone).
void createPrivateFile(const std::filesystem::path& file) {
    if (file.has_parent_path()) {
        std::filesystem::create_directories(file.parent_path());
    }
    const int fd = ::open(file.c_str(), O_CREAT | O_EXCL | O_RDWR | O_CLOEXEC, 0600);
    if (fd < 0) {
        if (errno == EEXIST)
            return;
        throw StoreError("cannot create " + file.string() + ": " + std::strerror(errno));
    }
    ::close(fd);
}

}  // namespace

Statement::Statement(Store& store, std::string_view sql) : m_store(store), m_sql(sql) {
    auto idle = store.m_idleStatements.find(m_sql);
    if (idle != store.m_idleStatements.end()) {
        m_stmt = idle->second;
        store.m_idleStatements.erase(idle);
        return;
    }
    if (sqlite3_prepare_v3(store.m_db, sql.data(), static_cast<int>(sql.size()), SQLITE_PREPARE_PERSISTENT,
                           &m_stmt, nullptr) != SQLITE_OK) {
        fail(store.m_db, "prepare");
    }
}

Statement::~Statement() {
    sqlite3_reset(m_stmt);
    sqlite3_clear_bindings(m_stmt);
    m_store.m_idleStatements.emplace(std::move(m_sql), m_stmt);
}

Statement& Statement::bind(int index, std::int64_t value) {
    sqlite3_bind_int64(m_stmt, index, value);
    return *this;
}

Statement& Statement::bind(int index, std::string_view text) {
    sqlite3_bind_text(m_stmt, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
    return *this;
}

Statement& Statement::bindBlob(int index, std::span<const std::uint8_t> data) {
    // A zero-length blob must stay a blob, not NULL: pass a non-null pointer.
    static const std::uint8_t kEmpty = 0;
    sqlite3_bind_blob(m_stmt, index, data.empty() ? &kEmpty : data.data(), static_cast<int>(data.size()),
                      SQLITE_TRANSIENT);
    return *this;
}

Statement& Statement::bindNull(int index) {
    sqlite3_bind_null(m_stmt, index);
    return *this;
}

bool Statement::step() {
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    fail(m_store.m_db, "step");
}

void Statement::reset() {
    sqlite3_reset(m_stmt);
    sqlite3_clear_bindings(m_stmt);
}

void Statement::run() {
    while (step()) {
    }
}

std::int64_t Statement::columnInt(int index) const {
    return sqlite3_column_int64(m_stmt, index);
}

std::string Statement::columnText(int index) const {
    const auto* text = sqlite3_column_text(m_stmt, index);
    const int size = sqlite3_column_bytes(m_stmt, index);
    return text ? std::string(reinterpret_cast<const char*>(text), static_cast<std::size_t>(size))
                : std::string();
}

std::vector<std::uint8_t> Statement::columnBlob(int index) const {
    const auto* data = static_cast<const std::uint8_t*>(sqlite3_column_blob(m_stmt, index));
    const int size = sqlite3_column_bytes(m_stmt, index);
    return data ? std::vector<std::uint8_t>(data, data + size) : std::vector<std::uint8_t>();
}

bool Statement::columnIsNull(int index) const {
    return sqlite3_column_type(m_stmt, index) == SQLITE_NULL;
}

Store::Store(const std::filesystem::path& file) : m_file(file) {
    createPrivateFile(file);
    if (sqlite3_open_v2(file.c_str(), &m_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr) !=
        SQLITE_OK) {
        const std::string message = m_db ? sqlite3_errmsg(m_db) : "out of memory";
        sqlite3_close(m_db);
        throw StoreError("cannot open " + file.string() + ": " + message);
    }
    try {
        sqlite3_busy_timeout(m_db, kBusyTimeoutMs);
        exec("PRAGMA journal_mode=WAL");
        exec("PRAGMA synchronous=NORMAL");
        exec("PRAGMA foreign_keys=ON");
        Transaction transaction(*this);
        createSchema(*this);
        transaction.commit();
    } catch (...) {
        close();
        throw;
    }
}

Store::~Store() {
    close();
}

void Store::close() {
    for (auto& [sql, statement] : m_idleStatements) sqlite3_finalize(statement);
    m_idleStatements.clear();
    sqlite3_close(m_db);
    m_db = nullptr;
}

void Store::checkFault() {
    if (m_faults.failAt == 0)
        return;
    ++m_statementCount;
    if (m_statementCount == m_faults.failAt || (m_faults.persistent && m_statementCount > m_faults.failAt)) {
        throw StoreError("injected store fault");
    }
}

Statement Store::prepare(std::string_view sql) {
    checkFault();
    return Statement(*this, sql);
}

void Store::exec(std::string_view sql) {
    checkFault();
    char* error = nullptr;
    if (sqlite3_exec(m_db, std::string(sql).c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
        std::string message = error ? error : "unknown error";
        sqlite3_free(error);
        throw StoreError(std::string(sql) + ": " + message);
    }
}

std::int64_t Store::dataVersion() {
    Statement statement = prepare("PRAGMA data_version");
    statement.step();
    return statement.columnInt(0);
}

std::optional<std::string> Store::setting(std::string_view name) {
    Statement statement = prepare("SELECT value FROM setting WHERE name = ?");
    statement.bind(1, name);
    if (!statement.step())
        return std::nullopt;
    return statement.columnText(0);
}

void Store::setSetting(std::string_view name, std::string_view value) {
    prepare(
        "INSERT INTO setting(name, value) VALUES(?, ?) ON CONFLICT(name) DO UPDATE SET value = "
        "excluded.value")
        .bind(1, name)
        .bind(2, value)
        .run();
}

void Store::setFaultPlan(FaultPlan plan) {
    m_faults = plan;
    m_statementCount = 0;
}

Store::Transaction::Transaction(Store& store) : m_store(store) {
    if (m_store.m_depth == 0) {
        // IMMEDIATE takes the write lock now, so two writers queue on the busy timeout instead of
        // one of them failing when it upgrades a read transaction.
        m_store.exec("BEGIN IMMEDIATE");
        m_store.m_doomed = false;
    }
    ++m_store.m_depth;
}

void Store::Transaction::commit() {
    if (m_done)
        return;
    m_done = true;
    if (--m_store.m_depth > 0)
        return;
    if (m_store.m_doomed) {
        m_store.exec("ROLLBACK");
        throw StoreError("transaction rolled back by an inner scope");
    }
    try {
        m_store.exec("COMMIT");
    } catch (...) {
        sqlite3_exec(m_store.m_db, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
}

Store::Transaction::~Transaction() {
    if (m_done)
        return;
    if (--m_store.m_depth > 0) {
        m_store.m_doomed = true;
        return;
    }
    // Not via exec(): a rollback must not be stopped by an injected fault.
    sqlite3_exec(m_store.m_db, "ROLLBACK", nullptr, nullptr, nullptr);
}

}  // namespace sim
