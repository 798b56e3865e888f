#pragma once
#include "common/Unavailable.h"
#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <unordered_map>
#include <vector>

struct pg_conn;
struct pg_result;

namespace tender::server {

// The database could not be reached or lost the connection: the request may be tried again.
class DatabaseUnavailable : public Unavailable {
public:
    using Unavailable::Unavailable;
};

using PgParam = std::optional<std::string>; // absent: NULL

class PgRows {
public:
    explicit PgRows(pg_result* result);
    int size() const;
    bool empty() const { return size() == 0; }
    bool isNull(int row, int column) const;
    std::string text(int row, int column) const;
    std::int64_t integer(int row, int column) const;
    bool boolean(int row, int column) const;
    int affected() const; // rows an INSERT, UPDATE or DELETE touched

private:
    friend class PgConnection;
    std::shared_ptr<pg_result> result_;
};

// One libpq connection. Statements are sent with their parameters apart from the text.
class PgConnection {
public:
    explicit PgConnection(std::string url);
    ~PgConnection();
    PgConnection(const PgConnection&) = delete;
    PgConnection& operator=(const PgConnection&) = delete;

    // Throws DatabaseUnavailable when the server cannot be reached, std::runtime_error for a refused
    // statement. A statement with parameters is prepared on first use and kept for the connection's life;
    // one without may hold several, as a migration step does.
    PgRows exec(const std::string& sql, const std::vector<PgParam>& params = {});
    bool broken() const;
    void reconnect();
    // Statements sent since the count was last reset: a lost first one was never carried out.
    int sent() const { return sent_; }
    void resetSent() { sent_ = 0; }

private:
    PgRows checked(PgRows rows);
    const std::string& preparedName(const std::string& sql);

    std::string url_;
    int sent_ = 0;
    std::unordered_map<std::string, std::string> prepared_; // statement text, name
    pg_conn* conn_ = nullptr;
};

// BEGIN … COMMIT around `work`; ROLLBACK when it throws.
template <typename Work>
auto inTransaction(PgConnection& db, Work work)
{
    db.exec("BEGIN");
    try {
        if constexpr (std::is_void_v<decltype(work())>) {
            work();
            db.exec("COMMIT");
        } else {
            auto result = work();
            db.exec("COMMIT");
            return result;
        }
    } catch (...) {
        if (!db.broken()) {
            try {
                db.exec("ROLLBACK");
            } catch (...) {
            }
        }
        throw;
    }
}

inline std::string number(std::int64_t value) { return std::to_string(value); }

}
