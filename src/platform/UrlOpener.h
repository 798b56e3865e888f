#pragma once

#include <QUrl>

namespace tender {

// Opens a URL in the user's default browser.
class UrlOpener {
public:
    virtual ~UrlOpener() = default;
    // False when no application could be started for it.
    virtual bool open(const QUrl &url) = 0;
};

} // namespace tender
