#pragma once

#include "service/Endpoints.h"

#include <QProcessEnvironment>

// The build-time constants, with the development overrides of the environment
// variables of the same names (TENDER_API_BASE, TENDER_WEB_BASE,
// TENDER_IDENTITY_BASE, TENDER_TOKEN_BASE, TENDER_IDENTITY_KEY).
namespace tender::Config {

// Computed once, on first use.
const Endpoints &endpoints();
QUrl apiBase();
QString client();
QString version();

// The rule behind endpoints(): an override is taken only when it is a valid
// absolute URL that is https, or http to a loopback address.
Endpoints read(const QProcessEnvironment &environment);
bool acceptableBase(const QUrl &url);

} // namespace tender::Config
