#pragma once

namespace tender::server {

class PgConnection;

// Brings the schema up to the newest version under an advisory lock, so nodes that start
// together take turns and each step runs once.
void migratePostgres(PgConnection& db);

}
