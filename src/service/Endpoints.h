#pragma once

#include <QString>
#include <QUrl>

namespace tender {

// Where the service, the identity provider and the web site live, and how
// the app introduces itself to them.
struct Endpoints {
    QUrl apiBase;      // scheme and host, no path
    QUrl webBase;      // the product web site
    QUrl identityBase; // Identity Toolkit v1, ending in "/v1/"
    QUrl tokenBase;    // Secure Token API, ending in "/"
    QString identityKey;
    QString client;    // "linux/1.4"

    // `base` with the slash-separated `path` appended, each segment percent-encoded.
    static QUrl join(const QUrl &base, const QString &path);
};

} // namespace tender
