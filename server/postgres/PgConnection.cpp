#include "postgres/PgConnection.h"
#include <libpq-fe.h>

namespace tender::server {
namespace {

std::string firstLine(const char* message)
{
    std::string text = message ? message : "";
    return text.substr(0, text.find('\n'));
}

}

PgRows::PgRows(pg_result* result)
    : result_(result, PQclear)
{
}

int PgRows::size() const { return PQntuples(result_.get()); }
bool PgRows::isNull(int row, int column) const { return PQgetisnull(result_.get(), row, column) != 0; }
std::string PgRows::text(int row, int column) const { return PQgetvalue(result_.get(), row, column); }
std::int64_t PgRows::integer(int row, int column) const { return std::stoll(text(row, column)); }
bool PgRows::boolean(int row, int column) const { return text(row, column) == "t"; }

int PgRows::affected() const
{
    const char* count = PQcmdTuples(result_.get());
    return count && *count ? std::stoi(count) : 0;
}

PgConnection::PgConnection(std::string url)
    : url_(std::move(url))
{
    reconnect();
}

PgConnection::~PgConnection()
{
    PQfinish(conn_);
}

bool PgConnection::broken() const
{
    return !conn_ || PQstatus(conn_) != CONNECTION_OK;
}

void PgConnection::reconnect()
{
    PQfinish(conn_);
    prepared_.clear();
    conn_ = PQconnectdb(url_.c_str());
    if (PQstatus(conn_) != CONNECTION_OK)
        throw DatabaseUnavailable("cannot connect to the database: " + firstLine(PQerrorMessage(conn_)));
    // A node waits for no statement longer than this; a stuck one fails rather than pile up.
    PQclear(PQexec(conn_, "SET statement_timeout = '10s'"));
}

const std::string& PgConnection::preparedName(const std::string& sql)
{
    auto found = prepared_.find(sql);
    if (found != prepared_.end())
        return found->second;
    auto name = "s" + std::to_string(prepared_.size());
    checked(PgRows(PQprepare(conn_, name.c_str(), sql.c_str(), 0, nullptr)));
    return prepared_.emplace(sql, std::move(name)).first->second;
}

PgRows PgConnection::exec(const std::string& sql, const std::vector<PgParam>& params)
{
    if (broken())
        throw DatabaseUnavailable("the database connection is lost");
    ++sent_;
    if (params.empty())
        return checked(PgRows(PQexec(conn_, sql.c_str())));
    std::vector<const char*> values;
    for (const auto& p : params)
        values.push_back(p ? p->c_str() : nullptr);
    const auto& name = preparedName(sql);
    return checked(PgRows(PQexecPrepared(conn_, name.c_str(), static_cast<int>(values.size()), values.data(), nullptr,
        nullptr, 0)));
}

PgRows PgConnection::checked(PgRows rows)
{
    auto status = PQresultStatus(rows.result_.get());
    if (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK)
        return rows;
    if (broken())
        throw DatabaseUnavailable("the database connection is lost: " + firstLine(PQerrorMessage(conn_)));
    throw std::runtime_error("database: " + firstLine(PQresultErrorMessage(rows.result_.get())));
}

}
