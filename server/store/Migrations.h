#pragma once

namespace SQLite { class Database; }

namespace tender::server {

// Brings the schema up to the newest version, one numbered step at a time (PRAGMA user_version).
void migrate(SQLite::Database& db);

}
