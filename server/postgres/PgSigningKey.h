#pragma once
#include "postgres/PgPool.h"

namespace tender::server {

// The secret that signs identity tokens, made once by whichever node starts first and read by
// every other, so a token signed on one node passes on all.
std::string sharedSigningKey(PgPool& pool);

}
