#pragma once
// The machine store: one SQLite file holds everything a simulated machine has (registry hives,
// devices, services, the driver's state, the radio environment, events and the request journal).
//
// What it promises:
// - The file is created with mode 0600 (it holds sealed keys) and is opened in WAL mode, so readers
//   never wait for a writer and a crash leaves each transaction either done or not done.
// - Several processes and threads may use one file; a writer waits (up to kBusyTimeoutMs) for
//   another writer instead of failing. Each thread uses its own Store object.
// - Transaction scopes nest; only the outermost one commits. A scope left without commit() rolls
//   the whole outermost transaction back.
// - Any SQLite failure throws StoreError; callers at the platform boundary turn it into a status.

#include <sqlite3.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace sim {

class StoreError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

class Store;

// One prepared statement, made by Store::prepare(). On destruction it goes back, reset, to its
// store's pool, so that the next prepare() of the same SQL costs no parsing.
class Statement {
  public:
    Statement(Store& store, std::string_view sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    Statement& bind(int index, std::int64_t value);
    Statement& bind(int index, std::string_view text);
    Statement& bindBlob(int index, std::span<const std::uint8_t> data);
    Statement& bindNull(int index);

    // Advances to the next row; false when the statement is done.
    bool step();
    // Makes the statement ready to be bound and stepped again.
    void reset();
    // Runs a statement that returns no rows.
    void run();

    std::int64_t columnInt(int index) const;
    std::string columnText(int index) const;
    std::vector<std::uint8_t> columnBlob(int index) const;
    bool columnIsNull(int index) const;

  private:
    Store& m_store;
    std::string m_sql;
    sqlite3_stmt* m_stmt = nullptr;
};

// Deterministic failure injection for tests: the store's Nth statement (counting from 1 after the
// plan is set) fails, and with `persistent` every later one too.
struct FaultPlan {
    std::int64_t failAt = 0;  // 0 = no fault
    bool persistent = false;
};

class Store {
  public:
    static constexpr int kBusyTimeoutMs = 15000;

    // Opens (creating with mode 0600 if missing) the store file and makes sure the schema exists.
    explicit Store(const std::filesystem::path& file);
    ~Store();
    Store(const Store&) = delete;
    Store& operator=(const Store&) = delete;

    const std::filesystem::path& file() const { return m_file; }

    Statement prepare(std::string_view sql);
    void exec(std::string_view sql);

    // Changes whenever another connection commits to the file; cheap to poll.
    std::int64_t dataVersion();

    // Machine-wide settings kept as text (system kind, name, ...).
    std::optional<std::string> setting(std::string_view name);
    void setSetting(std::string_view name, std::string_view value);

    void setFaultPlan(FaultPlan plan);

    class Transaction {
      public:
        explicit Transaction(Store& store);
        ~Transaction();
        Transaction(const Transaction&) = delete;
        Transaction& operator=(const Transaction&) = delete;
        void commit();

      private:
        Store& m_store;
        bool m_done = false;
    };

  private:
    friend class Transaction;
    friend class Statement;
    void checkFault();
    void close();

    std::filesystem::path m_file;
    sqlite3* m_db = nullptr;
    int m_depth = 0;
    bool m_doomed = false;
    FaultPlan m_faults;
    std::int64_t m_statementCount = 0;
    // Prepared statements not in use, by SQL text; a statement in use is never in here, so two
    // live Statements never share one sqlite3_stmt.
    std::unordered_multimap<std::string, sqlite3_stmt*> m_idleStatements;
};

}  // namespace sim
